// The save window and the saving of the working bitmap.
#include "Speichern.h"
#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QEvent>
#include <QFileInfo>
#include <QFileSystemModel>
#include "OrdnerBaum.h"
#include <QFontMetrics>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QHelpEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QToolTip>
#include <QTreeView>
#include <QTreeWidget>
#include <QVBoxLayout>
#include <cerrno>
#include <exception>
#include <sys/stat.h>
#include "DatumZeitSetzen.h"
#include "Einstellungen.h"
#include "ExifDaten.h"
#include "Formatoption.h"
#include "gear/Gear.h"
#include "Global.h"
#include "JpgKommentar.h"
#include "Meldung.h"
#include "Menuset.h"
#include "gear/SicherErsetzen.h"
#include "ZelvanoMain.h"
#include "Zielfragen.h"

TfrmSpeichern* frmSpeichern = nullptr;

namespace {

constexpr int JpegSpeicherId = 21;

// Busy mode for the length of a write, also when it throws.
struct TArbeitsModus {
    TArbeitsModus() { SetzeArbeitsModus(true); }
    ~TArbeitsModus() { SetzeArbeitsModus(false); }
};

// Linux keeps blanks at the end of a name; the padded two-letter type codes
// ("Foto.g3 ") must not create names no mask of the program finds.
QString OhneEndBlanks(const QString& name)
{
    qsizetype n = name.size();
    while (n > 0 && name.at(n - 1) == QLatin1Char(' '))
        --n;
    return name.left(n);
}

} // namespace

QString TypEndung(const QString& typ)
{
    return QLatin1Char('.') + typ.trimmed().toLower();
}

QString SchreibKommentar()
{
    return BildQuelle == BildQuelleDatei ? AktKommentar : QStringLiteral("Erstellt mit Zelvano ") + ProgrammVersion(2);
}

TSchreibSchritt BildSchreiben(TGear& gear, const QString& schluessel, const QString& pfad,
                              const TSchreibZusatz& zusatz, QString& fehler)
{
    FormatFarbtiefeVorbereiten(gear, schluessel);
    const int speicherId = FormatSpeicherId(schluessel);
    gear.SetSaveFormat(speicherId);
    if (speicherId == JpegSpeicherId)
        JpgOptionenSetzen(gear);
    {
        TArbeitsModus arbeit;
        gear.SaveImage(pfad);
    }
    const QFileInfo geschrieben(pfad);
    if (gear.ErrCount() > 0 || !geschrieben.isFile() || geschrieben.size() <= 0) {
        fehler = gear.ErrCount() > 0 ? gear.LetzterFehler() : QString();
        if (fehler.isEmpty())
            fehler = QStringLiteral("Die Datei %1 wurde nicht geschrieben.").arg(pfad);
        return TSchreibSchritt::Bild;
    }
    if (speicherId == JpegSpeicherId) {
        if (zusatz.exif && zusatz.exif->HatExif()
            && !zusatz.exif->ExifEinfuegen(pfad, gear.ImageWidth(), gear.ImageHeight(), fehler))
            return TSchreibSchritt::Exif;
        if (!JpgKommentarSchreiben(pfad, zusatz.kommentar, fehler))
            return TSchreibSchritt::Kommentar;
    }
    if (zusatz.datum.isValid() && !DateiDatumSetzen(pfad, true, true, true, zusatz.datum)) {
        fehler = QStringLiteral("Das Datum der Datei %1 konnte nicht gesetzt werden.").arg(pfad);
        return TSchreibSchritt::Datum;
    }
    return TSchreibSchritt::Fertig;
}

