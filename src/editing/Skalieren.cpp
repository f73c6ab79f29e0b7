// The resize window: new size in pixels or per cent, smoothing method and
// sharpening afterwards.
#include "Skalieren.h"
#include <QApplication>
#include <QButtonGroup>
#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QShowEvent>
#include <QSlider>
#include <QVBoxLayout>
#include <exception>
#include "Global.h"
#include "Meldung.h"
#include "ZelvanoMain.h"
#include "pixelops/Bitmap_QuickSkalieren.h"
#include "pixelops/Bitmap_Schaerfen.h"
#include "pixelops/Bitmap_Skalieren.h"
#include "pixelops/Runden.h"
#include "widgets/Numedit.h"
#include "widgets/Sanduhr.h"

TfrmSkalieren* frmSkalieren = nullptr;
int SkalierenBreite = 0;
int SkalierenHoehe = 0;
float SkalierenVerhaeltnis = 1.0f;

namespace {
constexpr long double GroesstePixel = 99999;
constexpr long double GroessteProzent = 5000;
constexpr long long GroessteBytes = 363000000;

// The fields refuse what their mask does not admit, so computed values are
// brought into range before they are written.
long double PixelBegrenzen(long double v)
{
    return std::clamp(v, 0.0L, GroesstePixel);
}
long double ProzentBegrenzen(long double v)
{
    return std::clamp(v, 0.0L, GroessteProzent);
}
int Trunc(long double v)
{
    return int(v);
}
} // namespace

bool SkalierenGroesseErlaubt(int w, int h)
{
    return (long long)w * h * 3 <= GroessteBytes;
}

TfrmSkalieren::TfrmSkalieren(QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("frmSkalieren"));
    if (!frmSkalieren)
        frmSkalieren = this;
    FormCreate();
}

TfrmSkalieren::~TfrmSkalieren()
{
    if (frmSkalieren == this)
        frmSkalieren = nullptr;
}

