// The settings dialog.
#include "Einstell.h"
#include <QApplication>
#include <QButtonGroup>
#include <QCheckBox>
#include <QColorDialog>
#include <QFileDialog>
#include <QFileInfo>
#include <QFormLayout>
#include <QFrame>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPushButton>
#include <QRadioButton>
#include <QShowEvent>
#include <QSlider>
#include <QTabWidget>
#include <QToolButton>
#include <QVBoxLayout>
#include <cmath>
#include "Einstellungen.h"
#include "Global.h"
#include "pixelops/Bitmap.h"
#include "pixelops/Bitmap_Dichte.h"
#include "pixelops/Runden.h"
#include "widgets/Numedit.h"

TfrmEinstell* frmEinstell = nullptr;

// ---- TUpDown ---------------------------------------------------------------

TUpDown::TUpDown(TNumedit* feld, int min, int max, int schritt, QWidget* parent)
    : QWidget(parent), m_feld(feld), m_min(min), m_max(max), m_schritt(schritt), m_position(min)
{
    auto* auf = new QToolButton(this);
    auf->setArrowType(Qt::UpArrow);
    auto* ab = new QToolButton(this);
    ab->setArrowType(Qt::DownArrow);
    for (QToolButton* pfeil : {auf, ab}) {
        pfeil->setAutoRepeat(true);
        pfeil->setFixedSize(18, 12);
        pfeil->setFocusPolicy(Qt::NoFocus);
    }
    auto* spalte = new QVBoxLayout(this);
    spalte->setContentsMargins(0, 0, 0, 0);
    spalte->setSpacing(0);
    spalte->addWidget(auf);
    spalte->addWidget(ab);
    connect(auf, &QToolButton::clicked, this, [this] { Klick(1); });
    connect(ab, &QToolButton::clicked, this, [this] { Klick(-1); });
}

void TUpDown::SetPosition(int wert)
{
    m_position = std::clamp(wert, m_min, m_max);
    m_feld->SetWert(m_position);
}

void TUpDown::Klick(int richtung)
{
    // The field may hold a typed value the arrows have not seen yet.
    const long double feld = m_feld->text().isEmpty() ? m_position : m_feld->Wert();
    SetPosition(static_cast<int>(feld) + richtung * m_schritt);
}

// ---- Sample pictures ---------------------------------------------------------

QImage GammaMusterBild(int breite, int hoehe)
{
    QImage bild(breite, hoehe, QImage::Format_RGB32);
    QPainter maler(&bild);
    maler.setRenderHint(QPainter::Antialiasing);
    QLinearGradient himmel(0, 0, 0, hoehe * 0.6);
    himmel.setColorAt(0, QColor(40, 90, 170));
    himmel.setColorAt(1, QColor(190, 215, 240));
    maler.fillRect(bild.rect(), himmel);
    QLinearGradient wiese(0, hoehe * 0.55, 0, hoehe);
    wiese.setColorAt(0, QColor(110, 170, 60));
    wiese.setColorAt(1, QColor(30, 80, 25));
    maler.fillRect(QRectF(0, hoehe * 0.55, breite, hoehe * 0.45), wiese);
    maler.setPen(Qt::NoPen);
    maler.setBrush(QColor(250, 200, 40));
    maler.drawEllipse(QPointF(breite * 0.78, hoehe * 0.22), hoehe * 0.12, hoehe * 0.12);
    maler.setBrush(QColor(180, 40, 35));
    maler.drawRect(QRectF(breite * 0.18, hoehe * 0.42, breite * 0.26, hoehe * 0.3));
    maler.setBrush(QColor(90, 40, 30));
    maler.drawPolygon(QPolygonF({QPointF(breite * 0.14, hoehe * 0.43), QPointF(breite * 0.31, hoehe * 0.24),
                                 QPointF(breite * 0.48, hoehe * 0.43)}));
    // A grey wedge from black to white shows the gamma's effect on the mid tones.
    const int stufen = 8;
    for (int i = 0; i < stufen; ++i) {
        const int grau = i * 255 / (stufen - 1);
        maler.setBrush(QColor(grau, grau, grau));
        maler.drawRect(QRectF(breite * i / stufen, hoehe * 0.9, breite / double(stufen) + 1, hoehe * 0.1 + 1));
    }
    return bild;
}