TSchreibSchritt BildErzeugen(TGear& gear, const QString& schluessel, const QString& name,
                             const TSchreibZusatz& zusatz, QByteArray& inhalt, QString& fehler)
{
    FormatFarbtiefeVorbereiten(gear, schluessel);
    const int speicherId = FormatSpeicherId(schluessel);
    gear.SetSaveFormat(speicherId);
    if (speicherId == JpegSpeicherId)
        JpgOptionenSetzen(gear);
    if (!gear.SaveToBytes(inhalt) || inhalt.isEmpty()) {
        fehler = gear.ErrCount() > 0 ? gear.LetzterFehler() : QString();
        if (fehler.isEmpty())
            fehler = QStringLiteral("Die Datei %1 wurde nicht geschrieben.").arg(name);
        return TSchreibSchritt::Bild;
    }
    if (speicherId == JpegSpeicherId) {
        QByteArray neu;
        if (zusatz.exif && zusatz.exif->HatExif()) {
            if (!zusatz.exif->ExifEinbauen(inhalt, gear.ImageWidth(), gear.ImageHeight(), neu, fehler, name))
                return TSchreibSchritt::Exif;
            inhalt.swap(neu);
        }
        if (!JpgKommentarEinbauen(inhalt, zusatz.kommentar, neu, fehler, name))
            return TSchreibSchritt::Kommentar;
        inhalt.swap(neu);
    }
    return TSchreibSchritt::Fertig;
}

QString SpeichernVerweigertText()
{
    return QStringLiteral("Angezeigt wird nur das Fehlerbild; es wird nicht gespeichert.");
}

QString EndungErsetzen(const QString& name, const QString& endung)
{
    const qsizetype trenner = name.lastIndexOf(QLatin1Char('/'));
    const qsizetype punkt = name.lastIndexOf(QLatin1Char('.'));
    if (punkt > trenner)
        return name.left(punkt) + endung;
    return name + endung;
}

// ======================================================================
// The window
// ======================================================================

TfrmSpeichern::TfrmSpeichern(QWidget* parent) : TZielFenster(parent)
{
    setObjectName(QStringLiteral("frmSpeichern"));
    if (!frmSpeichern)
        frmSpeichern = this;
    FormCreate();
}

TfrmSpeichern::~TfrmSpeichern()
{
    if (frmSpeichern == this)
        frmSpeichern = nullptr;
}

void TfrmSpeichern::FormCreate()
{
    setWindowTitle(QStringLiteral("Speichern"));
    setProperty("HilfeKontext", 5);
    setFont(QApplication::font("QMenu"));

    OrdnerBaumErzeugen();

    flbSpeichern = new QListWidget(this);
    flbSpeichern->setObjectName(QStringLiteral("flbSpeichern"));
    flbSpeichern->viewport()->installEventFilter(this);

    TypListeErzeugen();

    ediDateiname = new QLineEdit(this);
    ediDateiname->setObjectName(QStringLiteral("ediDateiname"));
    ediZielverz = new QLineEdit(this);
    ediZielverz->setObjectName(QStringLiteral("ediZielverz"));

    QHBoxLayout* tiefen = TiefenFormenAnlegen(this, shp24Bit, shp8Bit, shp4Bit, shp1Bit);

    cbSpeichernDatum = new QCheckBox(QStringLiteral("Originaldatum und Zeit beibehalten"), this);
    cbSpeichernDatum->setObjectName(QStringLiteral("cbSpeichernDatum"));
    cbEXIFschreibenTemp = new QCheckBox(QStringLiteral("Vorhandene JPEG/EXIF-Daten beibehalten."), this);
    cbEXIFschreibenTemp->setObjectName(QStringLiteral("cbEXIFschreibenTemp"));

    btnSpeichern = new QPushButton(QStringLiteral("&Speichern"), this);
    btnSpeichern->setObjectName(QStringLiteral("btnSpeichern"));
    btnSpeichern->setDefault(true);
    btnAbbrechen = new QPushButton(QStringLiteral("&Abbrechen"), this);
    btnAbbrechen->setObjectName(QStringLiteral("btnAbbrechen"));
    btnAbbrechen->setAutoDefault(false);
    FormatoptionenErzeugen();

    auto* links = new QVBoxLayout;
    links->addWidget(ShellTreeView1, 3);
    links->addWidget(flbSpeichern, 2);
    auto* rechts = new QVBoxLayout;
    rechts->addWidget(lvSaveTyp, 1);
    rechts->addLayout(tiefen);
    rechts->addWidget(btnFormatoptionen, 0, Qt::AlignLeft);
    auto* oben = new QHBoxLayout;
    oben->addLayout(links, 3);
    oben->addLayout(rechts, 2);
    auto* felder = new QGridLayout;
    felder->addWidget(new QLabel(QStringLiteral("Dateiname:"), this), 0, 0);
    felder->addWidget(ediDateiname, 0, 1);
    felder->addWidget(new QLabel(QStringLiteral("Ordner:"), this), 1, 0);
    felder->addWidget(ediZielverz, 1, 1);
    auto* knoepfe = new QHBoxLayout;
    auto* haken = new QVBoxLayout;
    haken->addWidget(cbSpeichernDatum);
    haken->addWidget(cbEXIFschreibenTemp);
    knoepfe->addLayout(haken);
    knoepfe->addStretch(1);
    knoepfe->addWidget(btnSpeichern);
    knoepfe->addWidget(btnAbbrechen);
    auto* spalte = new QVBoxLayout(this);
    spalte->addLayout(oben, 1);
    spalte->addLayout(felder);
    spalte->addLayout(knoepfe);
    resize(760, 540);

    QCoreApplication::processEvents();
    TypListeFuellen();
    connect(flbSpeichern, &QListWidget::currentItemChanged, this, [this] { flbSpeichernChange(); });
    connect(flbSpeichern, &QListWidget::itemClicked, this, [this] { flbSpeichernChange(); });
    connect(cbSpeichernDatum, &QCheckBox::clicked, this, [this] { cbSpeichernDatumClick(); });
    connect(btnSpeichern, &QPushButton::clicked, this, [this] { btnSpeichernClick(); });
    connect(btnAbbrechen, &QPushButton::clicked, this, [this] { reject(); });
}

