// The main window's display: layout for fit and fixed zoom, the delayed
// smooth reduction, display gamma, wheel zoom, panning, the fit toggle and
// the cursor over the image.
#include "ZelvanoMain.h"
#include <QAction>
#include <QApplication>
#include <QCursor>
#include <QLayout>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>
#include <QPixmap>
#include <QScrollArea>
#include <QWheelEvent>
#include <algorithm>
#include <cmath>
#include <cstdlib>
#include "AnzeigeBild.h"
#include "AnzeigeLayout.h"
#include "Einstellungen.h"
#include "Menuset.h"
#include "Modi.h"
#include "pixelops/Bitmap_Dichte.h"
#include "pixelops/Bitmap_Verkleinern.h"

namespace {

void Pumpen()
{
    QCoreApplication::processEvents();
}

// The hand over an image larger than its panel: it can be dragged.
QCursor HandZeichnen()
{
    QPixmap bild(32, 32);
    bild.fill(Qt::transparent);
    QPainter maler(&bild);
    maler.setRenderHint(QPainter::Antialiasing);
    // Four fingers, a thumb and the palm, as rounded bars joined into one outline.
    QPainterPath hand;
    hand.addRoundedRect(QRectF(8.5, 13, 16, 12), 4, 4);
    const qreal finger[4][3] = {{8.5, 7, 12}, {12.5, 4, 15}, {16.5, 5, 14}, {20.5, 8, 11}};
    for (const auto& f : finger) {
        QPainterPath stab;
        stab.addRoundedRect(QRectF(f[0], f[1], 4, f[2]), 2, 2);
        hand = hand.united(stab);
    }
    QPainterPath daumen;
    daumen.moveTo(9, 20);
    daumen.lineTo(4.5, 15);
    daumen.quadTo(3, 13.5, 4.5, 12.5);
    daumen.quadTo(6, 11.5, 8, 13.5);
    daumen.lineTo(10, 16);
    hand = hand.united(daumen);
    // The finger gaps stay visible as lines.
    for (qreal x : {12.5, 16.5, 20.5}) {
        hand.moveTo(x, 13);
        hand.lineTo(x, 17);
    }
    maler.setPen(QPen(Qt::black, 1.2));
    maler.setBrush(Qt::white);
    maler.drawPath(hand);
    maler.end();
    return QCursor(bild, 15, 15);
}

// The set square of the angle line: a right triangle with a triangular hole,
// hot spot at the right angle.
QCursor DreieckZeichnen()
{
    QPixmap bild(32, 32);
    bild.fill(Qt::transparent);
    QPainter maler(&bild);
    QPainterPath aussen, innen;
    aussen.addPolygon(QPolygonF({QPointF(1, 1), QPointF(1, 27), QPointF(27, 27), QPointF(1, 1)}));
    innen.addPolygon(QPolygonF({QPointF(6, 12), QPointF(6, 22), QPointF(16, 22), QPointF(6, 12)}));
    maler.setPen(QPen(Qt::black, 1));
    maler.setBrush(Qt::white);
    maler.drawPath(aussen.subtracted(innen));
    maler.end();
    return QCursor(bild, 1, 1);
}

} // namespace

QCursor TfrmZelvanoMain::EigenerCursor(int nummer)
{
    static const QCursor dreieck = DreieckZeichnen();
    static const QCursor hand = HandZeichnen();
    switch (nummer) {
    case 1: return dreieck;
    case 2: return hand;
    default: return QCursor(Qt::ArrowCursor);
    }
}

// ---- Set-up -----------------------------------------------------------------

