#include "Drehen.h"
#include <QApplication>
#include <QCheckBox>
#include <QFrame>
#include <QGroupBox>
#include <QLabel>
#include <QLocale>
#include <QPixmap>
#include <QPushButton>
#include <QShowEvent>
#include <QSlider>
#include <QTimer>
#include <algorithm>
#include <cmath>
#include "Global.h"
#include "Meldung.h"
#include "Modi.h"
#include "ZelvanoMain.h"
#include "AnzeigeBild.h"
#include "Symbole.h"
#include "pixelops/Bitmap_Drehen.h"
#include "pixelops/Bitmap_Verkleinern.h"
#include "pixelops/Runden.h"
#include "widgets/Numedit.h"
#include "widgets/PngBitBtn.h"
#include "widgets/PngImageList.h"
#include "widgets/Sanduhr.h"

TfrmDrehen* frmDrehen = nullptr;

namespace {

// The shortest text of a number, as the field writes it.
QString ZahlText(long double wert)
{
    return QLocale().toString(double(wert), 'g', 15);
}

} // namespace

QSize DrehVorschauGroesse(int w, int h)
{
    if (w <= 0 || h <= 0)
        return QSize(2, 2);
    const float r = float((long double)w / h);
    int b, hh;
    if (r > 1) {
        b = 300;
        hh = Runden(300.0L / r);
    } else {
        b = Runden(300.0L * r);
        hh = 300;
    }
    return QSize(std::max(2, b), std::max(2, hh));
}

TfrmDrehen::TfrmDrehen(QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("frmDrehen"));
    FormCreate();
}

