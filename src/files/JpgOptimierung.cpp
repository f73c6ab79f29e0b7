// The JPEG quality comparison.
#include "JpgOptimierung.h"
#include <QApplication>
#include <QFrame>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLocale>
#include <QPushButton>
#include <QSlider>
#include <QStyle>
#include <QTimer>
#include <QVBoxLayout>
#include <cmath>
#include "Einstellungen.h"
#include "Formatoption.h"
#include "gear/Gear.h"
#include "gear/GearAnsicht.h"
#include "Loeschen.h"
#include "Global.h"
#include "ZelvanoMain.h"
#include "pixelops/Runden.h"

TfrmJpgOptimierung* frmJpgOptimierung = nullptr;

namespace {

void Pumpen()
{
    QCoreApplication::processEvents();
}

QSlider* Regler(QWidget* eltern, int von, int bis)
{
    auto* regler = new QSlider(Qt::Horizontal, eltern);
    regler->setRange(von, bis);
    regler->setPageStep(1);
    regler->setSingleStep(1);
    regler->setTickPosition(QSlider::TicksBelow);
    return regler;
}

} // namespace

QString JpgRateText(qint64 jpegGroesse, qint64 unkomprimiert)
{
    const double rate = double(jpegGroesse) / (double(std::max<qint64>(1, unkomprimiert)) / 100);
    return QLocale().toString(rate, 'f', 1) + QStringLiteral(" %");
}

TfrmJpgOptimierung::TfrmJpgOptimierung(QWidget* parent) : QDialog(parent)
{
    FormCreate();
}

TfrmJpgOptimierung::~TfrmJpgOptimierung()
{
    if (frmJpgOptimierung == this)
        frmJpgOptimierung = nullptr;
}

void TfrmJpgOptimierung::FormCreate()
{
    frmJpgOptimierung = this;
    setObjectName(QStringLiteral("frmJpgOptimierung"));
    setProperty("HilfeKontext", 35);
    setWindowTitle(QStringLiteral("JPG-Optimierung"));
    setFont(QApplication::font("QMenu"));
    setModal(true);

    lblOriginal = new QLabel(QStringLiteral("Original"), this);
    lblVorschau = new QLabel(QStringLiteral("Vorschau"), this);
    QFont fett = lblOriginal->font();
    fett.setBold(true);
    lblOriginal->setFont(fett);
    lblVorschau->setFont(fett);
    lblOriginalGroesse = new QLabel(this);
    lblVorschauGroesse = new QLabel(this);

    // The two views share one area, each taking half its width.
    m_bildflaeche = new QWidget(this);
    GearQualiA = new TGearAnsicht(m_bildflaeche);
    GearQualiB = new TGearAnsicht(m_bildflaeche);
    GearQualiA->setObjectName(QStringLiteral("GearQualiA"));
    GearQualiB->setObjectName(QStringLiteral("GearQualiB"));
    btnVorschau = new QPushButton(QStringLiteral("Klicken Sie hier, um die Vorschau zu aktualisieren."), m_bildflaeche);
    btnVorschau->setAutoDefault(false);
    btnVorschau->hide();

    bevLinie2 = new QFrame(this);
    bevLinie2->setFrameShape(QFrame::HLine);
    bevLinie2->setFrameShadow(QFrame::Sunken);

    trbJpgKomp = Regler(this, 1, 25);
    lblJpgKomp = new QLabel(QStringLiteral("Kompressionsstufe"), this);
    lblJpgKompWert = new QLabel(this);
    trbJpgAufl = Regler(this, -10, 0);
    lblJpgAufl = new QLabel(QStringLiteral("Auflösung"), this);
    lblJpgAuflWert = new QLabel(this);
    tbZoom = Regler(this, 100, 300);
    tbZoom->setTickInterval(10);
    lblZoom = new QLabel(QStringLiteral("Zoom 100%"), this);
    btnOk = new QPushButton(QStringLiteral("Ok"), this);
    btnOk->setDefault(true);

    auto* kopf = new QGridLayout;
    kopf->addWidget(lblOriginal, 0, 0);
    kopf->addWidget(lblOriginalGroesse, 1, 0);
    kopf->addWidget(lblVorschau, 0, 1);
    kopf->addWidget(lblVorschauGroesse, 1, 1);
    kopf->setColumnStretch(0, 1);
    kopf->setColumnStretch(1, 1);

    auto* regler = new QGridLayout;
    regler->addWidget(lblJpgKomp, 0, 0);
    regler->addWidget(trbJpgKomp, 0, 1);
    regler->addWidget(lblJpgKompWert, 0, 2);
    regler->addWidget(lblJpgAufl, 1, 0);
    regler->addWidget(trbJpgAufl, 1, 1);
    regler->addWidget(lblJpgAuflWert, 1, 2);
    regler->addWidget(lblZoom, 0, 3);
    regler->addWidget(tbZoom, 0, 4);
    regler->addWidget(btnOk, 1, 4, Qt::AlignRight);
    regler->setColumnStretch(1, 1);
    regler->setColumnStretch(4, 1);
    regler->setColumnMinimumWidth(2, 30);

    auto* spalte = new QVBoxLayout(this);
    spalte->addLayout(kopf);
    spalte->addWidget(m_bildflaeche, 1);
    spalte->addWidget(bevLinie2);
    spalte->addLayout(regler);
    resize(900, 640);

    connect(trbJpgKomp, &QSlider::valueChanged, this, &TfrmJpgOptimierung::trbJpgKompChange);
    connect(trbJpgAufl, &QSlider::valueChanged, this, &TfrmJpgOptimierung::trbJpgAuflChange);
    connect(tbZoom, &QSlider::valueChanged, this, &TfrmJpgOptimierung::tbZoomChange);
    connect(btnVorschau, &QPushButton::clicked, this, &TfrmJpgOptimierung::btnVorschauClick);
    connect(btnOk, &QPushButton::clicked, this, &TfrmJpgOptimierung::btnOkClick);
    connect(GearQualiA, &TGearAnsicht::OnScroll, this, &TfrmJpgOptimierung::GearQualiAScroll);
    connect(GearQualiB, &TGearAnsicht::OnScroll, this, &TfrmJpgOptimierung::GearQualiBScroll);
    connect(GearQualiA, &TGearAnsicht::OnMouseMove, this, &TfrmJpgOptimierung::GearQualiAMouseMove);
    connect(GearQualiB, &TGearAnsicht::OnMouseMove, this, &TfrmJpgOptimierung::GearQualiBMouseMove);
}

