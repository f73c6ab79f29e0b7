// The JPEG options and the window that edits them.
#include "Formatoption.h"
#include "JpgOptimierung.h"
#include <QApplication>
#include <QEvent>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLocale>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSlider>
#include <QStyle>
#include <QTabWidget>
#include <QVBoxLayout>
#include "Einstellungen.h"
#include "gear/Gear.h"
#include "Global.h"
#include "ZelvanoMain.h"
#include "Symbole.h"
#include "widgets/PngImageList.h"

TfrmFormatOption* frmFormatOption = nullptr;

namespace {

struct TStufe {
    int qualitaet;
    int rate;   // tenths of a per cent
};

// Index 0 is level 1.
constexpr TStufe Stufen[JpgStufenAnzahl] = {
    {1, 12},  {5, 13},  {10, 14}, {20, 15}, {30, 16}, {40, 17},  {50, 19},  {55, 20},  {60, 21},
    {65, 22}, {70, 24}, {75, 27}, {80, 30}, {85, 35}, {90, 45},  {91, 50},  {92, 55},  {93, 60},
    {94, 65}, {95, 70}, {96, 80}, {97, 100}, {98, 150}, {99, 200}, {100, 300},
};

constexpr int StandardStufe = 23;

int GueltigeStufe(int stufe)
{
    return (stufe >= 1 && stufe <= JpgStufenAnzahl) ? stufe : StandardStufe;
}

// The page's controls that only mean something for a lossy coding.
constexpr int JpgSeite = 0;

} // namespace

int JpgStufeQualitaet(int stufe)
{
    return Stufen[GueltigeStufe(stufe) - 1].qualitaet;
}

int JpgStufeRate(int stufe)
{
    return Stufen[GueltigeStufe(stufe) - 1].rate;
}

QString JpgKompRateSatz(int stufe)
{
    return QStringLiteral("Die zu erwartende Kompressionsrate beträgt, abhängig vom Bildinhalt, ca. ")
        + QLocale().toString(JpgStufeRate(stufe) / 10.0, 'f', 1) + QStringLiteral(" %");
}

void JpgOptionenSetzen(TGear& gear)
{
    const int typ = (JpegTyp == 0 || JpegTyp == 1 || JpegTyp == 2) ? JpegTyp : 0;
    const int aufl = (JpegAufl >= 0 && JpegAufl <= 10) ? JpegAufl : 0;
    gear.SetControlMode(1813);
    gear.SetControlValue(int16_t(typ));
    gear.SetControlMode(277);
    gear.SetControlValue(int16_t(JpgStufeQualitaet(JpegKomp)));
    gear.SetControlMode(533);
    gear.SetControlValue(int16_t(aufl));
}

// ======================================================================
// The window
// ======================================================================

TfrmFormatOption::TfrmFormatOption(QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("frmFormatOption"));
    if (!frmFormatOption)
        frmFormatOption = this;
    FormCreate();
}

TfrmFormatOption::~TfrmFormatOption()
{
    if (frmFormatOption == this)
        frmFormatOption = nullptr;
}