void TfrmDrehen::FormCreate()
{
    setFont(QApplication::font("QMenu"));
    setWindowTitle(QStringLiteral("Bild drehen"));
    setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowSystemMenuHint
                   | Qt::WindowCloseButtonHint);
    setFixedSize(734, 329);

    imgVorschau = new QLabel(this);
    imgVorschau->setObjectName(QStringLiteral("imgVorschau"));
    imgVorschau->setGeometry(12, 12, 300, 300);
    imgVorschau->setAlignment(Qt::AlignCenter);
    imgVorschau->setScaledContents(false);
    shpGitterrahmen = new QFrame(this);
    shpGitterrahmen->setGeometry(11, 11, 302, 302);
    shpGitterrahmen->setFrameShape(QFrame::Box);
    shpGitterrahmen->setAttribute(Qt::WA_TransparentForMouseEvents);
    // Five horizontal and five vertical bands of 30 pixels, 60 apart: their
    // edges draw a guide line every 30 pixels.
    for (int i = 0; i < 10; ++i) {
        auto* band = new QFrame(this);
        band->setObjectName(QStringLiteral("shpGitter%1").arg(i + 1, 2, 10, QLatin1Char('0')));
        const int versatz = 30 + 60 * (i % 5);
        if (i < 5)
            band->setGeometry(12, 12 + versatz, 300, 31);
        else
            band->setGeometry(12 + versatz, 12, 31, 300);
        band->setStyleSheet(QStringLiteral("border: 1px solid silver; background: transparent;"));
        band->setAttribute(Qt::WA_TransparentForMouseEvents);
        shpGitter[i] = band;
    }

    gbBox1 = new QGroupBox(QStringLiteral(" Drehwinkel "), this);
    gbBox1->setGeometry(328, 12, 394, 150);
    PngBitBtnDrehLinks = new TPngBitBtn(gbBox1);
    PngBitBtnDrehLinks->SetPngImage(PngAusListe(MenueBilderListe(), symDrehenMinus90));
    PngBitBtnDrehLinks->setObjectName(QStringLiteral("PngBitBtnDrehLinks"));
    PngBitBtnDrehLinks->setGeometry(12, 30, 28, 28);
    trbWinkel = new QSlider(Qt::Horizontal, gbBox1);
    trbWinkel->setObjectName(QStringLiteral("trbWinkel"));
    trbWinkel->setGeometry(46, 28, 302, 34);
    trbWinkel->setRange(-180, 180);
    trbWinkel->setPageStep(1);
    trbWinkel->setTickInterval(45);
    trbWinkel->setTickPosition(QSlider::TicksBelow);
    PngBitBtnDrehRechts = new TPngBitBtn(gbBox1);
    PngBitBtnDrehRechts->SetPngImage(PngAusListe(MenueBilderListe(), symDrehenPlus90));
    PngBitBtnDrehRechts->setObjectName(QStringLiteral("PngBitBtnDrehRechts"));
    PngBitBtnDrehRechts->setGeometry(354, 30, 28, 28);
    lblWinkel = new QLabel(QStringLiteral("Drehwinkel:"), gbBox1);
    lblWinkel->setGeometry(46, 84, 90, 24);
    nedWinkel = new TNumedit(gbBox1);
    nedWinkel->setObjectName(QStringLiteral("nedWinkel"));
    nedWinkel->SetMatrix(QStringLiteral("-90,00"));
    nedWinkel->SetEntertaste(false);
    nedWinkel->setGeometry(140, 84, 70, 24);
    lblGrad = new QLabel(QStringLiteral("Grad"), gbBox1);
    lblGrad->setGeometry(216, 84, 60, 24);

    btnWinkelmessen = new QPushButton(QStringLiteral("Winkel messen"), this);
    btnWinkelmessen->setObjectName(QStringLiteral("btnWinkelmessen"));
    btnWinkelmessen->setGeometry(328, 176, 140, 28);
    btnWinkelmessen->setAutoDefault(false);
    cbGitter = new QCheckBox(QStringLiteral("Gitter einblenden"), this);
    cbGitter->setObjectName(QStringLiteral("cbGitter"));
    cbGitter->setGeometry(500, 176, 200, 24);
    cbGitter->setChecked(true);
    cbAnpassen = new QCheckBox(QStringLiteral("Bildgröße anpassen"), this);
    cbAnpassen->setObjectName(QStringLiteral("cbAnpassen"));
    cbAnpassen->setGeometry(500, 204, 200, 24);
    cbAnpassen->setChecked(true);
    btnDrehen = new QPushButton(QStringLiteral("Drehen"), this);
    btnDrehen->setObjectName(QStringLiteral("btnDrehen"));
    btnDrehen->setGeometry(528, 284, 92, 28);
    btnDrehen->setDefault(true);
    btnAbbrechen = new QPushButton(QStringLiteral("Abbrechen"), this);
    btnAbbrechen->setObjectName(QStringLiteral("btnAbbrechen"));
    btnAbbrechen->setGeometry(630, 284, 92, 28);
    btnAbbrechen->setAutoDefault(false);
    PngBitBtnDrehLinks->setAutoDefault(false);
    PngBitBtnDrehRechts->setAutoDefault(false);

    connect(trbWinkel, &QSlider::valueChanged, this, &TfrmDrehen::trbWinkelChange);
    connect(nedWinkel, &TNumedit::Change, this, &TfrmDrehen::nedWinkelChange);
    connect(PngBitBtnDrehLinks, &QPushButton::clicked, this, &TfrmDrehen::PngBitBtnDrehLinksClick);
    connect(PngBitBtnDrehRechts, &QPushButton::clicked, this, &TfrmDrehen::PngBitBtnDrehRechtsClick);
    connect(cbGitter, &QCheckBox::clicked, this, &TfrmDrehen::cbGitterClick);
    connect(btnWinkelmessen, &QPushButton::clicked, this, &TfrmDrehen::btnWinkelmessenClick);
    connect(btnDrehen, &QPushButton::clicked, this, &TfrmDrehen::btnDrehenClick);
    connect(btnAbbrechen, &QPushButton::clicked, this, &QDialog::reject);
}

void TfrmDrehen::showEvent(QShowEvent* ereignis)
{
    QDialog::showEvent(ereignis);
    if (ereignis->spontaneous())
        return;
    FormShow();
    // Activation is not reported reliably on every platform: the preview is
    // built once the window is up, once per opening.
    m_aktivierungAussteht = true;
    QTimer::singleShot(0, this, [this] {
        if (m_aktivierungAussteht && isVisible())
            FormActivate();
    });
}

void TfrmDrehen::done(int ergebnis)
{
    FormClose();
    QDialog::done(ergebnis);
}

void TfrmDrehen::FormShow()
{
    QApplication::setOverrideCursor(Qt::WaitCursor);
    imgVorschau->hide();
    // An angle of 0 from the menu also starts the slider at 0, so the
    // preview and the turn never differ.
    if (DrehWinkel == 0)
        trbWinkel->setValue(0);
    nedWinkel->SetWert(DrehWinkel);
    if (nedWinkel->text().isEmpty())
        nedWinkel->setText(ZahlText(trbWinkel->value() / 2.0L));
    DrehVorschauBild = TBitmap();
}

