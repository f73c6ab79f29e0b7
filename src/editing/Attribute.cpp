// The attributes window: sharpness, brightness, contrast and density with a
// live preview on the main window's display.
#include "Attribute.h"
#include <QApplication>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QShowEvent>
#include <QSlider>
#include <QTabBar>
#include <QTabWidget>
#include <QTimer>
#include <QVBoxLayout>
#include <exception>
#include "AnzeigeBild.h"
#include "Einstellungen.h"
#include "Global.h"
#include "Meldung.h"
#include "ReglerVorschau.h"
#include "ZelvanoMain.h"
#include "pixelops/Bitmap_Dichte.h"
#include "pixelops/Bitmap_Helligkeit.h"
#include "pixelops/Bitmap_Kontrast.h"
#include "pixelops/Bitmap_Schaerfen.h"
#include "pixelops/Bitmap_Verkleinern.h"
#include "pixelops/Bitmap_Weichzeichnen.h"
#include "widgets/Sanduhr.h"

TfrmAttribute* frmAttribute = nullptr;
TBitmap AttributVorschau;
bool AttributSperre = false;
int AttributLetztePosition = 0;

namespace {
enum { Schaerfe, Helligkeit, Kontrast, Dichte };
} // namespace

TfrmAttribute::TfrmAttribute(QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("frmAttribute"));
    if (!frmAttribute)
        frmAttribute = this;
    FormCreate();
}

TfrmAttribute::~TfrmAttribute()
{
    if (frmAttribute == this)
        frmAttribute = nullptr;
}