void TfrmFormatOption::FormCreate()
{
    setWindowTitle(QStringLiteral("Formatoptionen"));
    setProperty("HilfeKontext", 35);
    setFont(QApplication::font("QMenu"));

    pcFormatoptionen = new QTabWidget(this);
    pcFormatoptionen->setObjectName(QStringLiteral("pcFormatoptionen"));
    tsJPG = new QWidget(pcFormatoptionen);
    tsJPG->setObjectName(QStringLiteral("tsJPG"));
    pcFormatoptionen->addTab(tsJPG, QStringLiteral("JPG"));

    auto regler = [this](const char* name, int von, int bis) {
        auto* r = new QSlider(Qt::Horizontal, tsJPG);
        r->setObjectName(QLatin1String(name));
        r->setRange(von, bis);
        r->setPageStep(1);
        r->setSingleStep(1);
        r->setTickPosition(QSlider::NoTicks);
        return r;
    };
    auto etikett = [this](const char* name, const QString& text) {
        auto* l = new QLabel(text, tsJPG);
        l->setObjectName(QLatin1String(name));
        return l;
    };

    trbJpgKomp = regler("trbJpgKomp", 1, JpgStufenAnzahl);
    lblJpgKomp = etikett("lblJpgKomp", QStringLiteral("Kompressionsstufe"));
    lblJpgKompWert = etikett("lblJpgKompWert", QString());
    trbJpgAufl = regler("trbJpgAufl", -10, 0);
    lblJpgAufl = etikett("lblJpgAufl", QStringLiteral("Auflösung"));
    lblJpgAuflWert = etikett("lblJpgAuflWert", QString());
    lblKompRate = etikett("lblKompRate", QString());
    lblKompRate->setWordWrap(true);
    lblKompRate->setCursor(Qt::PointingHandCursor);
    imgInfo = etikett("imgInfo", QString());
    imgInfo->setFixedSize(16, 16);
    // Item 4 of the menu icon list; the style's own before the main window exists.
    const TPNGObject info = PngAusListe(MenueBilderListe(), symInfo);
    if (info.Empty())
        imgInfo->setPixmap(style()->standardIcon(QStyle::SP_MessageBoxInformation).pixmap(16, 16));
    else
        imgInfo->setPixmap(QPixmap::fromImage(
            info.ToImage().scaled(16, 16, Qt::IgnoreAspectRatio, Qt::SmoothTransformation)));
    imgInfo->setCursor(Qt::PointingHandCursor);
    rbJpgStandard = new QRadioButton(QStringLiteral("Standard - JPG"), tsJPG);
    rbJpgStandard->setObjectName(QStringLiteral("rbJpgStandard"));
    rbJpgStandard->setChecked(true);
    rbJpgProgressive = new QRadioButton(QStringLiteral("Progressive - JPG"), tsJPG);
    rbJpgProgressive->setObjectName(QStringLiteral("rbJpgProgressive"));
    rbJpgVerlustfrei = new QRadioButton(QStringLiteral("Verlustfreies - JPG"), tsJPG);
    rbJpgVerlustfrei->setObjectName(QStringLiteral("rbJpgVerlustfrei"));
    lblAchtung = etikett("lblAchtung",
                         QStringLiteral("Achtung, dieses Format wird nur von wenigen Programmen unterstützt. "
                                        "Die zu erwartende Kompressionsrate beträgt ca. 55%"));
    lblAchtung->setWordWrap(true);

    auto* raster = new QGridLayout(tsJPG);
    raster->addWidget(lblJpgKomp, 0, 0);
    raster->addWidget(trbJpgKomp, 0, 1);
    raster->addWidget(lblJpgKompWert, 0, 2);
    raster->addWidget(lblJpgAufl, 1, 0);
    raster->addWidget(trbJpgAufl, 1, 1);
    raster->addWidget(lblJpgAuflWert, 1, 2);
    auto* rateZeile = new QHBoxLayout;
    rateZeile->addWidget(imgInfo, 0, Qt::AlignTop);
    rateZeile->addWidget(lblKompRate, 1);
    raster->addLayout(rateZeile, 2, 0, 1, 3);
    raster->addWidget(rbJpgStandard, 3, 0, 1, 3);
    raster->addWidget(rbJpgProgressive, 4, 0, 1, 3);
    raster->addWidget(rbJpgVerlustfrei, 5, 0);
    raster->addWidget(lblAchtung, 5, 1, 1, 2);
    raster->setRowStretch(6, 1);
    raster->setColumnStretch(1, 1);

    // The explanation lies over the page; it is no part of its layout.
    memInfo = new QPlainTextEdit(tsJPG);
    memInfo->setObjectName(QStringLiteral("memInfo"));
    memInfo->setReadOnly(true);
    memInfo->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    memInfo->hide();

    btnOk = new QPushButton(QStringLiteral("&Ok"), this);
    btnOk->setObjectName(QStringLiteral("btnOk"));
    btnOk->setDefault(true);
    btnJpgOptimierung = new QPushButton(QStringLiteral("JPG-Optimierung"), this);
    btnJpgOptimierung->setObjectName(QStringLiteral("btnJpgOptimierung"));
    btnJpgOptimierung->setAutoDefault(false);

    auto* knoepfe = new QHBoxLayout;
    knoepfe->addWidget(btnJpgOptimierung);
    knoepfe->addStretch(1);
    knoepfe->addWidget(btnOk);
    auto* spalte = new QVBoxLayout(this);
    spalte->addWidget(pcFormatoptionen, 1);
    spalte->addLayout(knoepfe);
    resize(qMax(sizeHint().width(), 480), qMax(sizeHint().height(), 340));

    connect(trbJpgKomp, &QSlider::valueChanged, this, [this] { trbJpgKompChange(); });
    connect(trbJpgAufl, &QSlider::valueChanged, this, [this] { trbJpgAuflChange(); });
    connect(rbJpgStandard, &QRadioButton::clicked, this, [this] { rbJpgStandardClick(); });
    connect(rbJpgProgressive, &QRadioButton::clicked, this, [this] { rbJpgProgressiveClick(); });
    connect(rbJpgVerlustfrei, &QRadioButton::clicked, this, [this] { rbJpgVerlustfreiClick(); });
    connect(btnOk, &QPushButton::clicked, this, [this] { btnOkClick(); });
    connect(btnJpgOptimierung, &QPushButton::clicked, this, [this] { btnJpgOptimierungClick(); });
    connect(pcFormatoptionen, &QTabWidget::currentChanged, this, [this] { pcFormatoptionenChanging(); });
    imgInfo->installEventFilter(this);
    lblKompRate->installEventFilter(this);
    memInfo->viewport()->installEventFilter(this);

    QCoreApplication::processEvents();
}

