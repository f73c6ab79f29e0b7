// The colour-editing window: six pages, each with a live preview on the main
// window's display.
#include "Farben.h"
#include <QApplication>
#include <QButtonGroup>
#include <QCheckBox>
#include <QColorDialog>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QSlider>
#include <QTabWidget>
#include <QTimer>
#include <QVBoxLayout>
#include <cstdlib>
#include <stdexcept>
#include "AnzeigeBild.h"
#include "Einstellungen.h"
#include "gear/Gear.h"
#include "Global.h"
#include "Meldung.h"
#include "ReglerVorschau.h"
#include "ZelvanoMain.h"
#include "pixelops/Bitmap_Einfaerben.h"
#include "pixelops/Bitmap_Farbkorrektur.h"
#include "pixelops/Bitmap_Graustufen.h"
#include "pixelops/Bitmap_Kolorieren.h"
#include "pixelops/Bitmap_Kopieren.h"
#include "pixelops/Bitmap_Toenen.h"
#include "pixelops/Bitmap_Verkleinern.h"
#include "widgets/Sanduhr.h"

TfrmFarben* frmFarben = nullptr;
int FarbenLetztePosition = 0;

namespace {

constexpr int KorStart = -255, KorIntensitaetStart = 100;

TFarbwert AlsFarbwert(QColor farbe)
{
    return TFarbwert(farbe.red()) | (TFarbwert(farbe.green()) << 8) | (TFarbwert(farbe.blue()) << 16);
}

QSlider* NeuerRegler(QWidget* eltern, const char* name, int von, int bis, int teilung)
{
    auto* r = new QSlider(Qt::Horizontal, eltern);
    r->setObjectName(QLatin1String(name));
    r->setRange(von, bis);
    r->setPageStep(1);
    r->setSingleStep(1);
    r->setTickInterval(teilung);
    r->setTickPosition(QSlider::TicksBelow);
    return r;
}

QGroupBox* Gruppe(QWidget* eltern, const QString& titel)
{
    auto* g = new QGroupBox(titel, eltern);
    return g;
}

QPushButton* Knopf(QWidget* eltern, const char* name, const QString& text)
{
    auto* k = new QPushButton(text, eltern);
    k->setObjectName(QLatin1String(name));
    return k;
}

} // namespace

// ======================================================================
// Colour swatch
// ======================================================================

TFarbFlaeche::TFarbFlaeche(QColor fuellung, QColor rand, QWidget* parent)
    : QWidget(parent), m_fuellung(fuellung), m_rand(rand)
{
}

void TFarbFlaeche::SetFarben(QColor fuellung, QColor rand)
{
    m_fuellung = fuellung;
    m_rand = rand;
    update();
}

void TFarbFlaeche::paintEvent(QPaintEvent*)
{
    QPainter maler(this);
    maler.fillRect(rect(), m_rand);
    maler.fillRect(rect().adjusted(1, 1, -1, -1), m_fuellung);
}

void TFarbFlaeche::mousePressEvent(QMouseEvent* ereignis)
{
    ereignis->accept();
    emit Gedrueckt();
}

// ======================================================================
// The window
// ======================================================================

TfrmFarben::TfrmFarben(QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("frmFarben"));
    if (!frmFarben)
        frmFarben = this;
    FormCreate();
}

TfrmFarben::~TfrmFarben()
{
    if (frmFarben == this)
        frmFarben = nullptr;
}

QList<QSlider*> TfrmFarben::Regler() const
{
    return {tbKorGelb,        tbKorCyan,          tbKorMagenta,       tbKorIntensitaet,        tbTonIntensitaet,
            tbEinIntensitaet, tbEinGraugrenze,    tbEinWeissgrenze,   tbEinSchwarzgrenze,      tbKolorierenIntensitaet,
            tbGrauRot,        tbGrauGruen,        tbGrauBlau,         tbSchwellwert};
}

void TfrmFarben::EinFarbeHinzufuegen(const QString& name, QColor farbe)
{
    QPixmap muster(DpiSkalieren(16, 96), DpiSkalieren(12, 96));
    muster.fill(farbe);
    {
        QPainter maler(&muster);
        maler.setPen(Qt::black);
        maler.drawRect(muster.rect().adjusted(0, 0, -1, -1));
    }
    cobEinFarbe->addItem(QIcon(muster), name, farbe);
}