void TfrmSkalieren::FormCreate()
{
    setWindowTitle(QStringLiteral("Skalieren"));
    setProperty("HilfeKontext", 16);
    setWindowFlags(Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint);
    setFont(QApplication::font("QMenu"));
    QPalette weiss = palette();
    weiss.setColor(QPalette::Window, Qt::white);
    setPalette(weiss);
    setAutoFillBackground(true);

    auto etikett = [](QWidget* eltern, const char* name, const QString& text) {
        auto* l = new QLabel(text, eltern);
        l->setObjectName(QLatin1String(name));
        return l;
    };
    auto feld = [](QWidget* eltern, const char* name, const QString& maske) {
        auto* n = new TNumedit(eltern);
        n->setObjectName(QLatin1String(name));
        n->SetMatrix(maske);
        return n;
    };
    auto regler = [](QWidget* eltern, const char* name) {
        auto* r = new QSlider(Qt::Horizontal, eltern);
        r->setObjectName(QLatin1String(name));
        r->setTickPosition(QSlider::NoTicks);
        r->setPageStep(1);
        r->setSingleStep(1);
        r->setMinimumHeight(DpiSkalieren(25, 96));
        return r;
    };
    auto radio = [](QWidget* eltern, const char* name, const QString& text) {
        auto* r = new QRadioButton(text, eltern);
        r->setObjectName(QLatin1String(name));
        return r;
    };

    grbSkalBildgroesse = new QGroupBox(QStringLiteral(" Bildgröße  "), this);
    grbSkalBildgroesse->setObjectName(QStringLiteral("grbSkalBildgroesse"));
    lblBreite = etikett(grbSkalBildgroesse, "lblBreite", QStringLiteral("Breite"));
    lblHoehe = etikett(grbSkalBildgroesse, "lblHoehe", QStringLiteral("Höhe"));
    QFont fett = lblBreite->font();
    fett.setBold(true);
    lblBreite->setFont(fett);
    lblHoehe->setFont(fett);
    nedBreitePixel = feld(grbSkalBildgroesse, "nedBreitePixel", QStringLiteral("99999"));
    nedHoehePixel = feld(grbSkalBildgroesse, "nedHoehePixel", QStringLiteral("99999"));
    nedBreiteProzent = feld(grbSkalBildgroesse, "nedBreiteProzent", QStringLiteral("5000,0"));
    nedHoeheProzent = feld(grbSkalBildgroesse, "nedHoeheProzent", QStringLiteral("5000,0"));
    lblProzentB = etikett(grbSkalBildgroesse, "lblProzentB", QStringLiteral("%"));
    lblProzentH = etikett(grbSkalBildgroesse, "lblProzentH", QStringLiteral("%"));
    trbBreite = regler(grbSkalBildgroesse, "trbBreite");
    trbHoehe = regler(grbSkalBildgroesse, "trbHoehe");
    cbSVBeibehalten = new QCheckBox(QStringLiteral("Seitenverhältnis beibehalten"), grbSkalBildgroesse);
    cbSVBeibehalten->setObjectName(QStringLiteral("cbSVBeibehalten"));
    cbSVBeibehalten->setChecked(true);
    {
        auto* g = new QGridLayout(grbSkalBildgroesse);
        g->addWidget(lblBreite, 0, 0);
        g->addWidget(nedBreitePixel, 0, 1);
        g->addWidget(new QLabel(QStringLiteral("Pixel"), grbSkalBildgroesse), 0, 2);
        g->addWidget(nedBreiteProzent, 0, 3);
        g->addWidget(lblProzentB, 0, 4);
        g->addWidget(trbBreite, 1, 0, 1, 5);
        g->addWidget(lblHoehe, 2, 0);
        g->addWidget(nedHoehePixel, 2, 1);
        g->addWidget(new QLabel(QStringLiteral("Pixel"), grbSkalBildgroesse), 2, 2);
        g->addWidget(nedHoeheProzent, 2, 3);
        g->addWidget(lblProzentH, 2, 4);
        g->addWidget(trbHoehe, 3, 0, 1, 5);
        g->addWidget(cbSVBeibehalten, 4, 0, 1, 5);
    }

    grbSkalGlaettungsmethode = new QGroupBox(QStringLiteral(" Glättungsmethode "), this);
    grbSkalGlaettungsmethode->setObjectName(QStringLiteral("grbSkalGlaettungsmethode"));
    GlaettungAnlegen(grbSkalGlaettungsmethode);
    {
        auto* g = new QGridLayout(grbSkalGlaettungsmethode);
        for (int i = 0; i < 8; ++i)
            g->addWidget(GlaettungsKnopf(i), i % 4, i / 4);
    }

    grbSkalNachschaerfen = new QGroupBox(QStringLiteral(" Nachschärfen "), this);
    grbSkalNachschaerfen->setObjectName(QStringLiteral("grbSkalNachschaerfen"));
    rbSkalNachschaerfenOhne = radio(grbSkalNachschaerfen, "rbSkalNachschaerfenOhne", QStringLiteral("Ohne"));
    rbSkalNachschaerfenLeicht = radio(grbSkalNachschaerfen, "rbSkalNachschaerfenLeicht", QStringLiteral("Leicht"));
    rbSkalNachschaerfenMittel = radio(grbSkalNachschaerfen, "rbSkalNachschaerfenMittel", QStringLiteral("Mittel"));
    rbSkalNachschaerfenStark = radio(grbSkalNachschaerfen, "rbSkalNachschaerfenStark", QStringLiteral("Stark"));
    rbSkalNachschaerfenOhne->setChecked(true);
    {
        auto* g = new QVBoxLayout(grbSkalNachschaerfen);
        for (QRadioButton* r : {rbSkalNachschaerfenOhne, rbSkalNachschaerfenLeicht, rbSkalNachschaerfenMittel,
                                rbSkalNachschaerfenStark})
            g->addWidget(r);
    }

    btnOk = new QPushButton(QStringLiteral("&Ok"), this);
    btnOk->setObjectName(QStringLiteral("btnOk"));
    btnOk->setDefault(true);
    btnAbbrechen = new QPushButton(QStringLiteral("Abbrechen"), this);
    btnAbbrechen->setObjectName(QStringLiteral("btnAbbrechen"));

    auto* haupt = new QVBoxLayout(this);
    haupt->addWidget(grbSkalBildgroesse);
    auto* unten = new QHBoxLayout;
    unten->addWidget(grbSkalGlaettungsmethode, 2);
    unten->addWidget(grbSkalNachschaerfen, 1);
    haupt->addLayout(unten);
    auto* knoepfe = new QHBoxLayout;
    knoepfe->addStretch(1);
    knoepfe->addWidget(btnOk);
    knoepfe->addWidget(btnAbbrechen);
    haupt->addLayout(knoepfe);
    const QSize noetig = sizeHint();
    setFixedSize(std::max(noetig.width(), DpiSkalieren(519, 96)), std::max(noetig.height(), DpiSkalieren(451, 96)));

    // Tab walks each side's fields and track bar before the other side's.
    const QList<QWidget*> reihenfolge = {nedBreitePixel, nedBreiteProzent, trbBreite, nedHoehePixel,
                                         nedHoeheProzent, trbHoehe, cbSVBeibehalten};
    for (qsizetype i = 1; i < reihenfolge.size(); ++i)
        QWidget::setTabOrder(reihenfolge[i - 1], reihenfolge[i]);

    connect(trbBreite, &QSlider::valueChanged, this, &TfrmSkalieren::trbBreiteChange);
    connect(trbHoehe, &QSlider::valueChanged, this, &TfrmSkalieren::trbHoeheChange);
    connect(nedBreitePixel, &TNumedit::Change, this, &TfrmSkalieren::nedBreitePixelChange);
    connect(nedHoehePixel, &TNumedit::Change, this, &TfrmSkalieren::nedHoehePixelChange);
    connect(nedBreiteProzent, &TNumedit::Change, this, &TfrmSkalieren::nedBreiteProzentChange);
    connect(nedHoeheProzent, &TNumedit::Change, this, &TfrmSkalieren::nedHoeheProzentChange);
    connect(btnOk, &QPushButton::clicked, this, [this] {
        btnOkClick();
        done(1);
    });
    connect(btnAbbrechen, &QPushButton::clicked, this, [this] { done(2); });
}