QImage GammaRasterBild(QRgb farbe, int groesse)
{
    QImage bild(groesse, groesse, QImage::Format_RGB32);
    for (int y = 0; y < groesse; ++y) {
        auto* zeile = reinterpret_cast<QRgb*>(bild.scanLine(y));
        for (int x = 0; x < groesse; ++x) {
            // The left half alternates full colour and black lines; the right
            // half is the plain colour at half strength. They look alike at
            // the right gamma.
            if (x < groesse / 2)
                zeile[x] = y % 2 == 0 ? farbe : qRgb(0, 0, 0);
            else
                zeile[x] = qRgb(qRed(farbe) / 2, qGreen(farbe) / 2, qBlue(farbe) / 2);
        }
    }
    return bild;
}

// ---- The dialog --------------------------------------------------------------

namespace {

QWidget* Seite(QTabWidget* reiter, const QString& titel)
{
    auto* seite = new QWidget;
    reiter->addTab(seite, titel);
    return seite;
}

QLabel* Raster(QRgb farbe, QWidget* eltern)
{
    auto* bild = new QLabel(eltern);
    bild->setPixmap(QPixmap::fromImage(GammaRasterBild(farbe, 32)));
    bild->setFixedSize(32, 32);
    return bild;
}

bool OrdnerVorhanden(const QString& pfad)
{
    return !pfad.isEmpty() && QFileInfo(pfad).isDir();
}

} // namespace

TfrmEinstell::~TfrmEinstell()
{
    if (frmEinstell == this)
        frmEinstell = nullptr;
}