void TfrmFarben::FormCreate()
{
    setWindowTitle(QStringLiteral("Farbbearbeitung"));
    setProperty("HilfeKontext", 38);
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint
                   | Qt::WindowCloseButtonHint);
    setFont(QApplication::font("QMenu"));
    QPalette weiss = palette();
    weiss.setColor(QPalette::Window, Qt::white);
    setPalette(weiss);
    setAutoFillBackground(true);

    pcFarben = new QTabWidget(this);
    pcFarben->setObjectName(QStringLiteral("pcFarben"));
    // All six tabs stay in view: the window grows with the font instead.
    pcFarben->setUsesScrollButtons(false);

    auto seite = [this](QWidget*& ts, const char* name, const QString& titel) {
        ts = new QWidget(pcFarben);
        ts->setObjectName(QLatin1String(name));
        pcFarben->addTab(ts, titel);
        return ts;
    };
    // Ok (default) and Abbrechen at the foot of a page.
    auto fuss = [](QWidget* ts, QVBoxLayout* spalte, QPushButton*& ok, const char* okName, QPushButton*& abbrechen,
                   const char* abbrechenName, QPushButton* links = nullptr) {
        spalte->addStretch(1);
        auto* zeile = new QHBoxLayout;
        if (links)
            zeile->addWidget(links);
        zeile->addStretch(1);
        ok = Knopf(ts, okName, QStringLiteral("Ok"));
        abbrechen = Knopf(ts, abbrechenName, QStringLiteral("Abbrechen"));
        zeile->addWidget(ok);
        zeile->addWidget(abbrechen);
        spalte->addLayout(zeile);
    };

    // ---- Farbkorrektur ----
    {
        QWidget* ts = seite(tsKorrektur, "tsKorrektur", QStringLiteral("Farbkorrektur"));
        auto* spalte = new QVBoxLayout(ts);
        auto* farbe = Gruppe(ts, QStringLiteral(" Farbe "));
        auto* gitter = new QGridLayout(farbe);
        auto zeile = [&](int n, const QString& text, QSlider*& regler, const char* name, TFarbFlaeche*& feld,
                         QColor fuellung) {
            feld = new TFarbFlaeche(fuellung, Qt::black, farbe);
            feld->setFixedSize(20, 20);
            regler = NeuerRegler(farbe, name, -255, 0, 16);
            gitter->addWidget(feld, n, 0);
            gitter->addWidget(new QLabel(text, farbe), n, 1);
            gitter->addWidget(regler, n, 2);
        };
        zeile(0, QStringLiteral("Gelb"), tbKorGelb, "tbKorGelb", shpGelb, Qt::yellow);
        zeile(1, QStringLiteral("Cyan"), tbKorCyan, "tbKorCyan", shpCyan, Qt::cyan);
        zeile(2, QStringLiteral("Magenta"), tbKorMagenta, "tbKorMagenta", shpMagenta, Qt::magenta);
        shpGelb->setObjectName(QStringLiteral("shpGelb"));
        shpCyan->setObjectName(QStringLiteral("shpCyan"));
        shpMagenta->setObjectName(QStringLiteral("shpMagenta"));
        spalte->addWidget(farbe);
        auto* intensitaet = Gruppe(ts, QStringLiteral(" Intensität "));
        tbKorIntensitaet = NeuerRegler(intensitaet, "tbKorIntensitaet", 0, 200, 20);
        (new QVBoxLayout(intensitaet))->addWidget(tbKorIntensitaet);
        spalte->addWidget(intensitaet);
        btnKorOriginal = Knopf(ts, "btnKorOriginal", QStringLiteral("Original"));
        fuss(ts, spalte, btnKorOk, "btnKorOk", btnKorAbbrechen, "btnKorAbbrechen", btnKorOriginal);
    }

    // ---- Tönen ----
    {
        QWidget* ts = seite(tsToenen, "tsToenen", QStringLiteral("Tönen"));
        auto* spalte = new QVBoxLayout(ts);
        auto* farbe = Gruppe(ts, QStringLiteral(" Farbe "));
        auto* knoepfe = new QVBoxLayout(farbe);
        auto radio = [&](QRadioButton*& rb, const char* name, const QString& text, int wert) {
            rb = new QRadioButton(text, farbe);
            rb->setObjectName(QLatin1String(name));
            knoepfe->addWidget(rb);
            connect(rb, &QRadioButton::clicked, this, [this, wert] { rbTonClick(wert); });
        };
        radio(rbTonSepia, "rbTonSepia", QStringLiteral("Sepia"), 1);
        radio(rbTonBlau, "rbTonBlau", QStringLiteral("Blau"), 2);
        radio(rbTonRot, "rbTonRot", QStringLiteral("Rot"), 3);
        radio(rbTonGruen, "rbTonGruen", QStringLiteral("Grün"), 4);
        radio(rbTonViolett, "rbTonViolett", QStringLiteral("Violett"), 5);
        rbTonSepia->setChecked(true);
        spalte->addWidget(farbe);
        auto* intensitaet = Gruppe(ts, QStringLiteral(" Intensität "));
        tbTonIntensitaet = NeuerRegler(intensitaet, "tbTonIntensitaet", 0, 300, 50);
        (new QVBoxLayout(intensitaet))->addWidget(tbTonIntensitaet);
        spalte->addWidget(intensitaet);
        fuss(ts, spalte, btnTonOk, "btnTonOk", btnTonAbbrechen, "btnTonAbbrechen");
    }

    // ---- Einfärben ----
    {
        QWidget* ts = seite(tsEinfaerben, "tsEinfaerben", QStringLiteral("Einfärben"));
        auto* spalte = new QVBoxLayout(ts);
        auto* farbe = Gruppe(ts, QStringLiteral(" Farbe "));
        cobEinFarbe = new QComboBox(farbe);
        cobEinFarbe->setObjectName(QStringLiteral("cobEinFarbe"));
        cobEinFarbe->setIconSize(QSize(DpiSkalieren(16, 96), DpiSkalieren(12, 96)));
        EinFarbeHinzufuegen(QStringLiteral("Benutzerdefiniert..."), Qt::black);
        const std::pair<const char*, QRgb> standard[] = {
            {"Schwarz", 0x000000}, {"Kastanienbraun", 0x800000}, {"Grün", 0x008000}, {"Olivgrün", 0x808000},
            {"Marineblau", 0x000080}, {"Purpur", 0x800080}, {"Blaugrün", 0x008080}, {"Grau", 0x808080},
            {"Silber", 0xC0C0C0}, {"Rot", 0xFF0000}, {"Hellgrün", 0x00FF00}, {"Gelb", 0xFFFF00},
            {"Blau", 0x0000FF}, {"Fuchsie", 0xFF00FF}, {"Aquamarin", 0x00FFFF}, {"Weiß", 0xFFFFFF}};
        for (const auto& [name, rgb] : standard)
            EinFarbeHinzufuegen(QString::fromUtf8(name), QColor::fromRgb(rgb));
        cobEinFarbe->setCurrentIndex(cobEinFarbe->findText(QStringLiteral("Rot")));
        m_letzteEinFarbe = m_aktuelleEinFarbe = cobEinFarbe->currentIndex();
        // The entry chosen before, for a custom colour that is cancelled.
        connect(cobEinFarbe, qOverload<int>(&QComboBox::currentIndexChanged), this, [this](int index) {
            m_letzteEinFarbe = m_aktuelleEinFarbe;
            m_aktuelleEinFarbe = index;
        });
        (new QVBoxLayout(farbe))->addWidget(cobEinFarbe);
        spalte->addWidget(farbe);
        auto* intensitaet = Gruppe(ts, QStringLiteral(" Intensität "));
        tbEinIntensitaet = NeuerRegler(intensitaet, "tbEinIntensitaet", 0, 255, 32);
        (new QVBoxLayout(intensitaet))->addWidget(tbEinIntensitaet);
        spalte->addWidget(intensitaet);
        auto* filter = Gruppe(ts, QStringLiteral(" Filter "));
        auto* gitter = new QGridLayout(filter);
        auto zeile = [&](int n, const QString& text, QSlider*& regler, const char* name) {
            regler = NeuerRegler(filter, name, 0, 255, 16);
            gitter->addWidget(new QLabel(text, filter), n, 0);
            gitter->addWidget(regler, n, 1);
        };
        zeile(0, QStringLiteral("Grauwert"), tbEinGraugrenze, "tbEinGraugrenze");
        zeile(1, QStringLiteral("Weißwert"), tbEinWeissgrenze, "tbEinWeissgrenze");
        zeile(2, QStringLiteral("Schwarzwert"), tbEinSchwarzgrenze, "tbEinSchwarzgrenze");
        spalte->addWidget(filter);
        fuss(ts, spalte, btnEinOk, "btnEinOk", btnEinAbbrechen, "btnEinAbbrechen");
    }

    // ---- Kolorieren ----
    {
        QWidget* ts = seite(tsKolorieren, "tsKolorieren", QStringLiteral("Kolorieren"));
        auto* spalte = new QVBoxLayout(ts);
        grbEinKolorieren = Gruppe(ts, QStringLiteral(" Farbe "));
        grbEinKolorieren->setObjectName(QStringLiteral("grbEinKolorieren"));
        auto* zeile = new QHBoxLayout(grbEinKolorieren);
        auto feld = [&](TFarbFlaeche*& f, const char* name, QColor fuellung, QColor rand, TFarbwert wert) {
            f = new TFarbFlaeche(fuellung, rand, grbEinKolorieren);
            f->setObjectName(QLatin1String(name));
            f->setFixedSize(35, 20);
            f->setCursor(Qt::PointingHandCursor);
            zeile->addWidget(f);
            TFarbFlaeche* diese = f;
            connect(f, &TFarbFlaeche::Gedrueckt, this, [this, diese, wert] { shpKolMouseDown(diese, wert); });
        };
        feld(shpKolRot, "shpKolRot", QColor(255, 0, 0), QColor(128, 0, 0), 0x0000FF);
        // The value is the darker green of the outline, not the fill's lime.
        feld(shpKolGruen, "shpKolGruen", QColor(0, 255, 0), QColor(0, 128, 0), 0x008000);
        feld(shpKolBlau, "shpKolBlau", QColor(0, 0, 255), QColor(0, 0, 128), 0xFF0000);
        feld(shpKolCyan, "shpKolCyan", QColor(0, 255, 255), QColor(0, 128, 128), 0xFFFF00);
        feld(shpKolMagenta, "shpKolMagenta", QColor(255, 0, 255), QColor(128, 0, 128), 0xFF00FF);
        feld(shpKolGelb, "shpKolGelb", QColor(255, 255, 0), QColor(128, 128, 0), 0x00FFFF);
        zeile->addStretch(1);
        cbFilter = new QCheckBox(QStringLiteral("mit Filter"), grbEinKolorieren);
        cbFilter->setObjectName(QStringLiteral("cbFilter"));
        zeile->addWidget(cbFilter);
        spalte->addWidget(grbEinKolorieren);
        shpKolWert = new TFarbFlaeche(QColor(255, 0, 0), QColor(128, 0, 0), ts);
        shpKolWert->setObjectName(QStringLiteral("shpKolWert"));
        shpKolWert->setFixedSize(380, 15);
        spalte->addWidget(shpKolWert, 0, Qt::AlignHCenter);
        grbKolorierenIntensitaet = Gruppe(ts, QStringLiteral(" Intensität "));
        grbKolorierenIntensitaet->setObjectName(QStringLiteral("grbKolorierenIntensitaet"));
        auto* reihe = new QHBoxLayout(grbKolorierenIntensitaet);
        tbKolorierenIntensitaet = NeuerRegler(grbKolorierenIntensitaet, "tbKolorierenIntensitaet", -255, 255, 32);
        reihe->addWidget(new QLabel(QStringLiteral("-"), grbKolorierenIntensitaet));
        reihe->addWidget(tbKolorierenIntensitaet);
        reihe->addWidget(new QLabel(QStringLiteral("+"), grbKolorierenIntensitaet));
        spalte->addWidget(grbKolorierenIntensitaet);
        fuss(ts, spalte, btnKolorierenOk, "btnKolorierenOk", btnKolorierenAbbrechen, "btnKolorierenAbbrechen");
    }

    // ---- Graustufen ----
    {
        QWidget* ts = seite(tsGraustufen, "tsGraustufen", QStringLiteral("Graustufen"));
        auto* spalte = new QVBoxLayout(ts);
        grbGrauRGB = Gruppe(ts, QStringLiteral(" Sättigung: 100% "));
        grbGrauRGB->setObjectName(QStringLiteral("grbGrauRGB"));
        auto* gitter = new QGridLayout(grbGrauRGB);
        auto zeile = [&](int n, const QString& text, QSlider*& regler, const char* name) {
            regler = NeuerRegler(grbGrauRGB, name, 0, 100, 10);
            gitter->addWidget(new QLabel(text, grbGrauRGB), n, 0);
            gitter->addWidget(regler, n, 1);
        };
        zeile(0, QStringLiteral("Rot"), tbGrauRot, "tbGrauRot");
        zeile(1, QStringLiteral("Grün"), tbGrauGruen, "tbGrauGruen");
        zeile(2, QStringLiteral("Blau"), tbGrauBlau, "tbGrauBlau");
        spalte->addWidget(grbGrauRGB);
        auto* filter = Gruppe(ts, QStringLiteral(" Filter "));
        auto* raster = new QGridLayout(filter);
        m_grauVorgaben = new QButtonGroup(this);
        struct TVorgabe {
            QRadioButton*& knopf;
            const char* name;
            const char* text;
            int rot, gruen, blau;
        };
        const TVorgabe vorgaben[] = {
            {rbGrauIsoNeutral, "rbGrauIsoNeutral", "ISO-Neutral", 30, 59, 11},
            {rbGrauFarbNeutral, "rbGrauFarbNeutral", "Farb-Neutral", 34, 33, 33},
            {rbGrauRot, "rbGrauRot", "Rotfilter", 100, 0, 0},
            {rbGrauGruen, "rbGrauGruen", "Grünfilter", 0, 100, 0},
            {rbGrauBlau, "rbGrauBlau", "Blaufilter", 0, 0, 100},
            {rbGrauCyan, "rbGrauCyan", "Cyanfilter", 0, 50, 50},
            {rbGrauMagenta, "rbGrauMagenta", "Magentafilter", 50, 0, 50},
            {rbGrauGelb, "rbGrauGelb", "Gelbfilter", 50, 50, 0}};
        int n = 0;
        for (const TVorgabe& v : vorgaben) {
            v.knopf = new QRadioButton(QString::fromUtf8(v.text), filter);
            v.knopf->setObjectName(QLatin1String(v.name));
            m_grauVorgaben->addButton(v.knopf);
            raster->addWidget(v.knopf, n % 4, n / 4);
            ++n;
            QRadioButton* knopf = v.knopf;
            const int r = v.rot, g = v.gruen, b = v.blau;
            connect(knopf, &QRadioButton::clicked, this, [=, this] { rbGrauPresetClick(knopf, r, g, b); });
        }
        rbGrauIsoNeutral->setChecked(true);
        spalte->addWidget(filter);
        fuss(ts, spalte, btnGrauOk, "btnGrauOk", btnGrauAbbrechen, "btnGrauAbbrechen");
    }

    // ---- Schwellwert ----
    {
        QWidget* ts = seite(tsSchwellwert, "tsSchwellwert", QStringLiteral("Schwellwert"));
        auto* spalte = new QVBoxLayout(ts);
        auto* gruppe = Gruppe(ts, QStringLiteral(" Schwellwert "));
        auto* reihe = new QHBoxLayout(gruppe);
        tbSchwellwert = NeuerRegler(gruppe, "tbSchwellwert", 0, 255, 32);
        lblSchwellwert = new QLabel(QStringLiteral("128"), gruppe);
        lblSchwellwert->setObjectName(QStringLiteral("lblSchwellwert"));
        lblSchwellwert->setMinimumWidth(fontMetrics().horizontalAdvance(QStringLiteral("0000")));
        reihe->addWidget(tbSchwellwert);
        reihe->addWidget(lblSchwellwert);
        spalte->addWidget(gruppe);
        fuss(ts, spalte, btnSchOk, "btnSchOk", btnSchAbbrechen, "btnSchAbbrechen");
    }

    // The page control at its designed size, or as large as its tabs and
    // pages need in the window's font; the window keeps its margins round it.
    const QSize entwurf(DpiSkalieren(430, 96), DpiSkalieren(416, 96));
    pcFarben->resize(entwurf.expandedTo(pcFarben->sizeHint()));
    setFixedSize(pcFarben->size() + QSize(DpiSkalieren(454 - 430, 96), DpiSkalieren(441 - 416, 96)));
    pcFarben->move((width() - pcFarben->width()) / 2, (height() - pcFarben->height()) / 2);

    // Start positions before the handlers are bound: creating the window
    // previews nothing.
    tbKorGelb->setValue(KorStart);
    tbKorCyan->setValue(KorStart);
    tbKorMagenta->setValue(KorStart);
    tbKorIntensitaet->setValue(KorIntensitaetStart);
    tbTonIntensitaet->setValue(100);
    tbEinIntensitaet->setValue(128);
    tbEinWeissgrenze->setValue(255);
    tbGrauRot->setValue(30);
    tbGrauGruen->setValue(59);
    tbGrauBlau->setValue(11);
    tbSchwellwert->setValue(128);

    using F = TfrmFarben;
    const std::pair<QSlider*, void (F::*)()> reglerHandler[] = {
        {tbKorGelb, &F::tbKorGelbChange},
        {tbKorCyan, &F::tbKorCyanChange},
        {tbKorMagenta, &F::tbKorMagentaChange},
        {tbKorIntensitaet, &F::tbKorIntensitaetChange},
        {tbTonIntensitaet, &F::tbTonIntensitaetChange},
        {tbEinIntensitaet, &F::tbEinIntensitaetChange},
        {tbEinGraugrenze, &F::tbEinGraugrenzeChange},
        {tbEinWeissgrenze, &F::tbEinWeissgrenzeChange},
        {tbEinSchwarzgrenze, &F::tbEinSchwarzgrenzeChange},
        {tbKolorierenIntensitaet, &F::tbKolorierenIntensitaetChange},
        {tbGrauRot, &F::tbGrauRotChange},
        {tbGrauGruen, &F::tbGrauGruenChange},
        {tbGrauBlau, &F::tbGrauBlauChange},
        {tbSchwellwert, &F::tbSchwellwertChange}};
    for (const auto& [regler, handler] : reglerHandler) {
        connect(regler, &QSlider::valueChanged, this, handler);
        // A drag or a click in the groove reports its end once the button
        // is up: the position is acted on then.
        regler->installEventFilter(this);
        m_reglerHandler.insert(regler, handler);
    }

    connect(pcFarben, &QTabWidget::currentChanged, this, [this](int seite) { PageShow(seite + 1); });
    btnKorOk->setDefault(true);
    connect(cobEinFarbe, qOverload<int>(&QComboBox::activated), this, &TfrmFarben::cobEinFarbeChange);
    connect(cbFilter, &QCheckBox::toggled, this, &TfrmFarben::cbFilterClick);
    connect(btnKorOriginal, &QPushButton::clicked, this, &TfrmFarben::btnKorOriginalClick);
    const std::pair<QPushButton*, int> okKnoepfe[] = {{btnKorOk, 1}, {btnTonOk, 2}, {btnEinOk, 3},
                                                      {btnKolorierenOk, 4}, {btnGrauOk, 5}, {btnSchOk, 6}};
    for (const auto& [knopf, modus] : okKnoepfe) {
        knopf->setAutoDefault(false);
        connect(knopf, &QPushButton::clicked, this, [this, m = modus] { btnOkClick(m); });
    }
    for (QPushButton* k : {btnKorAbbrechen, btnTonAbbrechen, btnEinAbbrechen, btnKolorierenAbbrechen,
                           btnGrauAbbrechen, btnSchAbbrechen})
        connect(k, &QPushButton::clicked, this, &TfrmFarben::btnAbbrechenClick);
}