void TfrmZelvanoMain::ZoomAktionenAnlegen()
{
    struct TZoom {
        QAction* TfrmZelvanoMain::*aktion;
        const char* name;
        const char* text;
        void (TfrmZelvanoMain::*handler)();
    };
    static const TZoom zoom[] = {
        {&TfrmZelvanoMain::mAnsZoomEinpassen, "mAnsZoomEinpassen", "Einpassen (Einfg oder Minus)",
         &TfrmZelvanoMain::mAnsZoomEinpassenExecute},
        {&TfrmZelvanoMain::mAnsZoom10, "mAnsZoom10", "Verkleinern auf 10%", &TfrmZelvanoMain::mAnsZoom10Execute},
        {&TfrmZelvanoMain::mAnsZoom25, "mAnsZoom25", "Verkleinern auf 25%", &TfrmZelvanoMain::mAnsZoom25Execute},
        {&TfrmZelvanoMain::mAnsZoom50, "mAnsZoom50", "Verkleinern auf 50%", &TfrmZelvanoMain::mAnsZoom50Execute},
        {&TfrmZelvanoMain::mAnsZoom100, "mAnsZoom100", "Originalgröße (Einfg oder Minus)",
         &TfrmZelvanoMain::mAnsZoom100Execute},
        {&TfrmZelvanoMain::mAnsZoom150, "mAnsZoom150", "Vergrößern auf 150%", &TfrmZelvanoMain::mAnsZoom150Execute},
        {&TfrmZelvanoMain::mAnsZoom200, "mAnsZoom200", "Vergrößern auf 200%", &TfrmZelvanoMain::mAnsZoom200Execute},
        {&TfrmZelvanoMain::mAnsZoom400, "mAnsZoom400", "Vergrößern auf 400%", &TfrmZelvanoMain::mAnsZoom400Execute},
        {&TfrmZelvanoMain::mAnsZoom1000, "mAnsZoom1000", "Vergrößern auf 1000%",
         &TfrmZelvanoMain::mAnsZoom1000Execute},
    };
    for (const TZoom& z : zoom) {
        QAction* aktion = AktionAnlegen(z.name, QString::fromUtf8(z.text), QKeySequence(), QIcon());
        this->*z.aktion = aktion;
        AktionVerbinden(aktion, z.handler);
    }
    // Check marks: fit exactly while Einpassen is on, 100 % exactly at a fixed
    // zoom of 1; at any other zoom neither, so they form no exclusive group.
    mAnsZoomEinpassen->setCheckable(true);
    mAnsZoom100->setCheckable(true);
}

void TfrmZelvanoMain::AnzeigeVerbinden()
{
    connect(AnzeigeTimer, &QTimer::timeout, this, &TfrmZelvanoMain::AnzeigeTimerTimer, Qt::UniqueConnection);

    AnzeigeBox->setFrameShape(QFrame::NoFrame);
    AnzeigeBox->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    AnzeigeBox->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    // Arrow and page keys belong to the window's own key handling, not to
    // scrolling the box.
    AnzeigeBox->setFocusPolicy(Qt::NoFocus);
    // The display's Left and Top follow the zoom and pan rules; a scroll
    // area's own widget would be moved back by the area on every resize.
    if (AnzeigeBox->widget() == AnzeigeBild)
        AnzeigeBox->takeWidget();
    if (AnzeigeBild->parentWidget() != AnzeigeBox->viewport()) {
        AnzeigeBild->setParent(AnzeigeBox->viewport());
        AnzeigeBild->show();
    }
    AnzeigeBox->viewport()->installEventFilter(this);
    AnzeigeBild->installEventFilter(this);

    connect(AnzeigeBild, &TAnzeigeBild::DoppelKlick, this, &TfrmZelvanoMain::AnzeigeBildDblClick,
            Qt::UniqueConnection);
    connect(AnzeigeBild, &TAnzeigeBild::MausGedrueckt, this, &TfrmZelvanoMain::AnzeigeBildMouseDown,
            Qt::UniqueConnection);
    connect(AnzeigeBild, &TAnzeigeBild::MausBewegt, this, &TfrmZelvanoMain::AnzeigeBildMouseMove,
            Qt::UniqueConnection);
}