// ---- Rows of the type list ---------------------------------------------

QString TfrmSpeichern::GewaehlterSchluessel() const
{
    return TypZeilenSchluessel(GewaehlteZeile());
}

void TfrmSpeichern::lvSaveTypSelectItem(QTreeWidgetItem* eintrag)
{
    TZielFenster::lvSaveTypSelectItem(eintrag);
    if (eintrag && !ediDateiname->text().isEmpty())
        ediDateiname->setText(EndungErsetzen(ediDateiname->text(), TypEndung(m_typ)));
}

// ---- Folder tree and file list -----------------------------------------

void TfrmSpeichern::DateilisteLesen(const QString& ordner)
{
    flbSpeichern->blockSignals(true);
    flbSpeichern->clear();
    if (!ordner.isEmpty())
        flbSpeichern->addItems(QDir(ordner).entryList(QDir::Files | QDir::Hidden | QDir::System,
                                                      QDir::Name | QDir::IgnoreCase));
    flbSpeichern->blockSignals(false);
}

void TfrmSpeichern::OrdnerGewechselt()
{
    DateilisteLesen(m_ordner);
}

void TfrmSpeichern::ShellTreeView1Aktualisieren()
{
    // The model follows the file system by itself; the file list does not.
    if (!m_ordner.isEmpty())
        DateilisteLesen(m_ordner);
}

void TfrmSpeichern::flbSpeichernChange()
{
    if (QListWidgetItem* eintrag = flbSpeichern->currentItem())
        if (eintrag->isSelected())
            ediDateiname->setText(EndungErsetzen(eintrag->text(), TypEndung(m_typ)));
}

void TfrmSpeichern::ApplicationEvents1ShowHint(const QPoint& position)
{
    QWidget* flaeche = flbSpeichern->viewport();
    QListWidgetItem* eintrag = flbSpeichern->itemAt(position);
    if (!eintrag) {
        QToolTip::hideText();
        return;
    }
    const QString text = eintrag->text();
    // Only names cut off by the list's width get a hint.
    if (QFontMetrics(flbSpeichern->font()).horizontalAdvance(text) < flaeche->width()) {
        QToolTip::hideText();
        return;
    }
    const QRect rechteck = flbSpeichern->visualItemRect(eintrag);
    QToolTip::showText(flaeche->mapToGlobal(QPoint(0, rechteck.top())), text, flaeche, rechteck);
}