void TfrmAttribute::FormCreate()
{
    setWindowTitle(QStringLiteral("Bildattribute"));
    setWindowFlags(Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint);
    setFont(QApplication::font("QMenu"));
    QPalette weiss = palette();
    weiss.setColor(QPalette::Window, Qt::white);
    setPalette(weiss);
    setAutoFillBackground(true);

    pcAttribute = new QTabWidget(this);
    pcAttribute->setObjectName(QStringLiteral("pcAttribute"));
    auto regler = [](QWidget* eltern, const char* name, int von, int bis, int seite, int takt) {
        auto* r = new QSlider(Qt::Horizontal, eltern);
        r->setObjectName(QLatin1String(name));
        r->setRange(von, bis);
        r->setPageStep(seite);
        r->setSingleStep(1);
        r->setTickPosition(QSlider::TicksBelow);
        r->setTickInterval(takt);
        r->setMinimumHeight(DpiSkalieren(25, 96));
        return r;
    };
    auto etikett = [](QWidget* eltern, const char* name, const QString& text) {
        auto* l = new QLabel(text, eltern);
        l->setObjectName(QLatin1String(name));
        return l;
    };
    auto knopf = [](QWidget* eltern, const char* name, const QString& text) {
        auto* k = new QPushButton(text, eltern);
        k->setObjectName(QLatin1String(name));
        return k;
    };

    // Page "Schärfe"
    tsSchaerfe = new QWidget(pcAttribute);
    tsSchaerfe->setObjectName(QStringLiteral("tsSchaerfe"));
    rbtSchaerfen = new QRadioButton(QStringLiteral("Schärfen"), tsSchaerfe);
    rbtSchaerfen->setObjectName(QStringLiteral("rbtSchaerfen"));
    rbtSchaerfen->setChecked(true);
    rbtWeichzeichnen = new QRadioButton(QStringLiteral("Weichzeichnen"), tsSchaerfe);
    rbtWeichzeichnen->setObjectName(QStringLiteral("rbtWeichzeichnen"));
    trbScharfRegler = regler(tsSchaerfe, "trbScharfRegler", 0, 100, 5, 5);
    lblScharfWert = etikett(tsSchaerfe, "lblScharfWert", QStringLiteral("0"));
    lblScharfWert->setAlignment(Qt::AlignCenter);
    btnSharfOk = knopf(tsSchaerfe, "btnSharfOk", QStringLiteral("Ok"));
    btnSharfAbbrechen = knopf(tsSchaerfe, "btnSharfAbbrechen", QStringLiteral("Abbrechen"));
    {
        auto* l = new QVBoxLayout(tsSchaerfe);
        l->addWidget(rbtSchaerfen);
        l->addWidget(rbtWeichzeichnen);
        l->addSpacing(12);
        l->addWidget(trbScharfRegler);
        l->addWidget(lblScharfWert);
        l->addStretch(1);
        auto* k = new QHBoxLayout;
        k->addWidget(btnSharfOk);
        k->addWidget(btnSharfAbbrechen);
        l->addLayout(k);
    }
    pcAttribute->addTab(tsSchaerfe, QStringLiteral("Schärfe"));

    // Page "Helligkeit / Kontrast / Dichte"
    tsHellKon = new QWidget(pcAttribute);
    tsHellKon->setObjectName(QStringLiteral("tsHellKon"));
    auto gruppe = [&](const char* name, const QString& titel, QSlider*& r, const char* reglerName, QLabel*& wert,
                      const char* wertName, QLabel*& minus, const char* minusName, QLabel*& plus,
                      const char* plusName) {
        auto* g = new QGroupBox(titel, tsHellKon);
        g->setObjectName(QLatin1String(name));
        r = regler(g, reglerName, -100, 100, 1, 10);
        wert = etikett(g, wertName, QStringLiteral("0"));
        wert->setAlignment(Qt::AlignCenter);
        minus = etikett(g, minusName, QStringLiteral("-"));
        plus = etikett(g, plusName, QStringLiteral("+"));
        auto* l = new QGridLayout(g);
        l->addWidget(minus, 0, 0);
        l->addWidget(r, 0, 1);
        l->addWidget(plus, 0, 2);
        l->addWidget(wert, 1, 1);
        return g;
    };
    grbHelligkeit = gruppe("grbHelligkeit", QStringLiteral(" Helligkeit "), trbHelligkeit, "trbHelligkeit",
                           lblHelligkeit, "lblHelligkeit", lblHelligkeitMinus, "lblHelligkeitMinus",
                           lblHelligkeitPlus, "lblHelligkeitPlus");
    grbKontrast = gruppe("grbKontrast", QStringLiteral(" Kontrast "), trbKontrast, "trbKontrast", lblKontrast,
                         "lblKontrast", lblKontrastMinus, "lblKontrastMinus", lblKontrastPlus, "lblKontrastPlus");
    grbDichte = gruppe("grbDichte", QStringLiteral(" Dichte "), trbDichte, "trbDichte", lblDichte, "lblDichte",
                       lblDichteMinus, "lblDichteMinus", lblDichtePlus, "lblDichtePlus");
    btnHellKonOk = knopf(tsHellKon, "btnHellKonOk", QStringLiteral("Ok"));
    btnHellKonAbbrechen = knopf(tsHellKon, "btnHellKonAbbrechen", QStringLiteral("Abbrechen"));
    {
        auto* l = new QVBoxLayout(tsHellKon);
        l->addWidget(grbHelligkeit);
        l->addWidget(grbKontrast);
        l->addWidget(grbDichte);
        l->addStretch(1);
        auto* k = new QHBoxLayout;
        k->addWidget(btnHellKonOk);
        k->addWidget(btnHellKonAbbrechen);
        l->addLayout(k);
    }
    pcAttribute->addTab(tsHellKon, QStringLiteral("Helligkeit / Kontrast / Dichte"));

    auto* haupt = new QVBoxLayout(this);
    haupt->addWidget(pcAttribute);
    // Both page titles stay visible, without scroll buttons.
    pcAttribute->setUsesScrollButtons(false);
    const QSize noetig = sizeHint();
    const int reiter = pcAttribute->tabBar()->sizeHint().width() + 2 * haupt->contentsMargins().left() + 8;
    setFixedSize(std::max({noetig.width(), reiter, DpiSkalieren(280, 96)}),
                 std::max(noetig.height(), DpiSkalieren(436, 96)));

    // Each page has its own default button: Enter means that page's "Ok".
    btnSharfOk->setAutoDefault(false);
    btnHellKonOk->setAutoDefault(false);
    btnSharfAbbrechen->setAutoDefault(false);
    btnHellKonAbbrechen->setAutoDefault(false);

    connect(pcAttribute, &QTabWidget::currentChanged, this, [this](int seite) {
        btnSharfOk->setDefault(seite == 0);
        btnHellKonOk->setDefault(seite == 1);
        if (seite == 0)
            tsSchaerfeShow();
        else
            tsHellKonShow();
    });
    connect(rbtSchaerfen, &QRadioButton::clicked, this, &TfrmAttribute::rbtSchaerfenClick);
    connect(rbtWeichzeichnen, &QRadioButton::clicked, this, &TfrmAttribute::rbtWeichzeichnenClick);
    const std::pair<QSlider*, void (TfrmAttribute::*)()> handler[] = {
        {trbScharfRegler, &TfrmAttribute::trbScharfReglerChange},
        {trbHelligkeit, &TfrmAttribute::trbHelligkeitChange},
        {trbKontrast, &TfrmAttribute::trbKontrastChange},
        {trbDichte, &TfrmAttribute::trbDichteChange},
    };
    for (const auto& [r, h] : handler) {
        connect(r, &QSlider::valueChanged, this, h);
        // A drag that ends where it started sends no change of value; the
        // release still has to act once with the button up.
        connect(r, &QSlider::sliderReleased, this, h);
    }
    connect(btnSharfOk, &QPushButton::clicked, this, &TfrmAttribute::btnSharfOkClick);
    connect(btnHellKonOk, &QPushButton::clicked, this, &TfrmAttribute::btnHellKonOkClick);
    connect(btnSharfAbbrechen, &QPushButton::clicked, this, &TfrmAttribute::btnSharfAbbrechenClick);
    connect(btnHellKonAbbrechen, &QPushButton::clicked, this, &TfrmAttribute::btnHellKonAbbrechenClick);
    btnSharfOk->setDefault(true);
}