TfrmEinstell::TfrmEinstell(QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("frmEinstell"));
    setWindowTitle(QStringLiteral("Einstellungen"));
    setWindowFlags(Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint);
    setAutoFillBackground(true);
    QPalette weiss = palette();
    weiss.setColor(QPalette::Window, Qt::white);
    setPalette(weiss);

    pcEinstellungen = new QTabWidget(this);
    pcEinstellungen->setObjectName(QStringLiteral("pcEinstellungen"));
    // All seven tabs in view: the dialog widens for long captions instead.
    pcEinstellungen->setUsesScrollButtons(false);

    // Startoptionen
    QWidget* start = Seite(pcEinstellungen, QStringLiteral("Startoptionen"));
    cbBeiStartAlleLaden = new QCheckBox(QStringLiteral("Beim Start alle Bilder des Ordners laden."), start);
    cbBeiStartOeffnenFenster = new QCheckBox(QStringLiteral("Beim Start das Öffnen-Fenster anzeigen."), start);
    cbBeiStartEinpassen = new QCheckBox(QStringLiteral("Beim Start große Bilder eingepasst anzeigen."), start);
    auto* startSpalte = new QVBoxLayout(start);
    for (QCheckBox* kasten : {cbBeiStartAlleLaden, cbBeiStartOeffnenFenster, cbBeiStartEinpassen})
        startSpalte->addWidget(kasten);
    startSpalte->addStretch(1);

    // Ansicht
    QWidget* ansicht = Seite(pcEinstellungen, QStringLiteral("Ansicht"));
    auto leiste = [ansicht](QCheckBox*& kasten, const QString& text, QRadioButton*& links, QRadioButton*& oben,
                            QRadioButton*& rechts) {
        kasten = new QCheckBox(text, ansicht);
        links = new QRadioButton(QStringLiteral("links"), ansicht);
        oben = new QRadioButton(QStringLiteral("oben"), ansicht);
        rechts = new QRadioButton(QStringLiteral("rechts"), ansicht);
        auto* gruppe = new QButtonGroup(ansicht);
        gruppe->addButton(links, 1);
        gruppe->addButton(oben, 2);
        gruppe->addButton(rechts, 3);
        auto* zeile = new QHBoxLayout;
        zeile->addSpacing(24);
        zeile->addWidget(links);
        zeile->addWidget(oben);
        zeile->addWidget(rechts);
        zeile->addStretch(1);
        return zeile;
    };
    auto* ansichtSpalte = new QVBoxLayout(ansicht);
    QHBoxLayout* zeile1 = leiste(cbButtonLeiste1, QStringLiteral("Funktions-Schalterleiste anzeigen."),
                                 rbButtonLeiste1Links, rbButtonLeiste1Oben, rbButtonLeiste1Rechts);
    rbButtonLeiste1Oben->setChecked(true);
    QHBoxLayout* zeile2 = leiste(cbButtonLeiste2, QStringLiteral("Bearbeiten-Schalterleiste anzeigen."),
                                 rbButtonLeiste2Links, rbButtonLeiste2Oben, rbButtonLeiste2Rechts);
    rbButtonLeiste2Links->setChecked(true);
    cbStatusleiste = new QCheckBox(QStringLiteral("Statusleiste anzeigen."), ansicht);
    nedPauseAutoShow = new TNumedit(ansicht);
    nedPauseAutoShow->SetMatrix(QStringLiteral("100,0"));
    nedPauseAutoShow->setFixedWidth(DpiSkalieren(60, 96));
    cbAutoShowLoop = new QCheckBox(QStringLiteral("Auto-Show als Endlosschleife anzeigen"), ansicht);
    auto* pause = new QHBoxLayout;
    pause->addWidget(nedPauseAutoShow);
    pause->addWidget(new QLabel(QStringLiteral("Sekunden Verweilzeit für die Auto-Show-Funktion"), ansicht));
    pause->addStretch(1);
    ansichtSpalte->addWidget(cbButtonLeiste1);
    ansichtSpalte->addLayout(zeile1);
    ansichtSpalte->addWidget(cbButtonLeiste2);
    ansichtSpalte->addLayout(zeile2);
    ansichtSpalte->addWidget(cbStatusleiste);
    ansichtSpalte->addSpacing(12);
    ansichtSpalte->addLayout(pause);
    ansichtSpalte->addWidget(cbAutoShowLoop);
    ansichtSpalte->addStretch(1);

    // Farbe
    QWidget* farbe = Seite(pcEinstellungen, QStringLiteral("Farbe"));
    shpHintergrundFarbe = new QFrame(farbe);
    shpHintergrundFarbe->setObjectName(QStringLiteral("shpHintergrundFarbe"));
    shpHintergrundFarbe->setFrameShape(QFrame::Box);
    shpHintergrundFarbe->setFixedSize(DpiSkalieren(60, 96), DpiSkalieren(25, 96));
    shpHintergrundFarbe->setAutoFillBackground(true);
    btnHintergrundfarbe = new QPushButton(QStringLiteral("Hintergrundfarbe..."), farbe);
    ColorDialog1 = new QColorDialog(this);
    ColorDialog1->setOption(QColorDialog::DontUseNativeDialog);
    tbGammaKorrektur = new QSlider(Qt::Horizontal, farbe);
    tbGammaKorrektur->setRange(-30, 30);
    tbGammaKorrektur->setPageStep(1);
    tbGammaKorrektur->setTickInterval(10);
    tbGammaKorrektur->setTickPosition(QSlider::TicksBelow);
    lblGammaWert = new QLabel(QStringLiteral("0"), farbe);
    lblGammaWert->setMinimumWidth(DpiSkalieren(40, 96));
    imgGammaOriginal = GammaMusterBild(240, 160);
    m_gammaBild = imgGammaOriginal;
    imgGamma = new QLabel(farbe);
    imgGamma->setObjectName(QStringLiteral("imgGamma"));
    imgGamma->setFixedSize(DpiSkalieren(240, 96), DpiSkalieren(160, 96));
    imgGamma->setScaledContents(true);
    imgGamma->setPixmap(QPixmap::fromImage(m_gammaBild));
    imgGammaRasterRot = Raster(qRgb(255, 0, 0), farbe);
    imgGammaRasterGruen = Raster(qRgb(0, 255, 0), farbe);
    imgGammaRasterBlau = Raster(qRgb(0, 0, 255), farbe);
    imgGammaRasterGrau = Raster(qRgb(255, 255, 255), farbe);
    auto* farbZeile = new QHBoxLayout;
    farbZeile->addWidget(shpHintergrundFarbe);
    farbZeile->addWidget(btnHintergrundfarbe);
    farbZeile->addStretch(1);
    auto* gammaZeile = new QHBoxLayout;
    gammaZeile->addWidget(tbGammaKorrektur, 1);
    gammaZeile->addWidget(lblGammaWert);
    auto* raster = new QVBoxLayout;
    for (QLabel* r : {imgGammaRasterRot, imgGammaRasterGruen, imgGammaRasterBlau, imgGammaRasterGrau})
        raster->addWidget(r);
    auto* bilder = new QHBoxLayout;
    bilder->addWidget(imgGamma);
    bilder->addLayout(raster);
    bilder->addStretch(1);
    auto* farbSpalte = new QVBoxLayout(farbe);
    farbSpalte->addLayout(farbZeile);
    farbSpalte->addSpacing(8);
    farbSpalte->addWidget(new QLabel(QStringLiteral("Bildschirm-Gammakorrektur"), farbe));
    farbSpalte->addLayout(gammaZeile);
    farbSpalte->addLayout(bilder);
    farbSpalte->addStretch(1);

    // Vorschau
    QWidget* vorschau = Seite(pcEinstellungen, QStringLiteral("Vorschau"));
    cbVorschauVollbild = new QCheckBox(QStringLiteral("Ausgewähltes Bild im Vollbildmodus anzeigen."), vorschau);
    cbVorschauFensterAus = new QCheckBox(QStringLiteral("Vorschau nach dem Auswählen schließen."), vorschau);
    nedVorschauGroesse = new TNumedit(vorschau);
    nedVorschauGroesse->SetMatrix(QStringLiteral("300"));
    nedVorschauGroesse->setFixedWidth(DpiSkalieren(50, 96));
    udVorschauGroesse = new TUpDown(nedVorschauGroesse, 50, 300, 5, vorschau);
    auto* groesse = new QHBoxLayout;
    groesse->addWidget(nedVorschauGroesse);
    groesse->addWidget(udVorschauGroesse);
    groesse->addWidget(new QLabel(QStringLiteral("Vorschau-Bildgröße"), vorschau));
    groesse->addStretch(1);
    auto* vorschauSpalte = new QVBoxLayout(vorschau);
    vorschauSpalte->addWidget(cbVorschauVollbild);
    vorschauSpalte->addWidget(cbVorschauFensterAus);
    vorschauSpalte->addLayout(groesse);
    vorschauSpalte->addStretch(1);

    // Rückgängig
    QWidget* rueck = Seite(pcEinstellungen, QStringLiteral("Rückgängig"));
    nedMaxRueck = new TNumedit(rueck);
    nedMaxRueck->SetMatrix(QStringLiteral("20"));
    nedMaxRueck->setFixedWidth(DpiSkalieren(50, 96));
    udMaxRueck = new TUpDown(nedMaxRueck, 0, 20, 1, rueck);
    auto* rueckZeile = new QHBoxLayout;
    rueckZeile->addWidget(new QLabel(QStringLiteral("Maximale Anzahl der Rückgängig-Schritte:"), rueck));
    rueckZeile->addWidget(nedMaxRueck);
    rueckZeile->addWidget(udMaxRueck);
    rueckZeile->addStretch(1);
    auto* rueckSpalte = new QVBoxLayout(rueck);
    rueckSpalte->addLayout(rueckZeile);
    rueckSpalte->addStretch(1);

    // Ordner
    QWidget* ordner = Seite(pcEinstellungen, QStringLiteral("Ordner"));
    lblOpen = new QLabel(QStringLiteral("Startordner für \"Datei / Öffnen...\""), ordner);
    editStartverzLaden = new QLineEdit(ordner);
    btnStartverzLaden = new QPushButton(QStringLiteral("..."), ordner);
    lblSave = new QLabel(QStringLiteral("Startordner für \"Datei / Speichern als...\""), ordner);
    editStartverzSpeichern = new QLineEdit(ordner);
    btnStartverzSpeichern = new QPushButton(QStringLiteral("..."), ordner);
    auto* ordnerGitter = new QGridLayout(ordner);
    ordnerGitter->addWidget(lblOpen, 0, 0, 1, 2);
    ordnerGitter->addWidget(editStartverzLaden, 1, 0);
    ordnerGitter->addWidget(btnStartverzLaden, 1, 1);
    ordnerGitter->addWidget(lblSave, 2, 0, 1, 2);
    ordnerGitter->addWidget(editStartverzSpeichern, 3, 0);
    ordnerGitter->addWidget(btnStartverzSpeichern, 3, 1);
    ordnerGitter->setRowStretch(4, 1);

    // EXIF
    QWidget* exif = Seite(pcEinstellungen, QStringLiteral("EXIF"));
    cbEXIFschreiben =
        new QCheckBox(QStringLiteral("JPEG-Bildinfomationen (EXIF-Daten), beim Speichern beibehalten."), exif);
    auto* exifSpalte = new QVBoxLayout(exif);
    exifSpalte->addWidget(cbEXIFschreiben);
    exifSpalte->addStretch(1);

    btnOk = new QPushButton(QStringLiteral("Ok"), this);
    btnOk->setObjectName(QStringLiteral("btnOk"));
    btnOk->setDefault(true);
    btnAbbrechen = new QPushButton(QStringLiteral("Abbrechen"), this);
    btnAbbrechen->setObjectName(QStringLiteral("btnAbbrechen"));
    btnAbbrechen->setAutoDefault(false);
    auto* knoepfe = new QHBoxLayout;
    knoepfe->addStretch(1);
    knoepfe->addWidget(btnOk);
    knoepfe->addWidget(btnAbbrechen);
    auto* ganz = new QVBoxLayout(this);
    ganz->addWidget(pcEinstellungen, 1);
    ganz->addLayout(knoepfe);

    connect(btnOk, &QPushButton::clicked, this, &TfrmEinstell::btnOkClick);
    connect(btnAbbrechen, &QPushButton::clicked, this, &QDialog::reject);
    connect(btnHintergrundfarbe, &QPushButton::clicked, this, &TfrmEinstell::btnHintergrundfarbeClick);
    connect(btnStartverzLaden, &QPushButton::clicked, this, &TfrmEinstell::btnStartverzLadenClick);
    connect(btnStartverzSpeichern, &QPushButton::clicked, this, &TfrmEinstell::btnStartverzSpeichernClick);
    connect(tbGammaKorrektur, &QSlider::valueChanged, this, &TfrmEinstell::tbGammaKorrekturChange);

    FormCreate();
    setFixedSize(QSize(DpiSkalieren(539, 96), DpiSkalieren(421, 96)).expandedTo(sizeHint()));
}