// ---- Showing and closing ------------------------------------------------------

void TfrmFarben::showEvent(QShowEvent* ereignis)
{
    QDialog::showEvent(ereignis);
    if (!ereignis->spontaneous())
        FormShow();
}

void TfrmFarben::FormShow()
{
    // Back where it was, but never further right or lower than 20 pixels
    // inside the screen.
    const QRect schirm = (screen() ? screen() : QGuiApplication::primaryScreen())->geometry();
    move(std::min(FarbenX, schirm.width() - 20), std::min(FarbenY, schirm.height() - 20));
    FarbBild.Clear();
    m_vorschauGueltig = false;
    SetStartwerte();
    SetFarben();
}

void TfrmFarben::done(int ergebnis)
{
    // Every way of closing passes here: Ok, Abbrechen, Esc, the title bar.
    FormCloseQuery();
    FormClose();
    QDialog::done(ergebnis);
}

void TfrmFarben::FormCloseQuery()
{
    FarbenX = x();
    FarbenY = y();
}

void TfrmFarben::FormClose()
{
    FarbBild.Clear();
    m_vorschauGueltig = false;
}

// ---- Pages ----------------------------------------------------------------------

void TfrmFarben::PageShow(int modus)
{
    FarbModus = modus;
    // A dialog has one default button: the Ok of the page in front.
    QPushButton* const ok[] = {btnKorOk, btnTonOk, btnEinOk, btnKolorierenOk, btnGrauOk, btnSchOk};
    if (modus >= 1 && modus <= 6)
        ok[modus - 1]->setDefault(true);
    // The main window picks the page while the window is hidden: nothing is
    // computed then. A switch by the user resets every page.
    if (isVisible()) {
        SetStartwerte();
        SetFarben();
    }
}