void TfrmFormatOption::showEvent(QShowEvent* ereignis)
{
    FormShow();
    QDialog::showEvent(ereignis);
}

void TfrmFormatOption::FormShow()
{
    const bool jpg = ZielTyp == QLatin1String("jpg");
    pcFormatoptionen->setTabVisible(JpgSeite, jpg);

    bool konvertierenOffen = false;
    for (QWidget* w : QApplication::topLevelWidgets())
        if (w->objectName() == QLatin1String("frmKonvertieren") && w->isVisible())
            konvertierenOffen = true;
    btnJpgOptimierung->setVisible(jpg && !konvertierenOffen);

    switch (JpegTyp) {
    case 1:
        rbJpgVerlustfrei->setChecked(true);
        rbJpgVerlustfreiClick();
        break;
    case 2:
        rbJpgProgressive->setChecked(true);
        rbJpgProgressiveClick();
        break;
    default:
        rbJpgStandard->setChecked(true);
        rbJpgStandardClick();
        break;
    }
    ReglerSetzen();
}

void TfrmFormatOption::ReglerSetzen()
{
    // Moving a bar to where it stands emits nothing, so the labels are set here.
    const int komp = (JpegKomp >= 1 && JpegKomp <= JpgStufenAnzahl) ? JpegKomp : StandardStufe;
    const int aufl = (JpegAufl >= 0 && JpegAufl <= 10) ? JpegAufl : 0;
    trbJpgKomp->setValue(komp);
    trbJpgAufl->setValue(-aufl);
    trbJpgKompChange();
    trbJpgAuflChange();
}

void TfrmFormatOption::trbJpgKompChange()
{
    JpegKomp = trbJpgKomp->value();
    lblJpgKompWert->setText(QString::number(JpegKomp));
    lblKompRate->setText(JpgKompRateSatz(JpegKomp));
}

void TfrmFormatOption::trbJpgAuflChange()
{
    const int position = trbJpgAufl->value();
    JpegAufl = std::abs(position);
    lblJpgAuflWert->setText(QString::number(position + 11));
}

void TfrmFormatOption::JpgSteuerungFreigeben(bool frei)
{
    for (QWidget* w : {static_cast<QWidget*>(trbJpgKomp), static_cast<QWidget*>(lblJpgKomp),
                       static_cast<QWidget*>(lblJpgKompWert), static_cast<QWidget*>(trbJpgAufl),
                       static_cast<QWidget*>(lblJpgAufl), static_cast<QWidget*>(lblJpgAuflWert),
                       static_cast<QWidget*>(lblKompRate), static_cast<QWidget*>(btnJpgOptimierung),
                       static_cast<QWidget*>(imgInfo)})
        w->setEnabled(frei);
}