void TfrmEinstell::FormCreate()
{
    setFont(QApplication::font("QMenu"));
    QFont gross = lblGammaWert->font();
    gross.setPixelSize(20);
    lblGammaWert->setFont(gross);
}

void TfrmEinstell::showEvent(QShowEvent* ereignis)
{
    QDialog::showEvent(ereignis);
    if (!ereignis->spontaneous())
        FormShow();
}

void TfrmEinstell::SwatchSetzen(const QColor& farbe)
{
    QPalette palette = shpHintergrundFarbe->palette();
    palette.setColor(QPalette::Window, farbe);
    shpHintergrundFarbe->setPalette(palette);
}

void TfrmEinstell::FormShow()
{
    cbBeiStartAlleLaden->setChecked(BeiStartAlleLaden);
    cbBeiStartOeffnenFenster->setChecked(OeffnenFensterLaden);
    cbBeiStartEinpassen->setChecked(BeiStartEinpassen);
    cbButtonLeiste1->setChecked(Buttonleiste1);
    cbButtonLeiste2->setChecked(Buttonleiste2);
    cbStatusleiste->setChecked(Statusleiste);
    cbAutoShowLoop->setChecked(Endlosschleife);
    cbVorschauVollbild->setChecked(VorschauVollbild);
    cbVorschauFensterAus->setChecked(VorschauFensterAus);
    cbEXIFschreiben->setChecked(ExifSchreiben);
    rbButtonLeiste1Links->setChecked(Buttonleiste1Pos == 1);
    rbButtonLeiste1Oben->setChecked(Buttonleiste1Pos == 2);
    rbButtonLeiste1Rechts->setChecked(Buttonleiste1Pos == 3);
    rbButtonLeiste2Links->setChecked(Buttonleiste2Pos == 1);
    rbButtonLeiste2Oben->setChecked(Buttonleiste2Pos == 2);
    rbButtonLeiste2Rechts->setChecked(Buttonleiste2Pos == 3);

    // Seconds with one decimal, rounded as a formatted number is: half away
    // from zero (exact here, BildPause being whole milliseconds).
    nedPauseAutoShow->SetWert(std::round(BildPause / 100.0L) / 10.0L);

    tbGammaKorrektur->setValue(AnzeigeGamma);
    lblGammaWert->setText(QString::number(AnzeigeGamma));

    ColorDialog1Farbe = QColor(FarbwertZuRgb(HgFarbe));
    ColorDialog1->setCurrentColor(ColorDialog1Farbe);
    SwatchSetzen(ColorDialog1Farbe);

    udVorschauGroesse->SetPosition(VorschauGroesse);
    udMaxRueck->SetPosition(MaxRueck);

    editStartverzLaden->setText(StartVerzLaden);
    editStartverzSpeichern->setText(StartVerzSpeichern);
}