bool TfrmSpeichern::eventFilter(QObject* objekt, QEvent* ereignis)
{
    if (objekt == flbSpeichern->viewport() && ereignis->type() == QEvent::ToolTip) {
        ApplicationEvents1ShowHint(static_cast<QHelpEvent*>(ereignis)->pos());
        return true;
    }
    return QDialog::eventFilter(objekt, ereignis);
}

// ---- Opening and closing -----------------------------------------------

void TfrmSpeichern::FormActivate()
{
    m_zeigt = true;
    QApplication::setOverrideCursor(Qt::WaitCursor);
    QCoreApplication::processEvents();

    ZielOrdnerZeigen();
    DateilisteLesen(m_ordner);
    TypZeigen(SpeichernTyp);

    btnFormatoptionen->setEnabled(m_typ == QLatin1String("jpg"));
    cbEXIFschreibenTemp->setChecked(ExifSchreiben);
    ZielTyp = m_typ;

    cbSpeichernDatum->setChecked(SpeichernDatum);
    cbSpeichernDatum->setEnabled(false);
    switch (BildQuelle) {
    case BildQuelleDatei:
        if (BildIndex >= 0 && BildIndex < BildListe.size())
            ediDateiname->setText(QFileInfo(BildListe.at(BildIndex)).fileName());
        cbSpeichernDatum->setEnabled(true);
        break;
    case BildQuelleZwischenablage:
        ediDateiname->setText(QStringLiteral("Ablage"));
        break;
    case BildQuelleScanner:
        ediDateiname->setText(QStringLiteral("Scan"));
        break;
    default:
        break;
    }

    if (!ediDateiname->text().isEmpty())
        ediDateiname->setText(EndungErsetzen(ediDateiname->text(), TypEndung(m_typ)));
    ediDateiname->setFocus();
    btnSpeichern->setEnabled(true);
    QApplication::restoreOverrideCursor();
}

void TfrmSpeichern::cbSpeichernDatumClick()
{
    SpeichernDatum = cbSpeichernDatum->isChecked();
}

void TfrmSpeichern::FormClose()
{
    const QString schluessel = GewaehlterSchluessel();
    if (!schluessel.isEmpty())
        SpeichernTyp = schluessel;
}

void TfrmSpeichern::done(int ergebnis)
{
    FormClose();
    QDialog::done(ergebnis);
}

// ---- Saving ------------------------------------------------------------

