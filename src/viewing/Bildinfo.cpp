// Image information with the German EXIF summary.
#include "Bildinfo.h"
#include <QApplication>
#include <QFileInfo>
#include <QFontDatabase>
#include <QFontMetrics>
#include <QFrame>
#include <QGridLayout>
#include <QLabel>
#include <QLocale>
#include <QPushButton>
#include <QScrollBar>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextEdit>
#include <QTimer>
#include <QVBoxLayout>
#include <cmath>
#include "ExifDaten.h"
#include "gear/Gear.h"
#include "Global.h"
#include "ZelvanoMain.h"
#include "pixelops/Runden.h"

TfrmBildinfo* frmBildinfo = nullptr;

namespace {
const QString CRLF = QStringLiteral("\r\n");
const QString Striche = QString(56, QLatin1Char('-'));
} // namespace

// ---- The summary --------------------------------------------------------------

TExifAuszug ExifAuszug(const TExifDaten& exif)
{
    TExifAuszug a;
    a.HatExif = exif.ExifGefunden();
    a.Fehler = exif.FehlerText();
    a.Dateiname = exif.Dateiname();
    a.DatumZeit = exif.Wert(QStringLiteral("Exif.Photo.DateTimeOriginal"));
    if (a.DatumZeit.isEmpty())
        a.DatumZeit = exif.Wert(QStringLiteral("Exif.Image.DateTime"));
    a.Hersteller = exif.Wert(QStringLiteral("Exif.Image.Make")).trimmed();
    a.Modell = exif.Wert(QStringLiteral("Exif.Image.Model")).trimmed();
    a.Blitz = exif.Zahl(QStringLiteral("Exif.Photo.Flash"));
    a.ExposureTime = exif.Wert(QStringLiteral("Exif.Photo.ExposureTime"));
    a.ShutterSpeedValue = exif.WertLesbar(QStringLiteral("Exif.Photo.ShutterSpeedValue"));
    a.FocalLength = exif.WertLesbar(QStringLiteral("Exif.Photo.FocalLength"));
    a.FocalLengthin35mm = exif.WertLesbar(QStringLiteral("Exif.Photo.FocalLengthIn35mmFilm"));
    a.FNumber = exif.WertLesbar(QStringLiteral("Exif.Photo.FNumber"));
    a.ISOSpeedRatings = exif.WertLesbar(QStringLiteral("Exif.Photo.ISOSpeedRatings"));
    return a;
}

QString Belichtungszeile(const QString& exposureTime)
{
    const qsizetype strich = exposureTime.indexOf(QLatin1Char('/'));
    if (strich < 0)
        return {};
    qsizetype ende = exposureTime.indexOf(QLatin1Char(' '), strich + 1);
    if (ende < 0)
        ende = exposureTime.size();
    bool okZ = false, okN = false;
    const double zaehler = QLocale::c().toDouble(exposureTime.left(strich).trimmed(), &okZ);
    const double nenner = QLocale::c().toDouble(exposureTime.mid(strich + 1, ende - strich - 1), &okN);
    if (!okZ || !okN || !(zaehler > 0) || !(nenner > 0))
        return {};
    // A second or longer reads as seconds; "1/0" would say nothing.
    if (zaehler >= nenner) {
        const double sekunden = zaehler / nenner;
        const double ganz = Gerundet(sekunden);
        const QString zahl = std::fabs(sekunden - ganz) < 0.05 ? QString::number(qint64(ganz))
                                                                : QLocale().toString(sekunden, 'f', 1);
        return QStringLiteral("Belichtungszeit: ") + zahl + QStringLiteral(" sec");
    }
    return QStringLiteral("Belichtungszeit: 1/") + QString::number(qint64(Gerundet(nenner / zaehler)))
        + QStringLiteral(" sec");
}