void TfrmEinstell::btnOkClick()
{
    BeiStartAlleLaden = cbBeiStartAlleLaden->isChecked();
    OeffnenFensterLaden = cbBeiStartOeffnenFenster->isChecked();
    BeiStartEinpassen = cbBeiStartEinpassen->isChecked();
    Buttonleiste1 = cbButtonLeiste1->isChecked();
    Buttonleiste2 = cbButtonLeiste2->isChecked();
    Statusleiste = cbStatusleiste->isChecked();
    Endlosschleife = cbAutoShowLoop->isChecked();
    VorschauVollbild = cbVorschauVollbild->isChecked();
    VorschauFensterAus = cbVorschauFensterAus->isChecked();
    ExifSchreiben = cbEXIFschreiben->isChecked();
    if (rbButtonLeiste1Links->isChecked())
        Buttonleiste1Pos = 1;
    if (rbButtonLeiste1Oben->isChecked())
        Buttonleiste1Pos = 2;
    if (rbButtonLeiste1Rechts->isChecked())
        Buttonleiste1Pos = 3;
    if (rbButtonLeiste2Links->isChecked())
        Buttonleiste2Pos = 1;
    if (rbButtonLeiste2Oben->isChecked())
        Buttonleiste2Pos = 2;
    if (rbButtonLeiste2Rechts->isChecked())
        Buttonleiste2Pos = 3;

    BildPause = Runden(nedPauseAutoShow->Wert() * 1000);
    AnzeigeGamma = tbGammaKorrektur->value();
    HgFarbe = RgbZuFarbwert(ColorDialog1Farbe.rgb());
    VorschauGroesse = std::clamp(static_cast<int>(nedVorschauGroesse->Wert()), 50, 300);
    MaxRueck = std::min(static_cast<int>(nedMaxRueck->Wert()), 20);

    const QString laden = editStartverzLaden->text();
    StartVerzLaden = OrdnerVorhanden(laden) ? laden : QString();
    const QString speichern = editStartverzSpeichern->text();
    StartVerzSpeichern = OrdnerVorhanden(speichern) ? speichern : QString();
    accept();
}