void TfrmDrehen::FormActivate()
{
    m_aktivierungAussteht = false;
    DrehSperre = false;
    {
        const QSignalBlocker sperre(trbWinkel);
        trbWinkel->setValue(int(std::trunc(nedWinkel->Wert() * 2)));
    }
    QWidget* steuer[] = {trbWinkel, nedWinkel, btnWinkelmessen, cbGitter, cbAnpassen, btnDrehen, btnAbbrechen};
    for (QWidget* w : steuer)
        w->setEnabled(false);
    const TBitmap* original = frmZelvanoMain ? &frmZelvanoMain->OriginalBild : nullptr;
    if (original && !original->IsEmpty()) {
        const QSize g = DrehVorschauGroesse(original->Width(), original->Height());
        BitmapVerkleinern(*original, DrehVorschauBild, g.width(), g.height());
        imgVorschau->setPixmap(QPixmap::fromImage(DrehVorschauBild.Bild()));
        if (DrehWinkel != 0)
            DreheVorschau();
    }
    imgVorschau->show();
    for (QWidget* w : steuer)
        w->setEnabled(true);
    nedWinkel->setFocus();
    nedWinkel->selectAll();
    while (QApplication::overrideCursor())
        QApplication::restoreOverrideCursor();
}

void TfrmDrehen::FormClose()
{
    DrehVorschauBild = TBitmap();
    m_aktivierungAussteht = false;
    while (QApplication::overrideCursor())
        QApplication::restoreOverrideCursor();
}

void TfrmDrehen::FeldBegrenzen()
{
    if (nedWinkel->Wert() < -90)
        nedWinkel->SetWert(-90);
    else if (nedWinkel->Wert() > 90)
        nedWinkel->SetWert(90);
}

void TfrmDrehen::DreheVorschau()
{
    if (DrehSperre)
        return;
    DrehSperre = true;
    FeldBegrenzen();
    if (!DrehVorschauBild.IsEmpty()) {
        // The preview always shows the whole turned picture; the label
        // centres it and cuts off what lies beyond 300 x 300.
        TBitmap kopie = DrehVorschauBild;
        BitmapDrehen(kopie, true, double(DrehWinkel));
        imgVorschau->setPixmap(QPixmap::fromImage(kopie.Bild()));
    }
    DrehSperre = false;
}

void TfrmDrehen::trbWinkelChange()
{
    if (!trbWinkel->hasFocus())
        return;
    DrehWinkel = trbWinkel->value() / 2.0L;
    nedWinkel->setText(ZahlText(DrehWinkel));
    DreheVorschau();
}

void TfrmDrehen::nedWinkelChange()
{
    if (!nedWinkel->hasFocus())
        return;
    DrehWinkel = nedWinkel->Wert();
    const QSignalBlocker sperre(trbWinkel);
    trbWinkel->setValue(int(std::trunc(DrehWinkel * 2)));
    DreheVorschau();
}

void TfrmDrehen::Schritt(int richtung)
{
    {
        const QSignalBlocker sperre(trbWinkel);
        trbWinkel->setValue(trbWinkel->value() + richtung);
    }
    DrehWinkel = trbWinkel->value() / 2.0L;
    nedWinkel->setText(ZahlText(DrehWinkel));
    DreheVorschau();
}

void TfrmDrehen::PngBitBtnDrehLinksClick() { Schritt(-1); }
void TfrmDrehen::PngBitBtnDrehRechtsClick() { Schritt(1); }

void TfrmDrehen::cbGitterClick()
{
    for (QFrame* band : shpGitter)
        band->setVisible(cbGitter->isChecked());
}

void TfrmDrehen::btnWinkelmessenClick()
{
    WinkelMessen = true;
    if (frmZelvanoMain)
        frmZelvanoMain->AnzeigeBild->setCursor(TfrmZelvanoMain::EigenerCursor(1));
    reject();
}

void TfrmDrehen::btnDrehenClick()
{
    hide();
    QCoreApplication::processEvents();
    TfrmZelvanoMain* f = frmZelvanoMain;
    if (nedWinkel->Wert() == 0 || !f || f->OriginalBild.IsEmpty()) {
        accept();
        return;
    }
    FeldBegrenzen();
    bool gedreht;
    {
        TSanduhr sanduhr;
        const bool schrittGespeichert = RueckgaengigSpeichern(*f->Gear1, f->OriginalBild, BildFarbtiefe);
        DrehWinkel = nedWinkel->Wert();
        gedreht = BitmapDrehen(f->OriginalBild, cbAnpassen->isChecked(), double(DrehWinkel));
        if (gedreht)
            BildBearbeitet = true;
        else
            RueckgaengigSchrittVerwerfen(schrittGespeichert);   // the image is as it was
    }
    if (!gedreht)
        Meldung(QStringLiteral("Fehler beim Drehen: Der Arbeitsspeicher reicht nicht für das gedrehte Bild."),
                TMeldungArt::Warnung, mbOk);
    accept();
}