QString ExifZusammenfassung(const TExifAuszug& exif)
{
    if (!exif.HatExif)
        return {};
    if (exif.Fehler != QLatin1String("<none>"))
        return QStringLiteral("File Name:  ") + QFileInfo(exif.Dateiname).fileName() + CRLF
            + QStringLiteral("Exif Error: ") + exif.Fehler;

    QString text;
    auto zeile = [&text](const QString& z) { text += CRLF + z; };
    const QString& d = exif.DatumZeit;
    if (!d.isEmpty())
        text = QStringLiteral("Foto Datum: ") + d.mid(8, 2) + QLatin1Char('.') + d.mid(5, 2) + QLatin1Char('.')
            + d.mid(0, 4) + QStringLiteral(" - ") + d.mid(11, 8);
    if (!exif.Hersteller.isEmpty())
        zeile(QStringLiteral("Hersteller: ") + exif.Hersteller);
    if (!exif.Modell.isEmpty())
        zeile(QStringLiteral("Model: ") + exif.Modell);
    if (!exif.ExposureTime.isEmpty()) {
        const QString b = Belichtungszeile(exif.ExposureTime);
        if (!b.isEmpty())
            zeile(b);
    } else if (!exif.ShutterSpeedValue.isEmpty()) {
        zeile(QStringLiteral("Belichtungszeit: ") + exif.ShutterSpeedValue);
    }
    if (!exif.FocalLength.isEmpty())
        zeile(QStringLiteral("Brennweite: ") + exif.FocalLength);
    if (!exif.FocalLengthin35mm.isEmpty())
        zeile(QStringLiteral("Brennweite (35mm): ") + exif.FocalLengthin35mm);
    if (!exif.FNumber.isEmpty())
        zeile(QStringLiteral("Blende: ") + exif.FNumber);
    if (!exif.ISOSpeedRatings.isEmpty())
        zeile(QStringLiteral("ISO: ") + exif.ISOSpeedRatings);
    zeile(QStringLiteral("Blitz: ") + ((exif.Blitz & 1) ? QStringLiteral("Ja") : QStringLiteral("Nein")));
    return text;
}

QString ExifZusammenfassung(const TExifDaten& exif)
{
    return ExifZusammenfassung(ExifAuszug(exif));
}

qint64 UnkomprimierteGroesse(qint64 breite, qint64 hoehe, int bits)
{
    return std::max<qint64>(1, breite * hoehe * bits / 8);
}

// ---- The window ---------------------------------------------------------------

TfrmBildinfo::TfrmBildinfo(QWidget* parent) : QDialog(parent)
{
    FormCreate();
}

TfrmBildinfo::~TfrmBildinfo()
{
    if (frmBildinfo == this)
        frmBildinfo = nullptr;
}

void TfrmBildinfo::FormCreate()
{
    frmBildinfo = this;
    setObjectName(QStringLiteral("frmBildinfo"));
    setProperty("HilfeKontext", 4);
    setWindowTitle(QStringLiteral("Bildinformationen"));
    setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint
                   | Qt::WindowCloseButtonHint);
    setFont(QApplication::font("QMenu"));
    setModal(true);

    auto* raster = new QGridLayout;
    raster->setHorizontalSpacing(8);
    int reihe = 0;
    auto wert = [this, raster, &reihe](const char* name, const QString& titel) {
        auto* beschriftung = new QLabel(titel, this);
        beschriftung->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
        auto* label = new QLabel(this);
        label->setObjectName(QLatin1String(name));
        label->setTextInteractionFlags(Qt::TextSelectableByMouse);
        label->setMinimumWidth(10);
        label->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
        raster->addWidget(beschriftung, reihe, 0);
        raster->addWidget(label, reihe, 1);
        ++reihe;
        return label;
    };
    lblFileName = wert("lblFileName", QStringLiteral("Dateiname :"));
    lblFileDatum = wert("lblFileDatum", QStringLiteral("Dateidatum :"));
    lblDateiSize = wert("lblDateiSize", QStringLiteral("Dateigröße :"));
    lblImageSize = wert("lblImageSize", QStringLiteral("Bildgröße :"));
    lblBitDepth = wert("lblBitDepth", QStringLiteral("Farbtiefe :"));
    lblDimensions = wert("lblDimensions", QStringLiteral("Bildmaße :"));
    lblFileFormat = wert("lblFileFormat", QStringLiteral("Bildformat :"));
    lblCompression = wert("lblCompression", QStringLiteral("Kompression :"));
    // The reduction sentence is longer than the window is wide.
    lblCompression->setWordWrap(true);
    raster->setColumnStretch(1, 1);

    shpFeld1 = new QFrame(this);
    shpFeld1->setAutoFillBackground(true);
    QPalette creme = shpFeld1->palette();
    creme.setColor(QPalette::Window, QColor(255, 251, 240));
    shpFeld1->setPalette(creme);
    auto* band = new QLabel(QStringLiteral("EXIF - Informationen"), shpFeld1);
    QFont fett = band->font();
    fett.setBold(true);
    band->setFont(fett);
    (new QVBoxLayout(shpFeld1))->addWidget(band);

    RichEdit1 = new QTextEdit(this);
    RichEdit1->setReadOnly(true);
    RichEdit1->setFrameStyle(QFrame::NoFrame);
    RichEdit1->setLineWrapMode(QTextEdit::NoWrap);
    RichEdit1->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    RichEdit1->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);

    btnOk = new QPushButton(QStringLiteral("OK"), this);
    btnOk->setDefault(true);
    connect(btnOk, &QPushButton::clicked, this, &TfrmBildinfo::btnOkClick);

    auto* spalte = new QVBoxLayout(this);
    spalte->addLayout(raster);
    spalte->addWidget(shpFeld1);
    spalte->addWidget(RichEdit1, 1);
    auto* knopf = new QHBoxLayout;
    knopf->addStretch(1);
    knopf->addWidget(btnOk);
    spalte->addLayout(knopf);
    setFixedSize(484, 511);
}