void TfrmJpgOptimierung::Auslegen()
{
    const int halb = Runden(m_bildflaeche->width() / 2.0);
    const int h = m_bildflaeche->height();
    GearQualiA->setGeometry(0, 0, halb, h);
    GearQualiB->setGeometry(halb, 0, halb, h);
    const QSize knopf = btnVorschau->sizeHint();
    btnVorschau->setGeometry(halb + (halb - knopf.width()) / 2, (h - knopf.height()) / 2, knopf.width(),
                             knopf.height());
}

void TfrmJpgOptimierung::resizeEvent(QResizeEvent* ereignis)
{
    QDialog::resizeEvent(ereignis);
    Auslegen();
}

void TfrmJpgOptimierung::Ansichtsvorgabe(TGearAnsicht* gear)
{
    gear->setCursor(TfrmZelvanoMain::EigenerCursor(2));
    gear->hide();
    gear->SetBackColor(16777215);
    gear->DelImage();
    gear->Gear().SetTransparent(0);
    gear->Gear().SetPage(1);
    gear->SetScrollEvent(true);
    gear->SetScrollBars(true);
    gear->SetHandPanning(true);
    gear->Gear().SetAspectRatio(1);
    gear->SetFitMethod(3);
}

void TfrmJpgOptimierung::showEvent(QShowEvent* ereignis)
{
    QDialog::showEvent(ereignis);
    m_zeigen = true;
    FormShow();
    m_zeigen = false;
}

void TfrmJpgOptimierung::Rundreise()
{
    TGear& a = GearQualiA->Gear();
    JpgOptionenSetzen(a);
    a.SetSaveFormat(21);
    // The round-trip file is the program's own: written straight, not as a user file.
    a.SetSicherSchreiben(false);
    if (!TempOptiDatei.isEmpty())
        a.SaveImage(TempOptiDatei);
    Pumpen();
}

void TfrmJpgOptimierung::VorschauGroesseSetzen()
{
    const qint64 groesse = TempOptiDatei.isEmpty() ? -1 : DateiGroesse(TempOptiDatei);
    lblVorschauGroesse->setText(GroesseAlsText(groesse) + QStringLiteral("  (")
                                + JpgRateText(std::max<qint64>(0, groesse), Unkomprimiert) + QLatin1Char(')'));
}