void TfrmFarben::tsKorrekturShow() { PageShow(1); }
void TfrmFarben::tsToenenShow() { PageShow(2); }
void TfrmFarben::tsEinfaerbenShow() { PageShow(3); }
void TfrmFarben::tsKolorierenShow() { PageShow(4); }
void TfrmFarben::tsGraustufenShow() { PageShow(5); }
void TfrmFarben::tsSchwellwertShow() { PageShow(6); }

void TfrmFarben::SetStartwerte()
{
    FarbenSperre = true;
    // Korrektur
    KorGelb = KorCyan = KorMagenta = KorStart;
    KorIntensitaet = KorIntensitaetStart;
    for (QSlider* r : {tbKorGelb, tbKorCyan, tbKorMagenta, tbKorIntensitaet})
        r->setEnabled(true);
    tbKorGelb->setValue(KorStart);
    tbKorCyan->setValue(KorStart);
    tbKorMagenta->setValue(KorStart);
    tbKorIntensitaet->setValue(KorIntensitaetStart);
    btnKorOriginal->setEnabled(false);
    btnKorOk->setEnabled(false);
    // Tönen
    TonFarbe = 1;
    TonIntensitaet = 100;
    tbTonIntensitaet->setValue(100);
    rbTonSepia->setChecked(true);
    // Einfärben: the box keeps its selection.
    EinIntensitaet = 128;
    EinGraugrenze = 0;
    EinWeissgrenze = 255;
    EinSchwarzgrenze = 0;
    EinFarbe = AlsFarbwert(cobEinFarbe->currentData().value<QColor>());
    tbEinIntensitaet->setValue(128);
    tbEinGraugrenze->setValue(0);
    tbEinWeissgrenze->setValue(255);
    tbEinSchwarzgrenze->setValue(0);
    // Kolorieren: the filter box keeps its state.
    KolFarbe = 0x0000FF;
    shpKolWert->SetFarben(QColor(255, 0, 0), QColor(128, 0, 0));
    tbKolorierenIntensitaet->setValue(0);
    KolIntensitaet = 0;
    // Graustufen
    btnGrauOk->setEnabled(true);
    tbGrauRot->setValue(30);
    tbGrauGruen->setValue(59);
    tbGrauBlau->setValue(11);
    rbGrauIsoNeutral->setChecked(true);
    // Schwellwert
    btnSchOk->setEnabled(true);
    tbSchwellwert->setValue(128);
    FarbenSperre = false;
}