void TfrmBildinfo::showEvent(QShowEvent* ereignis)
{
    QDialog::showEvent(ereignis);
    m_zeigen = true;
    FormShow();
    FormActivate();
    m_zeigen = false;
}

void TfrmBildinfo::done(int ergebnis)
{
    // Closed while showing pumps messages: the modal loop has not begun yet
    // and would never see the window go, so the close waits for it.
    if (m_zeigen) {
        QTimer::singleShot(0, this, [this, ergebnis] { done(ergebnis); });
        return;
    }
    QDialog::done(ergebnis);
}

void TfrmBildinfo::FormShow()
{
    KopfZeilen();
    ExifText();
}

void TfrmBildinfo::KopfZeilen()
{
    for (QLabel* l : {lblFileName, lblFileDatum, lblDateiSize, lblImageSize, lblBitDepth, lblDimensions, lblFileFormat,
                      lblCompression})
        l->clear();
    lblFileName->setToolTip(QString());
    qint64 groesse = 0;
    const bool ausDatei = BildQuelle == BildQuelleDatei && !BildBearbeitet && BildIndex >= 0
        && BildIndex < BildListe.size();
    const QLocale ort;
    if (ausDatei) {
        const QString pfad = BildListe.at(BildIndex);
        lblFileName->setText(pfad);
        if (QFontMetrics(lblFileName->font()).horizontalAdvance(pfad) > lblFileName->width())
            lblFileName->setToolTip(pfad);
        const QFileInfo info(pfad);
        if (info.exists()) {
            // The short date with all four digits of the year, and the time to the second.
            QString datum = ort.dateFormat(QLocale::ShortFormat);
            if (!datum.contains(QLatin1String("yyyy")))
                datum.replace(QLatin1String("yy"), QLatin1String("yyyy"));
            lblFileDatum->setText(ort.toString(info.lastModified(), datum + QStringLiteral(" HH:mm:ss")));
        }
        groesse = std::max<qint64>(0, DateiGroesse(pfad));
        lblDateiSize->setText(GroesseAlsText(groesse));
    } else if (BildQuelle == BildQuelleZwischenablage) {
        lblFileName->setText(QStringLiteral("Das Bild wurde aus der Zwischenablage eingefügt."));
    } else if (BildQuelle == BildQuelleScanner) {
        lblFileName->setText(QStringLiteral("Das Bild wurde über die TWAIN-Schnittstelle eingelesen."));
    } else {
        lblFileName->setText(QStringLiteral("Das Bild wurde bearbeitet aber noch nicht gespeichert."));
    }

    TfrmZelvanoMain* haupt = frmZelvanoMain;
    const int w = haupt ? haupt->OriginalBild.Width() : 0;
    const int h = haupt ? haupt->OriginalBild.Height() : 0;
    lblDimensions->setText(QStringLiteral("%1 Pixel breit  x  %2 Pixel hoch").arg(w).arg(h));
    lblBitDepth->setText(QString::number(BildFarbtiefe) + QStringLiteral(" Bit(s) per Pixel"));
    const qint64 u = UnkomprimierteGroesse(w, h, BildFarbtiefe);
    lblImageSize->setText(GroesseAlsText(u));

    const QString typ = haupt && haupt->Gear1 ? haupt->Gear1->ImageType() : QString();
    lblFileFormat->setText(typ.toUpper() == QLatin1String("UNKNOWN") ? QStringLiteral("Unbekannt") : typ);
    const QString kompression = haupt && haupt->Gear1 ? haupt->Gear1->CompressType() : QString();
    if (kompression.toUpper() == QLatin1String("UNCOMPRESSED")) {
        lblCompression->setText(QStringLiteral("Unkomprimiert"));
    } else {
        const double p = double(groesse) / (double(u) / 100);
        // Without a file there is no file size to compare.
        if (p >= 100 || !ausDatei)
            lblCompression->setText(kompression);
        else
            lblCompression->setText(kompression + QStringLiteral("  (Die Bilddatei ist auf ")
                                    + ort.toString(p, 'f', 1) + QStringLiteral(" % der Originalgröße reduziert.)"));
    }
    if (BildBearbeitet) {
        lblDateiSize->clear();
        lblFileFormat->clear();
        lblCompression->clear();
    }
}