void TfrmAttribute::showEvent(QShowEvent* ereignis)
{
    if (!ereignis->spontaneous())
        FormShow();
    QDialog::showEvent(ereignis);
}

void TfrmAttribute::FormShow()
{
    const QRect schirm = QGuiApplication::primaryScreen()->geometry();
    move(std::min(AttributeX, schirm.width() - 20), std::min(AttributeY, schirm.height() - 20));
    AttributSperre = true;
    for (QSlider* r : {trbScharfRegler, trbHelligkeit, trbKontrast, trbDichte})
        r->setValue(0);
    AttributSperre = false;
    for (QLabel* l : {lblScharfWert, lblHelligkeit, lblKontrast, lblDichte})
        l->setText(QStringLiteral("0"));
    std::fill(std::begin(m_wert), std::end(m_wert), 0);
    btnSharfOk->setEnabled(false);
    btnHellKonOk->setEnabled(false);
    AttributVorschau = TBitmap();
    m_vorschauGueltig = false;
}

void TfrmAttribute::done(int ergebnis)
{
    FormCloseQuery();
    FormClose();
    QDialog::done(ergebnis);
}

void TfrmAttribute::FormCloseQuery()
{
    AttributeX = x();
    AttributeY = y();
}

void TfrmAttribute::FormClose()
{
    AttributVorschau = TBitmap();
    m_vorschauGueltig = false;
}

// ---- Pages and radio buttons ------------------------------------------------

void TfrmAttribute::tsSchaerfeShow()
{
    if (!isVisible())
        return;
    trbScharfRegler->setEnabled(true);
    trbScharfRegler->setValue(0);
    if (frmZelvanoMain) {
        frmZelvanoMain->AnzeigeBild->SetBild(frmZelvanoMain->OriginalBild.Bild());
        frmZelvanoMain->SetAnzeigeBild();
    }
}

void TfrmAttribute::tsHellKonShow()
{
    if (!isVisible())
        return;
    for (QSlider* r : {trbHelligkeit, trbKontrast, trbDichte}) {
        r->setEnabled(true);
        r->setValue(0);
    }
    if (frmZelvanoMain) {
        frmZelvanoMain->AnzeigeBild->SetBild(frmZelvanoMain->OriginalBild.Bild());
        frmZelvanoMain->SetAnzeigeBild();
    }
}

void TfrmAttribute::rbtSchaerfenClick() { trbScharfRegler->setValue(0); }
void TfrmAttribute::rbtWeichzeichnenClick() { trbScharfRegler->setValue(0); }

// ---- Sliders ------------------------------------------------------------------

void TfrmAttribute::trbScharfReglerChange() { ReglerAenderung(trbScharfRegler, Schaerfe); }
void TfrmAttribute::trbHelligkeitChange() { ReglerAenderung(trbHelligkeit, Helligkeit); }
void TfrmAttribute::trbKontrastChange() { ReglerAenderung(trbKontrast, Kontrast); }
void TfrmAttribute::trbDichteChange() { ReglerAenderung(trbDichte, Dichte); }

void TfrmAttribute::ReglerAenderung(QSlider* regler, int index)
{
    const int position = regler->value();
    if (AttributSperre || position == AttributLetztePosition)
        return;
    if (index == Schaerfe)
        btnSharfOk->setEnabled(trbScharfRegler->value() > 0);
    else
        btnHellKonOk->setEnabled(trbHelligkeit->value() != 0 || trbKontrast->value() != 0 ||
                                 trbDichte->value() != 0);
    QLabel* etikett[] = {lblScharfWert, lblHelligkeit, lblKontrast, lblDichte};
    etikett[index]->setText(QString::number(position));
    m_wert[index] = position;
    // While the thumb is dragged only the label follows.
    if (regler->isSliderDown() || (QGuiApplication::mouseButtons() & Qt::LeftButton))
        return;
    AttributLetztePosition = position;
    ReglerVorschau(regler, [this] { SetVorschau(); });
}