// ---- Sliders --------------------------------------------------------------------

bool TfrmFarben::eventFilter(QObject* objekt, QEvent* ereignis)
{
    if (ereignis->type() == QEvent::MouseButtonRelease) {
        auto* regler = qobject_cast<QSlider*>(objekt);
        const auto handler = regler ? m_reglerHandler.value(regler) : nullptr;
        // After the release has been handled, with the button up.
        if (handler)
            QTimer::singleShot(0, this, handler);
    }
    return QDialog::eventFilter(objekt, ereignis);
}

void TfrmFarben::ReglerChange(QSlider* regler, int* parameter)
{
    const int position = regler->value();
    // 1. The texts follow the slider also while it is dragged.
    if (regler == tbKolorierenIntensitaet)
        grbKolorierenIntensitaet->setTitle(QStringLiteral(" Intensität ") + QString::number(position)
                                           + QStringLiteral(" "));
    const bool grau = regler == tbGrauRot || regler == tbGrauGruen || regler == tbGrauBlau;
    if (position != FarbenLetztePosition) {
        if (grau)
            grbGrauRGB->setTitle(QStringLiteral(" Sättigung: ")
                                 + QString::number(tbGrauRot->value() + tbGrauGruen->value() + tbGrauBlau->value())
                                 + QStringLiteral("% "));
        else if (regler == tbSchwellwert)
            lblSchwellwert->setText(QString::number(position));
    }
    // 2. One preview per position, none while the button is held.
    if (position == FarbenLetztePosition || (QGuiApplication::mouseButtons() & Qt::LeftButton))
        return;
    const bool korrektur = regler == tbKorGelb || regler == tbKorCyan || regler == tbKorMagenta
                           || regler == tbKorIntensitaet;
    if (korrektur && FarbenSperre)
        return;
    // 3. The slider stays off until the preview is done.
    FarbenLetztePosition = position;
    ReglerVorschau(regler, [&] {
        // 4.
        if (parameter)
            *parameter = regler->value();
        // 5.
        if (grau)
            GrauVorgabenAbwaehlen();
        // 6.
        SetFarben();
    });
}