void TfrmBildinfo::Zeile(const QString& text, bool fett, bool fest)
{
    // Paragraphs are added with a cursor: appending to an empty document
    // would swallow the leading empty lines.
    QTextCursor cursor(RichEdit1->document());
    cursor.movePosition(QTextCursor::End);
    if (!m_ersteZeile)
        cursor.insertBlock();
    m_ersteZeile = false;
    QTextCharFormat format;
    format.setFontWeight(fett ? QFont::Bold : QFont::Normal);
    if (fest) {
        format.setFontFamilies({QFontDatabase::systemFont(QFontDatabase::FixedFont).family()});
        format.setFontStyleHint(QFont::Monospace);
        format.setFontFixedPitch(true);
    }
    cursor.setBlockCharFormat(format);
    cursor.insertText(text, format);
}

void TfrmBildinfo::Fett(const QString& zeile)
{
    Zeile(zeile, true);
}

void TfrmBildinfo::Normal(const QString& text, bool fest)
{
    // One paragraph per line: a CR left inside a paragraph would show.
    const QStringList zeilen = QString(text).replace(CRLF, QStringLiteral("\n")).split(QLatin1Char('\n'));
    for (const QString& z : zeilen)
        Zeile(z, false, fest);
}

void TfrmBildinfo::Liste(const QString& text)
{
    // Keys and values stand in columns, which only a fixed pitch keeps. An
    // unreadable block has no entries, and no line for them.
    if (!text.trimmed().isEmpty())
        Normal(text.trimmed(), true);
}

void TfrmBildinfo::ExifText()
{
    RichEdit1->clear();
    m_ersteZeile = true;
    Normal(QString());
    if (BildQuelle != BildQuelleDatei || BildBearbeitet || BildIndex < 0 || BildIndex >= BildListe.size())
        return;
    TExifDaten leser;
    leser.Lesen(BildListe.at(BildIndex));
    if (!AktKommentar.isEmpty()) {
        Fett(QStringLiteral("Kommentar"));
        Fett(Striche);
        Normal(AktKommentar);
        Normal(QString());
        Normal(QString());
    }
    // A block that could not be read is reported with the reader's error.
    if (!leser.ExifGefunden()) {
        Normal(QString());
        Fett(QStringLiteral("Diese Datei enthält keine EXIF-Informationen."));
    } else {
        Fett(QStringLiteral("EXIF Zusammenfassung"));
        Fett(Striche);
        Normal(ExifZusammenfassung(leser));
        Normal(QString());
        Normal(QString());
        const QString hersteller = leser.HerstellerListe();
        if (!hersteller.isEmpty()) {
            Fett(QStringLiteral("Ersteller spezifische Daten"));
            Fett(Striche);
            Liste(hersteller);
            Normal(QString());
            Normal(QString());
        }
        Fett(QStringLiteral("EXIF-Daten"));
        Fett(Striche);
        Normal(QStringLiteral("Error = ") + leser.FehlerText());
        Normal(leser.Motorola() ? QStringLiteral("Motorola Byte Order") : QStringLiteral("Intel Byte Order"));
        Liste(leser.ExifListe());
    }
    RichEdit1->moveCursor(QTextCursor::Start);
    RichEdit1->verticalScrollBar()->setValue(0);
}

void TfrmBildinfo::FormActivate()
{
    // A 5-pixel margin left and right of the text.
    RichEdit1->document()->setDocumentMargin(5);
    QCoreApplication::processEvents();
}

void TfrmBildinfo::btnOkClick()
{
    done(1);
}