void TfrmSpeichern::btnSpeichernClick()
{
    // The error picture never replaces a file, nor carries the EXIF data of
    // the file it stands for into one.
    if (NichtGeladenMelden(SpeichernVerweigertText()))
        return;
    try {
        const QString schluessel = GewaehlterSchluessel();
        if (schluessel.isEmpty() || ediDateiname->text().isEmpty())
            return;

        const QString ordner = ZielOrdnerAusEingabe(ediZielverz->text(), m_ordner);
        if (ordner.isEmpty() || !ZielOrdnerAnlegen(ordner))
            return;

        ediDateiname->setText(EndungErsetzen(ediDateiname->text(), TypEndung(m_typ)));
        const QString name = ediDateiname->text();
        if (!DateinameGueltig(name)) {
            Meldung(QStringLiteral("Ein Dateiname darf keines der folgenden Zeichen enthalten:") + QStringLiteral("\r\r")
                        + QStringLiteral("\\   /   :   *   ?   \"   <   >   |"),
                    TMeldungArt::Fehler, mbOk);
            return;
        }

        const QString pfad = PfadVerbinden(ordner, OhneEndBlanks(name));
        const QFileInfo ziel(pfad);
        if (ziel.isDir()) {
            Meldung(QStringLiteral("Das Bild konnte nicht gespeichert werden.") + QStringLiteral("\r\r")
                        + QStringLiteral("„%1“ ist ein Ordner.").arg(pfad),
                    TMeldungArt::Fehler, mbOk);
            return;
        }
        // The old file stays until the new one is complete: it is replaced,
        // never deleted first.
        bool schutzAufgehoben = false;
        mode_t alteRechte = 0;
        if (ziel.exists()) {
            if (UeberschreibenFragen(pfad, TMeldungArt::Bestaetigung, mbJa | mbNein) != mbJa)
                return;
            if (DateiSchreibgeschuetzt(pfad)) {
                struct stat info {};
                const QByteArray name8 = QFile::encodeName(pfad);
                if (::stat(name8.constData(), &info) == 0)
                    alteRechte = info.st_mode & 07777;
                const bool gehoben = ::chmod(name8.constData(), alteRechte | S_IWUSR) == 0;
                const int e = gehoben ? EACCES : errno;
                if (!gehoben || DateiSchreibgeschuetzt(pfad)) {
                    Meldung(SchreibfehlerText(pfad, e), TMeldungArt::Information, mbOk);
                    return;
                }
                schutzAufgehoben = true;
            }
        }

        if (!Schreiben(schluessel, ordner, pfad)) {
            // A failed write leaves the old file as it was, protection included.
            if (schutzAufgehoben)
                ::chmod(QFile::encodeName(pfad).constData(), alteRechte);
            btnSpeichern->setEnabled(true);
        }
    } catch (const std::exception& e) {
        btnSpeichern->setEnabled(true);
        Meldung(QStringLiteral("Das Bild konnte nicht gespeichert werden.") + QStringLiteral("\r\r")
                    + QString::fromLocal8Bit(e.what()),
                TMeldungArt::Fehler, mbOk);
    } catch (...) {
        btnSpeichern->setEnabled(true);
        Meldung(QStringLiteral("Das Bild konnte nicht gespeichert werden."), TMeldungArt::Fehler, mbOk);
    }
}

bool TfrmSpeichern::Schreiben(const QString& schluessel, const QString& ordner, const QString& pfad)
{
    TfrmZelvanoMain* haupt = frmZelvanoMain;
    if (!haupt || !haupt->Gear1 || haupt->OriginalBild.IsEmpty()) {
        Meldung(QStringLiteral("Das Bild konnte nicht gespeichert werden.") + QStringLiteral("\r\r")
                    + QStringLiteral("Es ist kein Bild vorhanden."),
                TMeldungArt::Fehler, mbOk);
        return false;
    }
    TGear& gear = *haupt->Gear1;

    QCoreApplication::processEvents();
    gear.SetPicture(haupt->OriginalBild);
    FarbtiefeVorbereiten(gear, BildFarbtiefe);

    TSchreibZusatz zusatz;
    if (BildQuelle == BildQuelleDatei && cbEXIFschreibenTemp->isChecked())
        zusatz.exif = AktExifDaten;
    zusatz.kommentar = SchreibKommentar();
    if (BildQuelle == BildQuelleDatei && cbSpeichernDatum->isChecked())
        zusatz.datum = AktDateiDatum;

    btnSpeichern->setEnabled(false);
    QString fehler;
    const TSchreibSchritt schritt = BildSchreiben(gear, schluessel, pfad, zusatz, fehler);
    if (schritt == TSchreibSchritt::Bild) {
        Meldung(QStringLiteral("Das Bild konnte nicht gespeichert werden.") + QStringLiteral("\r\r") + fehler,
                TMeldungArt::Fehler, mbOk);
        return false;
    }

    BildBearbeitet = false;
    MenuesSetzen();
    SpeicherVerzeichnis = MitTrenner(ordner);

    if (schritt == TSchreibSchritt::Exif || schritt == TSchreibSchritt::Kommentar) {
        Meldung(schritt == TSchreibSchritt::Exif
                    ? QStringLiteral("Die EXIF-Daten konnten nicht geschrieben werden.") + QStringLiteral("\r\r") + fehler
                    : fehler,
                TMeldungArt::Fehler, mbOk);
        btnSpeichern->setEnabled(true);
        return true;
    }
    accept();
    return true;
}