void TfrmFarben::tbKorGelbChange() { ReglerChange(tbKorGelb, &KorGelb); }
void TfrmFarben::tbKorCyanChange() { ReglerChange(tbKorCyan, &KorCyan); }
void TfrmFarben::tbKorMagentaChange() { ReglerChange(tbKorMagenta, &KorMagenta); }
void TfrmFarben::tbKorIntensitaetChange() { ReglerChange(tbKorIntensitaet, &KorIntensitaet); }
void TfrmFarben::tbTonIntensitaetChange() { ReglerChange(tbTonIntensitaet, &TonIntensitaet); }
void TfrmFarben::tbEinIntensitaetChange() { ReglerChange(tbEinIntensitaet, &EinIntensitaet); }
void TfrmFarben::tbEinGraugrenzeChange() { ReglerChange(tbEinGraugrenze, &EinGraugrenze); }
void TfrmFarben::tbEinWeissgrenzeChange() { ReglerChange(tbEinWeissgrenze, &EinWeissgrenze); }
void TfrmFarben::tbEinSchwarzgrenzeChange() { ReglerChange(tbEinSchwarzgrenze, &EinSchwarzgrenze); }
void TfrmFarben::tbKolorierenIntensitaetChange() { ReglerChange(tbKolorierenIntensitaet, &KolIntensitaet); }
void TfrmFarben::tbGrauRotChange() { ReglerChange(tbGrauRot, nullptr); }
void TfrmFarben::tbGrauGruenChange() { ReglerChange(tbGrauGruen, nullptr); }
void TfrmFarben::tbGrauBlauChange() { ReglerChange(tbGrauBlau, nullptr); }
void TfrmFarben::tbSchwellwertChange() { ReglerChange(tbSchwellwert, nullptr); }