void TfrmFormatOption::rbJpgStandardClick()
{
    JpegTyp = 0;
    JpgSteuerungFreigeben(true);
}

void TfrmFormatOption::rbJpgProgressiveClick()
{
    JpegTyp = 2;
    JpgSteuerungFreigeben(true);
}

void TfrmFormatOption::rbJpgVerlustfreiClick()
{
    JpegTyp = 1;
    JpgSteuerungFreigeben(false);
}

void TfrmFormatOption::imgInfoClick()
{
    memInfo->resize(455, 305);
    memInfo->clear();
    const QStringList absaetze = {
        QStringLiteral("Für das \"Standard-JPG-Format\" und das \"Progressive-JPG-Format\" können Sie festlegen, "
                       "wie stark ein Bild komprimiert werden soll. Dabei führt eine niedrige Kompressionsstufe "
                       "zwar zu guten Kompressionsraten, aber eben auch zu einer Verringerung der Bildqualität."),
        QStringLiteral("Wie hoch ein Bild bei der jeweils vorgewählten Kompressionsstufe tatsächlich komprimiert "
                       "wird, hängt sehr stark vom Inhalt des Bildes ab. So sind die zur jeweiligen "
                       "Kompressionsstufe angezeigten Kompressionsraten auch nur als Circa-Werte zu sehen."),
        QStringLiteral("Hier einige Werte und die zu erwartenden Ergebnisse."),
        QStringLiteral("Kompressionsstufe 22-25 - Sehr geringe, kaum wahrnehmbare Bildverluste."),
        QStringLiteral("Kompressionsstufe 17-21 - Gute Kompressionsraten bei immer noch guter Bildqualität."),
        QStringLiteral("Kompressionsstufe 12-16 - Sehr gute Kompressionsraten bei merklich eingeschränkter "
                       "Bildqualität."),
        QStringLiteral("Kompressionsstufe  1-11 - Beste Kompressionsraten aber auch deutlich sichtbare "
                       "Bildverluste."),
    };
    memInfo->setPlainText(absaetze.join(QStringLiteral("\n\n")));
    memInfo->move(0, 0);
    memInfo->raise();
    memInfo->show();
    m_okSchliesst = false;
}

void TfrmFormatOption::InfoVerbergen()
{
    memInfo->hide();
    m_okSchliesst = true;
}

void TfrmFormatOption::btnOkClick()
{
    if (memInfo->isVisible() || !m_okSchliesst) {
        InfoVerbergen();
        return;
    }
    accept();
}

void TfrmFormatOption::pcFormatoptionenChanging()
{
    InfoVerbergen();
}

void TfrmFormatOption::FormClose()
{
    InfoVerbergen();
}

void TfrmFormatOption::done(int ergebnis)
{
    FormClose();
    QDialog::done(ergebnis);
}

void TfrmFormatOption::btnJpgOptimierungClick()
{
    InfoVerbergen();
    // The comparison changes the options and puts them on our bars when it closes.
    if (frmJpgOptimierung)
        frmJpgOptimierung->exec();
    accept();
}

void TfrmFormatOption::keyPressEvent(QKeyEvent* ereignis)
{
    // Ok is also the cancel button: Escape acts like a click on it.
    if (ereignis->key() == Qt::Key_Escape && ereignis->modifiers() == Qt::NoModifier) {
        btnOkClick();
        ereignis->accept();
        return;
    }
    QDialog::keyPressEvent(ereignis);
}

bool TfrmFormatOption::eventFilter(QObject* objekt, QEvent* ereignis)
{
    if (ereignis->type() == QEvent::MouseButtonRelease) {
        if (objekt == imgInfo || objekt == lblKompRate) {
            if (static_cast<QWidget*>(objekt)->isEnabled())
                imgInfoClick();
            return true;
        }
        if (objekt == memInfo->viewport()) {
            btnOkClick();
            return true;
        }
    }
    return QDialog::eventFilter(objekt, ereignis);
}