void TfrmSkalieren::showEvent(QShowEvent* ereignis)
{
    if (!ereignis->spontaneous())
        FormShow();
    QDialog::showEvent(ereignis);
}

void TfrmSkalieren::FormShow()
{
    if (!frmZelvanoMain)
        return;
    const TBitmap& bild = frmZelvanoMain->OriginalBild;
    SkalierenBreite = std::max(1, bild.Width());
    SkalierenHoehe = std::max(1, bild.Height());
    SkalierenVerhaeltnis = float((long double)SkalierenBreite / SkalierenHoehe);
    nedBreitePixel->SetWert(SkalierenBreite);
    nedHoehePixel->SetWert(SkalierenHoehe);
    nedBreiteProzent->SetWert(100);
    nedHoeheProzent->SetWert(100);
    // Range before position, so the position is not cut by the old range.
    trbBreite->setRange(SkalierenBreite / 20, SkalierenBreite * 2);
    trbBreite->setValue(SkalierenBreite);
    trbHoehe->setRange(SkalierenHoehe / 20, SkalierenHoehe * 2);
    trbHoehe->setValue(SkalierenHoehe);
    nedBreitePixel->setFocus();
}

// ---- Keeping the controls in step ---------------------------------------------
// Each handler acts only while its own control has the focus, so what it
// writes into the other controls does not set off their handlers.

void TfrmSkalieren::NachBreite(long double pixel)
{
    // The height follows the width in proportion.
    if (!cbSVBeibehalten->isChecked())
        return;
    const long double hoehe = PixelBegrenzen(Gerundet(pixel / SkalierenVerhaeltnis));
    nedHoehePixel->SetWert(hoehe);
    nedHoeheProzent->SetWert(ProzentBegrenzen(hoehe / ((long double)SkalierenHoehe / 100)));
    trbHoehe->setValue(Trunc(hoehe));
}

void TfrmSkalieren::NachHoehe(long double pixel)
{
    if (!cbSVBeibehalten->isChecked())
        return;
    const long double breite = PixelBegrenzen(Gerundet(pixel * SkalierenVerhaeltnis));
    nedBreitePixel->SetWert(breite);
    nedBreiteProzent->SetWert(ProzentBegrenzen(breite / ((long double)SkalierenBreite / 100)));
    trbBreite->setValue(Trunc(breite));
}

void TfrmSkalieren::trbBreiteChange()
{
    if (!trbBreite->hasFocus())
        return;
    const long double pixel = PixelBegrenzen(trbBreite->value());
    nedBreitePixel->SetWert(pixel);
    nedBreiteProzent->SetWert(ProzentBegrenzen(pixel / ((long double)SkalierenBreite / 100)));
    NachBreite(pixel);
}

void TfrmSkalieren::trbHoeheChange()
{
    if (!trbHoehe->hasFocus())
        return;
    const long double pixel = PixelBegrenzen(trbHoehe->value());
    nedHoehePixel->SetWert(pixel);
    nedHoeheProzent->SetWert(ProzentBegrenzen(pixel / ((long double)SkalierenHoehe / 100)));
    NachHoehe(pixel);
}