void TfrmFarben::GrauVorgabenAbwaehlen()
{
    // An exclusive group never lets its last checked button go.
    m_grauVorgaben->setExclusive(false);
    for (QAbstractButton* k : m_grauVorgaben->buttons())
        k->setChecked(false);
    m_grauVorgaben->setExclusive(true);
}

// ---- Other controls ---------------------------------------------------------------

void TfrmFarben::rbTonClick(int farbe)
{
    TonFarbe = farbe;
    SetFarben();
}

void TfrmFarben::cobEinFarbeChange()
{
    if (cobEinFarbe->currentIndex() == 0) {
        // The custom entry asks for its colour; cancelling keeps the colour
        // chosen before.
        const QColor neu = QColorDialog::getColor(cobEinFarbe->itemData(0).value<QColor>(), this,
                                                  QStringLiteral("Farbe"));
        if (!neu.isValid()) {
            cobEinFarbe->setCurrentIndex(m_letzteEinFarbe);
            return;
        }
        cobEinFarbe->setItemData(0, neu);
        QPixmap muster(cobEinFarbe->iconSize());
        muster.fill(neu);
        cobEinFarbe->setItemIcon(0, QIcon(muster));
    }
    EinFarbe = AlsFarbwert(cobEinFarbe->currentData().value<QColor>());
    SetFarben();
}

void TfrmFarben::shpKolMouseDown(TFarbFlaeche* feld, TFarbwert farbe)
{
    shpKolWert->SetFarben(feld->Fuellung(), feld->Rand());
    QCoreApplication::processEvents();
    KolFarbe = farbe;
    SetFarben();
}

void TfrmFarben::cbFilterClick()
{
    SetFarben();
}

void TfrmFarben::rbGrauPresetClick(QRadioButton* knopf, int rot, int gruen, int blau)
{
    FarbenSperre = true;
    tbGrauRot->setValue(rot);
    tbGrauGruen->setValue(gruen);
    tbGrauBlau->setValue(blau);
    FarbenSperre = false;
    SetFarben();
    // The sliders' handlers unchecked it.
    knopf->setChecked(true);
}