void TfrmJpgOptimierung::FormShow()
{
    Auslegen();
    const int halb = Runden(m_bildflaeche->width() / 2.0);
    Ansichtsvorgabe(GearQualiA);
    if (frmZelvanoMain)
        GearQualiA->SetPicture(frmZelvanoMain->OriginalBild);
    GearQualiA->setGeometry(0, 0, halb, m_bildflaeche->height());
    Pumpen();
    GearQualiA->show();

    GearQualiA->Gear().PromoteColor(8);
    Rundreise();

    Ansichtsvorgabe(GearQualiB);
    if (!TempOptiDatei.isEmpty())
        GearQualiB->LoadImage(TempOptiDatei);
    GearQualiB->setGeometry(halb, 0, halb, m_bildflaeche->height());
    Pumpen();
    GearQualiB->show();
    btnVorschau->hide();

    {
        const QSignalBlocker k(trbJpgKomp), a(trbJpgAufl), z(tbZoom);
        trbJpgKomp->setValue(JpegKomp);
        trbJpgAufl->setValue(-JpegAufl);
        tbZoom->setValue(100);
    }
    // Setting a bar to where it stands reports no change: the labels are set here.
    lblJpgKompWert->setText(QString::number(JpegKomp));
    lblJpgAuflWert->setText(QString::number(trbJpgAufl->value() + 11));
    tbZoomChange();

    const TGear& a = GearQualiA->Gear();
    Unkomprimiert = std::max<qint64>(1, qint64(a.ImageWidth()) * a.ImageHeight() * a.ImageBitsPerPixel() / 8);
    lblOriginalGroesse->setText(QStringLiteral("unkomprimiert ") + GroesseAlsText(Unkomprimiert)
                                + QStringLiteral("  (100%)"));
    VorschauGroesseSetzen();
    if (!TempOptiDatei.isEmpty())
        DateiLoeschen(TempOptiDatei);
}

void TfrmJpgOptimierung::trbJpgKompChange()
{
    if (trbJpgKomp->value() != JpegKomp) {
        JpegKomp = trbJpgKomp->value();
        GearQualiB->hide();
        btnVorschau->show();
        btnVorschau->raise();
        lblVorschauGroesse->clear();
    }
    lblJpgKompWert->setText(QString::number(JpegKomp));
}

void TfrmJpgOptimierung::trbJpgAuflChange()
{
    if (trbJpgAufl->value() != -JpegAufl) {
        JpegAufl = std::abs(trbJpgAufl->value());
        GearQualiB->hide();
        btnVorschau->show();
        btnVorschau->raise();
        lblVorschauGroesse->clear();
    }
    lblJpgAuflWert->setText(QString::number(trbJpgAufl->value() + 11));
}

void TfrmJpgOptimierung::btnVorschauClick()
{
    QApplication::setOverrideCursor(Qt::WaitCursor);
    Rundreise();
    GearQualiB->hide();
    GearQualiB->SetBackColor(16777215);
    GearQualiB->DelImage();
    if (!TempOptiDatei.isEmpty())
        GearQualiB->LoadImage(TempOptiDatei);
    Pumpen();
    GearQualiB->SetAutoRedraw(false);
    GearQualiB->SetZoomLevel(tbZoom->value());
    GearQualiB->SetAutoRedraw(true);
    GearQualiB->repaint();
    // The partner must be laid out before it can take the scroll position.
    GearQualiB->show();
    Angleichen(GearQualiA, GearQualiB);
    VorschauGroesseSetzen();
    btnVorschau->hide();
    Pumpen();
    if (!TempOptiDatei.isEmpty())
        DateiLoeschen(TempOptiDatei);
    QApplication::restoreOverrideCursor();
}

void TfrmJpgOptimierung::tbZoomChange()
{
    for (TGearAnsicht* g : {GearQualiA, GearQualiB}) {
        g->SetAutoRedraw(false);
        g->SetZoomLevel(tbZoom->value());
        g->SetAutoRedraw(true);
        g->repaint();
    }
    lblZoom->setText(QStringLiteral("Zoom %1%").arg(tbZoom->value()));
}

void TfrmJpgOptimierung::Angleichen(TGearAnsicht* quelle, TGearAnsicht* partner)
{
    partner->SetScrollEvent(false);
    for (int bar = 0; bar <= 1; ++bar)
        partner->ScrollPositionSet(bar, 4, quelle->ScrollPositionGet(bar));
    partner->SetScrollEvent(true);
}

void TfrmJpgOptimierung::GearQualiAScroll()
{
    Angleichen(GearQualiA, GearQualiB);
}

void TfrmJpgOptimierung::GearQualiBScroll()
{
    Angleichen(GearQualiB, GearQualiA);
}

void TfrmJpgOptimierung::GearQualiAMouseMove()
{
    Angleichen(GearQualiA, GearQualiB);
}

void TfrmJpgOptimierung::GearQualiBMouseMove()
{
    Angleichen(GearQualiB, GearQualiA);
}

void TfrmJpgOptimierung::done(int ergebnis)
{
    // Closed while showing pumps messages: the modal loop has not begun yet
    // and would never see the window go, so the close waits for it.
    if (m_zeigen) {
        QTimer::singleShot(0, this, [this, ergebnis] { done(ergebnis); });
        return;
    }
    FormClose();
    QDialog::done(ergebnis);
}

void TfrmJpgOptimierung::FormClose()
{
    GearQualiA->DelImage();
    GearQualiB->DelImage();
    Pumpen();
    if (frmFormatOption)
        frmFormatOption->ReglerSetzen();
}

void TfrmJpgOptimierung::btnOkClick()
{
    accept();
}