void TfrmEinstell::btnHintergrundfarbeClick()
{
    ColorDialog1->setCurrentColor(ColorDialog1Farbe);
    if (ColorDialog1->exec() == QDialog::Accepted && ColorDialog1->selectedColor().isValid())
        ColorDialog1Farbe = ColorDialog1->selectedColor();
    SwatchSetzen(ColorDialog1Farbe);
}

void TfrmEinstell::btnStartverzLadenClick()
{
    const QString ordner = QFileDialog::getExistingDirectory(
        this, QStringLiteral("Wählen Sie den Startordner, für Bild laden.., aus"), QString());
    if (!ordner.isEmpty())
        editStartverzLaden->setText(ordner);
}

void TfrmEinstell::btnStartverzSpeichernClick()
{
    const QString ordner = QFileDialog::getExistingDirectory(
        this, QStringLiteral("Wählen Sie den Startordner, für Bild speichern.., aus"), QString());
    if (!ordner.isEmpty())
        editStartverzSpeichern->setText(ordner);
}

void TfrmEinstell::tbGammaKorrekturChange()
{
    AnzeigeGamma = tbGammaKorrektur->value();
    TBitmap bild(imgGammaOriginal);
    BitmapDichte(bild, AnzeigeGamma);
    m_gammaBild = bild.Bild();
    imgGamma->setPixmap(QPixmap::fromImage(m_gammaBild));
    lblGammaWert->setText(QString::number(tbGammaKorrektur->value()));
}