void TfrmSkalieren::nedBreitePixelChange()
{
    if (!nedBreitePixel->hasFocus())
        return;
    const long double pixel = nedBreitePixel->Wert();
    nedBreiteProzent->SetWert(ProzentBegrenzen(pixel / ((long double)SkalierenBreite / 100)));
    trbBreite->setValue(Trunc(pixel));
    NachBreite(pixel);
}

void TfrmSkalieren::nedHoehePixelChange()
{
    if (!nedHoehePixel->hasFocus())
        return;
    const long double pixel = nedHoehePixel->Wert();
    nedHoeheProzent->SetWert(ProzentBegrenzen(pixel / ((long double)SkalierenHoehe / 100)));
    trbHoehe->setValue(Trunc(pixel));
    NachHoehe(pixel);
}

void TfrmSkalieren::nedBreiteProzentChange()
{
    if (!nedBreiteProzent->hasFocus())
        return;
    const long double pixel =
        PixelBegrenzen(Gerundet((long double)SkalierenBreite / 100 * nedBreiteProzent->Wert()));
    nedBreitePixel->SetWert(pixel);
    trbBreite->setValue(Trunc(pixel));
    NachBreite(pixel);
}

void TfrmSkalieren::nedHoeheProzentChange()
{
    if (!nedHoeheProzent->hasFocus())
        return;
    const long double pixel =
        PixelBegrenzen(Gerundet((long double)SkalierenHoehe / 100 * nedHoeheProzent->Wert()));
    nedHoehePixel->SetWert(pixel);
    trbHoehe->setValue(Trunc(pixel));
    NachHoehe(pixel);
}

// ---- Resizing -------------------------------------------------------------------

int TfrmSkalieren::FilterNummer() const
{
    return rbQuick->isChecked() ? -1 : GlaettungsFilter();
}

int TfrmSkalieren::Nachschaerfung() const
{
    return NachschaerfMenge(rbSkalNachschaerfenLeicht, rbSkalNachschaerfenMittel, rbSkalNachschaerfenStark);
}

void TfrmSkalieren::btnOkClick()
{
    if (!frmZelvanoMain || frmZelvanoMain->OriginalBild.IsEmpty())
        return;
    TSanduhr sanduhr;
    const int w = std::clamp(Trunc(nedBreitePixel->Wert()), 2, 99999);
    const int h = std::clamp(Trunc(nedHoehePixel->Wert()), 2, 99999);
    if (!SkalierenGroesseErlaubt(w, h)) {
        Meldung(QStringLiteral("Bilder die eine Größe von 340 MB überschreiten, können nicht erzeugt werden."),
                TMeldungArt::Warnung, mbOk);
        return;
    }
    TBitmap& bild = frmZelvanoMain->OriginalBild;
    const bool warBearbeitet = BildBearbeitet;
    const bool schrittGespeichert = RueckgaengigSpeichern(*frmZelvanoMain->Gear1, bild, BildFarbtiefe);
    BildBearbeitet = true;
    // A failed resize leaves the image as it was: its undo step and the
    // edited mark go again, and there is nothing to sharpen.
    auto zuruecknehmen = [&] {
        BildBearbeitet = warBearbeitet;
        RueckgaengigSchrittVerwerfen(schrittGespeichert);
    };
    const int filter = FilterNummer();
    try {
        if (filter < 0) {
            BitmapQuickSkalieren(bild, w, h);
        } else if (!BitmapSkalieren(bild, w, h, 0, uint8_t(filter))) {
            zuruecknehmen();   // BitmapSkalieren has warned already
            return;
        }
    } catch (const std::exception&) {
        zuruecknehmen();
        Meldung(QStringLiteral("Fehler beim Skalieren. Das erzeugte Bild ist zu groß."), TMeldungArt::Warnung, mbOk);
        return;
    }
    if (const int staerke = Nachschaerfung(); staerke > 0) {
        try {
            BitmapSchaerfen(bild, float(staerke));
        } catch (const std::exception&) {
            // The resized image stays; only the sharpening is missing.
            Meldung(QStringLiteral("Fehler beim Nachschärfen: Der Arbeitsspeicher reicht nicht. "
                                   "Das Bild wurde skaliert, aber nicht nachgeschärft."),
                    TMeldungArt::Warnung, mbOk);
        }
    }
}