bool TfrmZelvanoMain::eventFilter(QObject* objekt, QEvent* ereignis)
{
    if (AnzeigeBild && objekt == AnzeigeBild && ereignis->type() == QEvent::Wheel) {
        // Taken here once, so that the box does not see the same step again.
        auto* rad = static_cast<QWheelEvent*>(ereignis);
        bool handled = false;
        FormMouseWheel(objekt, rad->modifiers(), rad->angleDelta().y(), rad->globalPosition().toPoint(), handled);
        return true;
    }
    if (AnzeigeBox && objekt == AnzeigeBox->viewport()) {
        switch (ereignis->type()) {
        case QEvent::Resize:
            // The box fills panAnzeige: its new size is the panel's.
            panAnzeigeResize();
            break;
        case QEvent::MouseButtonDblClick:
            if (static_cast<QMouseEvent*>(ereignis)->button() == Qt::LeftButton) {
                AnzeigeBildDblClick();
                return true;
            }
            break;
        case QEvent::Wheel: {
            auto* rad = static_cast<QWheelEvent*>(ereignis);
            bool handled = false;
            FormMouseWheel(objekt, rad->modifiers(), rad->angleDelta().y(), rad->globalPosition().toPoint(),
                           handled);
            // The box never scrolls by itself.
            return true;
        }
        default:
            break;
        }
    }
    return QMainWindow::eventFilter(objekt, ereignis);
}

void TfrmZelvanoMain::wheelEvent(QWheelEvent* ereignis)
{
    bool handled = false;
    FormMouseWheel(this, ereignis->modifiers(), ereignis->angleDelta().y(), ereignis->globalPosition().toPoint(),
                   handled);
    ereignis->setAccepted(handled);
}

// ---- Layout -----------------------------------------------------------------

void TfrmZelvanoMain::SetAnzeigeBild()
{
    if (OriginalBild.IsEmpty() || AnzeigeBeschaeftigt)
        return;
    QWidget* box = AnzeigeBox->viewport();
    if (box->width() <= 0 || box->height() <= 0)
        return;
    AnzeigeBeschaeftigt = true;
    // Cleared on every way out, so a failure never freezes the display.
    struct TFrei {
        bool& flag;
        ~TFrei() { flag = false; }
    } frei{AnzeigeBeschaeftigt};

    // The zoom counts the screen's device pixels: 100 % puts one image pixel
    // on one screen pixel also on a scaled screen. The layout is computed in
    // device pixels and placed in the widgets' logical ones.
    const qreal dpr = GeraetePixelVerhaeltnis();
    auto geraet = [dpr](int logisch) { return int(std::lround(logisch * dpr)); };
    auto logisch = [dpr](int geraet) { return int(std::lround(geraet / dpr)); };
    TAnzeigeLage lage;
    lage.BildBreite = OriginalBild.Width();
    lage.BildHoehe = OriginalBild.Height();
    lage.BoxBreite = geraet(box->width());
    lage.BoxHoehe = geraet(box->height());
    lage.Einpassen = Einpassen;
    lage.ZoomFaktor = ZoomFaktor;
    // The exact device size of the last layout, while the display still has it.
    const bool alteGroesseGilt = !m_anzeigeGroesse.isEmpty()
        && QSize(logisch(m_anzeigeGroesse.width()), logisch(m_anzeigeGroesse.height())) == AnzeigeBild->size();
    lage.AltBreite = alteGroesseGilt ? m_anzeigeGroesse.width() : geraet(AnzeigeBild->width());
    lage.AltHoehe = alteGroesseGilt ? m_anzeigeGroesse.height() : geraet(AnzeigeBild->height());
    // Whatever the caller (menu, wheel, key), the point under the cursor stays.
    const QPoint maus = QCursor::pos();
    const QPoint imBild = AnzeigeBild->mapFromGlobal(maus);
    const QPoint inBox = box->mapFromGlobal(maus);
    lage.MausX = geraet(imBild.x());
    lage.MausY = geraet(imBild.y());
    lage.MausBoxX = geraet(inBox.x());
    lage.MausBoxY = geraet(inBox.y());

    const TAnzeigeErgebnis e = AnzeigeLayoutBerechnen(lage);
    ZoomFaktor = e.ZoomFaktor;
    m_anzeigeGroesse = QSize(e.Breite, e.Hoehe);
    AnzeigeBild->setGeometry(logisch(e.Links), logisch(e.Oben), std::max(1, logisch(e.Breite)),
                             std::max(1, logisch(e.Hoehe)));

    if (ZoomFaktor >= 1.0) {
        TBitmap kopie = OriginalBild;
        if (AnzeigeGamma != 0 && BildFarbtiefe == 24)
            BitmapDichte(kopie, AnzeigeGamma);
        QImage bild = kopie.Bild();
        bild.setDevicePixelRatio(dpr);
        AnzeigeBild->SetBild(bild);
    } else if (!AnzeigeTimer->isActive()) {
        // Until the timer fires the picture is stretched as it is. A running
        // timer is not restarted.
        AnzeigeTimer->start();
    }
    Pumpen();
    AnzeigeBeschaeftigt = false;
    CursorSetzen();
    // The status bar shows the zoom the picture is drawn at, also when only
    // a change of the window's size changed it.
    ZoomPanelSetzen();
}