void TfrmFarben::btnKorOriginalClick()
{
    if (!isVisible())
        return;
    KorGelb = KorCyan = KorMagenta = KorStart;
    KorIntensitaet = KorIntensitaetStart;
    FarbenSperre = true;
    tbKorGelb->setValue(KorStart);
    tbKorCyan->setValue(KorStart);
    tbKorMagenta->setValue(KorStart);
    tbKorIntensitaet->setValue(KorIntensitaetStart);
    FarbenSperre = false;
    SetFarben();
}

// ---- Preview --------------------------------------------------------------------

void TfrmFarben::SetFarben()
{
    if (FarbenSperre)
        return;
    FarbenSperre = true;
    TSanduhr sanduhr;
    TfrmZelvanoMain* haupt = frmZelvanoMain;
    m_vorschauGueltig = false;
    try {
        if (!haupt || haupt->OriginalBild.IsEmpty())
            throw std::runtime_error("kein Bild");
        // Every preview starts from the unchanged working bitmap.
        if (!BitmapKopieren(haupt->OriginalBild, FarbBild))
            throw std::bad_alloc();
        switch (FarbModus) {
        case 1:
            KorFarbe = TFarbwert(std::abs(KorCyan)) | (TFarbwert(std::abs(KorMagenta)) << 8)
                       | (TFarbwert(std::abs(KorGelb)) << 16);
            BitmapFarbkorrektur(FarbBild, KorFarbe, uint8_t(KorIntensitaet));
            break;
        case 2: BitmapToenen(FarbBild, TonIntensitaet, TonFarbe); break;
        case 3:
            BitmapEinfaerben(FarbBild, EinFarbe, EinGraugrenze, uint8_t(EinIntensitaet), EinSchwarzgrenze,
                             EinWeissgrenze);
            break;
        case 4:
            if (KolIntensitaet > 0)
                BitmapKolorieren(FarbBild, KolFarbe, uint8_t(KolIntensitaet), cbFilter->isChecked());
            else
                BitmapKolorieren(FarbBild, KolFarbe ^ 0xFFFFFF, uint8_t(-KolIntensitaet), cbFilter->isChecked());
            break;
        case 5:
            BitmapGraustufen(FarbBild, float(tbGrauRot->value() / 100.0L), float(tbGrauGruen->value() / 100.0L),
                             float(tbGrauBlau->value() / 100.0L));
            break;
        case 6: BitmapEinfaerben(FarbBild, 0xFFFFFF, 0, 255, 255, tbSchwellwert->value()); break;
        default: break;
        }
        if (FarbModus == 1) {
            btnKorOk->setEnabled(KorGelb != KorStart || KorCyan != KorStart || KorMagenta != KorStart
                                 || KorIntensitaet != KorIntensitaetStart);
            btnKorOriginal->setEnabled(btnKorOk->isEnabled());
        }
        m_vorschauGueltig = true;
        // The display: laid out by the main window, then the preview reduced
        // into it (a plain copy at equal size), without the display gamma.
        haupt->AnzeigeBild->SetBild(FarbBild.Bild());
        haupt->SetAnzeigeBild();
        haupt->AnzeigeTimer->stop();
        const int breite = haupt->AnzeigeBild->width(), hoehe = haupt->AnzeigeBild->height();
        if (FarbBild.Width() >= breite && breite > 0 && hoehe > 0) {
            TBitmap klein;
            BitmapVerkleinern(FarbBild, klein, breite, hoehe);
            haupt->AnzeigeBild->SetBild(klein.Bild());
        }
    } catch (...) {
        Meldung(QStringLiteral("Fehler bei der Farbbearbeitung."), TMeldungArt::Warnung);
    }
    for (QSlider* r : Regler())
        r->setEnabled(true);
    FarbenSperre = false;
}

// ---- Ok and Abbrechen -------------------------------------------------------------

void TfrmFarben::btnOkClick(int modus)
{
    TfrmZelvanoMain* haupt = frmZelvanoMain;
    // A preview that failed or never ran is not a result: it is computed
    // now, and when that fails too nothing changes.
    if (!m_vorschauGueltig || FarbModus != modus)
        SetFarben();
    if (!m_vorschauGueltig || !haupt || FarbBild.IsEmpty()) {
        done(QDialog::Rejected);
        return;
    }
    hide();
    QCoreApplication::processEvents();
    {
        TSanduhr sanduhr;
        if (modus == 1)
            btnKorOk->setEnabled(false);
        else if (modus == 5)
            btnGrauOk->setEnabled(false);
        else if (modus == 6)
            btnSchOk->setEnabled(false);
        RueckgaengigSpeichern(*haupt->Gear1, haupt->OriginalBild, BildFarbtiefe);
        haupt->OriginalBild = FarbBild;
        if (modus == 6)
            BildFarbtiefe = 1;
        else if (modus != 5)
            BildFarbtiefe = 24;
        QCoreApplication::processEvents();
        if (modus == 5 && haupt->Gear1) {
            // The control's own image turns grey too; nothing reads it back.
            try {
                haupt->Gear1->Gray();
            } catch (...) {
            }
        }
        BildBearbeitet = true;
    }
    done(QDialog::Accepted);
}

void TfrmFarben::btnAbbrechenClick()
{
    done(QDialog::Rejected);
}