TfrmAttribute::TEinstellung TfrmAttribute::Aktuell() const
{
    TEinstellung e;
    e.schaerfeSeite = pcAttribute->currentWidget() == tsSchaerfe;
    e.schaerfen = rbtSchaerfen->isChecked();
    std::copy(std::begin(m_wert), std::end(m_wert), e.wert);
    // The other page's sliders do not take part.
    if (e.schaerfeSeite)
        e.wert[Helligkeit] = e.wert[Kontrast] = e.wert[Dichte] = 0;
    else
        e.wert[Schaerfe] = 0;
    return e;
}

TBitmap TfrmAttribute::Berechnen(const TEinstellung& e) const
{
    TBitmap b(frmZelvanoMain->OriginalBild.Bild().copy());
    if (b.IsEmpty() && !frmZelvanoMain->OriginalBild.IsEmpty())
        throw std::bad_alloc();
    if (e.schaerfeSeite) {
        if (e.schaerfen)
            BitmapSchaerfen(b, float(e.wert[Schaerfe]));
        else
            BitmapWeichzeichnen(b, float(e.wert[Schaerfe]));
    } else {
        if (e.wert[Helligkeit] != 0)
            BitmapHelligkeit(b, float(e.wert[Helligkeit]));
        if (e.wert[Kontrast] != 0)
            BitmapKontrast(b, e.wert[Kontrast]);
        // The "+" side of the density slider darkens.
        if (e.wert[Dichte] != 0)
            BitmapDichte(b, -e.wert[Dichte]);
    }
    return b;
}

void TfrmAttribute::ReglerFreigeben()
{
    for (QSlider* r : {trbScharfRegler, trbHelligkeit, trbKontrast, trbDichte})
        r->setEnabled(true);
}

void TfrmAttribute::SetVorschau()
{
    if (AttributSperre || !frmZelvanoMain)
        return;
    AttributSperre = true;
    {
        TSanduhr sanduhr;
        try {
            const TEinstellung e = Aktuell();
            AttributVorschau = Berechnen(e);
            m_vorschauFuer = e;
            m_vorschauGueltig = true;
            TfrmZelvanoMain* f = frmZelvanoMain;
            f->SetAnzeigeBild();
            f->AnzeigeTimer->stop();
            TAnzeigeBild* anzeige = f->AnzeigeBild;
            // The preview gets no display gamma, and large ones are reduced
            // to the display's size as the display itself would.
            if (AttributVorschau.Width() >= anzeige->width()) {
                TBitmap klein;
                BitmapVerkleinern(AttributVorschau, klein, anzeige->width(), anzeige->height());
                anzeige->SetBild(klein.Bild());
            } else {
                anzeige->SetBild(AttributVorschau.Bild());
            }
        } catch (const std::exception&) {
            m_vorschauGueltig = false;
            Meldung(QStringLiteral("Fehler beim Schärfen oder Weichzeichnen."), TMeldungArt::Warnung, mbOk);
        }
    }
    ReglerFreigeben();
    AttributSperre = false;
}

// ---- Buttons ------------------------------------------------------------------

void TfrmAttribute::btnSharfOkClick()
{
    if (!frmZelvanoMain)
        return;
    QPushButton* knopf = pcAttribute->currentWidget() == tsSchaerfe ? btnSharfOk : btnHellKonOk;
    {
        TSanduhr sanduhr;
        knopf->setEnabled(false);
        // Only a preview of exactly the settings shown may become the image;
        // otherwise (a slider still held, a failed preview) it is computed now.
        const TEinstellung e = Aktuell();
        if (!m_vorschauGueltig || !(m_vorschauFuer == e) || AttributVorschau.IsEmpty()) {
            try {
                AttributVorschau = Berechnen(e);
                m_vorschauFuer = e;
                m_vorschauGueltig = true;
            } catch (const std::exception&) {
                m_vorschauGueltig = false;
            }
        }
        if (!m_vorschauGueltig || AttributVorschau.IsEmpty()) {
            knopf->setEnabled(true);
            Meldung(QStringLiteral("Fehler beim Schärfen oder Weichzeichnen."), TMeldungArt::Warnung, mbOk);
            return;
        }
        RueckgaengigSpeichern(*frmZelvanoMain->Gear1, frmZelvanoMain->OriginalBild, BildFarbtiefe);
        frmZelvanoMain->OriginalBild = AttributVorschau;
        BildFarbtiefe = 24;
        QCoreApplication::processEvents();
        BildBearbeitet = true;
    }
    accept();
}

void TfrmAttribute::btnHellKonOkClick() { btnSharfOkClick(); }
void TfrmAttribute::btnSharfAbbrechenClick() { reject(); }
void TfrmAttribute::btnHellKonAbbrechenClick() { reject(); }