void TfrmZelvanoMain::AnzeigeTimerTimer()
{
    AnzeigeTimer->stop();
    if (OriginalBild.IsEmpty())
        return;
    // Reduced straight to the device pixels the display covers.
    const qreal dpr = GeraetePixelVerhaeltnis();
    QSize ziel(int(std::lround(AnzeigeBild->width() * dpr)), int(std::lround(AnzeigeBild->height() * dpr)));
    if (!m_anzeigeGroesse.isEmpty() && std::abs(m_anzeigeGroesse.width() - ziel.width()) <= dpr
        && std::abs(m_anzeigeGroesse.height() - ziel.height()) <= dpr)
        ziel = m_anzeigeGroesse;
    TBitmap klein;
    BitmapVerkleinern(OriginalBild, klein, std::max(1, ziel.width()), std::max(1, ziel.height()));
    if (AnzeigeGamma != 0 && BildFarbtiefe == 24)
        BitmapDichte(klein, AnzeigeGamma);
    QImage bild = klein.Bild();
    bild.setDevicePixelRatio(dpr);
    AnzeigeBild->SetBild(bild);
}

qreal TfrmZelvanoMain::GeraetePixelVerhaeltnis() const
{
    const qreal verhaeltnis = AnzeigeBox->viewport()->devicePixelRatioF();
    return verhaeltnis > 0 ? verhaeltnis : 1.0;
}

void TfrmZelvanoMain::AnzeigeAusrichten(bool an)
{
    QLayout* spalte = centralWidget() ? centralWidget()->layout() : nullptr;
    if (!spalte)
        return;
    if (!an) {
        spalte->setEnabled(false);
        return;
    }
    // The status bar lies outside the central widget, the progress panel
    // inside it: the window's layout first, so the central one divides the
    // central widget's final height.
    if (QLayout* fensterLayout = layout())
        fensterLayout->activate();
    spalte->setEnabled(true);
    spalte->invalidate();
    spalte->activate();
}

void TfrmZelvanoMain::CursorSetzen()
{
    AnzeigeBild->setCursor(Qt::ArrowCursor);
    if (panAnzeige->width() < AnzeigeBild->width() || panAnzeige->height() < AnzeigeBild->height())
        AnzeigeBild->setCursor(EigenerCursor(2));
    if (Ausschneiden || Fotoschnitt || Festschnitt)
        AnzeigeBild->setCursor(Qt::BlankCursor);
}

void TfrmZelvanoMain::MitVerborgenerAnzeige(const std::function<void()>& dialog)
{
    AnzeigeBild->setVisible(false);
    dialog();
    // Without an image (none loaded yet, the last one deleted, a cancelled
    // scan) there is nothing to show.
    if (BildQuelle > BildQuelleKeine)
        AnzeigeBild->setVisible(true);
}

void TfrmZelvanoMain::panAnzeigeResize()
{
    // In fit mode the zoom follows the window.
    SetAnzeigeBild();
}

// ---- Zoom commands ----------------------------------------------------------

void TfrmZelvanoMain::AnzeigeBildDblClick()
{
    Einpassen = !Einpassen;
    ZoomFaktor = 1.0;
    Pumpen();
    SetAnzeigeBild();
    Pumpen();
    MenuesSetzen();
}

void TfrmZelvanoMain::mAnsZoomEinpassenExecute()
{
    Einpassen = true;
    SetAnzeigeBild();
    MenuesSetzen();
}

void TfrmZelvanoMain::FesterZoom(double faktor)
{
    Einpassen = false;
    ZoomFaktor = faktor;
    SetAnzeigeBild();
    MenuesSetzen();
}

void TfrmZelvanoMain::mAnsZoom10Execute() { FesterZoom(0.1); }
void TfrmZelvanoMain::mAnsZoom25Execute() { FesterZoom(0.25); }
void TfrmZelvanoMain::mAnsZoom50Execute() { FesterZoom(0.5); }
void TfrmZelvanoMain::mAnsZoom100Execute() { FesterZoom(1.0); }
void TfrmZelvanoMain::mAnsZoom150Execute() { FesterZoom(1.5); }
void TfrmZelvanoMain::mAnsZoom200Execute() { FesterZoom(2.0); }
void TfrmZelvanoMain::mAnsZoom400Execute() { FesterZoom(4.0); }
void TfrmZelvanoMain::mAnsZoom1000Execute() { FesterZoom(10.0); }

int TfrmZelvanoMain::RadRasten(int& rest, int wheelDelta)
{
    // Fine-grained wheels and touchpads send many small deltas: they add up
    // to one step per notch of 120. A turn the other way starts afresh.
    if ((rest > 0 && wheelDelta < 0) || (rest < 0 && wheelDelta > 0))
        rest = 0;
    rest += wheelDelta;
    const int schritte = rest / 120;
    rest -= schritte * 120;
    return schritte;
}

void TfrmZelvanoMain::FormMouseWheel(QObject* sender, Qt::KeyboardModifiers umschalt, int wheelDelta,
                                     const QPoint& mausPos, bool& handled)
{
    // A purely sideways scroll is no wheel step.
    if (wheelDelta == 0)
        return;
    const QWidget* box = AnzeigeBox->viewport();
    if (!box->rect().contains(box->mapFromGlobal(mausPos)) || Festschnitt || !isActiveWindow())
        return;
    if (Fotoschnitt) {
        // The ratio frame takes the wheel to change its size.
        RahmenRad(umschalt, wheelDelta, handled);
        return;
    }
    handled = true;
    const int schritte = RadRasten(m_radRest, wheelDelta);
    if (schritte == 0)
        return;
    Einpassen = false;
    ZeichenX = -1;
    ZeichenY = -1;
    for (int i = 0; i < std::abs(schritte); ++i)
        ZoomFaktor = MausradZoom(ZoomFaktor, schritte);
    SetAnzeigeBild();
    MenuesSetzen();
}

// ---- Panning ----------------------------------------------------------------

static bool ModusAktiv()
{
    return Ausschneiden || Fotoschnitt || Festschnitt || WinkelMessen;
}

void TfrmZelvanoMain::AnzeigeBildMouseDown(Qt::MouseButton knopf, Qt::MouseButtons knoepfe,
                                           Qt::KeyboardModifiers umschalt, int X, int Y)
{
    if (knopf == Qt::MiddleButton || (knopf == Qt::LeftButton && !ModusAktiv())) {
        MausStartX = X;
        MausStartY = Y;
        return;
    }
    ModusMausGedrueckt(knopf, X, Y);
}

void TfrmZelvanoMain::AnzeigeBildMouseMove(Qt::MouseButtons knoepfe, Qt::KeyboardModifiers umschalt, int X, int Y)
{
    if (AnzeigeBeschaeftigt || !AnzeigeBild->HatBild())
        return;
    // Exactly one button and no modifier key.
    const bool mitte = knoepfe == Qt::MiddleButton;
    const bool links = knoepfe == Qt::LeftButton && !ModusAktiv();
    if ((!mitte && !links) || (umschalt & ~Qt::KeypadModifier) != Qt::NoModifier) {
        if (!mitte)
            ModusMausBewegt(knoepfe, umschalt, X, Y);
        return;
    }
    // The start point stays: X is relative to the moving picture, so the
    // grabbed point stays under the cursor.
    const QWidget* box = AnzeigeBox->viewport();
    const int neuLinks = PanPosition(AnzeigeBild->x(), X - MausStartX, box->width(), AnzeigeBild->width());
    const int oben = PanPosition(AnzeigeBild->y(), Y - MausStartY, box->height(), AnzeigeBild->height());
    AnzeigeBild->move(neuLinks, oben);
}
