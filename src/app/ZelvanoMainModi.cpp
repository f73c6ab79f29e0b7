// The interaction modes on the displayed image (cut, ratio and fixed crop
// frames, angle line) and the commands that start them and the rotate dialog.
// Figures are inverted into the display picture and removed by inverting
// them again; the working bitmap itself is never drawn on.
#include "ZelvanoMain.h"
#include <QAction>
#include <QApplication>
#include <QCursor>
#include <QLabel>
#include <QPlainTextEdit>
#include <QToolButton>
#include <algorithm>
#include "AnzeigeBild.h"
#include "Global.h"
#include "Menuset.h"
#include "Modi.h"
#include "editing/Drehen.h"
#include "editing/Schneiden.h"
#include "pixelops/Bitmap_Schneiden.h"
#include "pixelops/Runden.h"

void TfrmZelvanoMain::ModiVerbinden()
{
    using F = TfrmZelvanoMain;
    AktionVerbinden(mBeaAusschneiden, &F::mBeaAusschneidenExecute);
    AktionVerbinden(mBeaFotoschnitt, &F::mBeaFotoschnittExecute);
    AktionVerbinden(mBeaDrehen, &F::mBeaDrehenExecute);
    connect(AnzeigeBild, &TAnzeigeBild::MausLosgelassen, this, &TfrmZelvanoMain::AnzeigeBildMouseUp,
            Qt::UniqueConnection);
    memoSchnittinfo->setPlainText(
        QStringLiteral("Die Größe des Schnittrahmens können Sie mit dem Mausrad verändern.\n"
                       "Halten Sie dabei zusätzlich die Shift-Taste gedrückt, verändert sich der Schnittrahmen "
                       "in großen Schritten, bei gedrückter Strg-Taste in Pixelschritten.\n"
                       "Der gesamte Schnittrahmen kann mit den Pfeiltasten auch pixelgenau positioniert werden.\n"
                       "Um das Bild auszuschneiden, drücken Sie die linken Maustaste oder die Enter-Taste."));
    // Focus here would let the memo take shortcuts such as Ctrl+C.
    memoSchnittinfo->setFocusPolicy(Qt::NoFocus);
    memoSchnittinfo->setLineWrapMode(QPlainTextEdit::WidgetWidth);
}

// ---- Canvas -------------------------------------------------------------------

QImage& TfrmZelvanoMain::Leinwand()
{
    return AnzeigeBild->ZeichenBild();
}

void TfrmZelvanoMain::LeinwandFertig()
{
    // A pending reduction would replace the picture under the figures.
    if (AnzeigeTimer->isActive())
        AnzeigeTimerTimer();
}

double TfrmZelvanoMain::LeinwandMass()
{
    // Canvas pixels per image pixel: the full-resolution copy at zoom 1 and
    // above, the reduced copy of the display's size below.
    const QImage& bild = Leinwand();
    if (bild.width() == OriginalBild.Width() && bild.height() == OriginalBild.Height())
        return 1.0;
    return std::min(1.0, ZoomFaktor);
}

QPoint TfrmZelvanoMain::LeinwandPunkt(int X, int Y)
{
    // On the reduced copy canvas pixels are the display's device pixels; on
    // the full-resolution copy they are image pixels, the display's divided
    // by the zoom. Each case computed on its own carries no rounding error
    // of the other's factor.
    const qreal dpr = GeraetePixelVerhaeltnis();
    const double x = X * dpr, y = Y * dpr;
    if (LeinwandMass() < 1.0)
        return QPoint(Runden(x), Runden(y));
    return QPoint(Runden(x / ZoomFaktor), Runden(y / ZoomFaktor));
}

bool TfrmZelvanoMain::FigurDa()
{
    // A redisplay replaced the picture: whatever was drawn went with it.
    return ZeichenX >= 0 && Leinwand().cacheKey() == m_figurSchluessel;
}

void TfrmZelvanoMain::FigurGezeichnet()
{
    m_figurSchluessel = Leinwand().cacheKey();
    AnzeigeBild->update();
}

void TfrmZelvanoMain::Status(const QString& text)
{
    StatusPanel[5]->setText(text);
}

void TfrmZelvanoMain::AnzeigeAuffrischen()
{
    if (OriginalBild.IsEmpty())
        return;
    AnzeigeBild->SetBild(OriginalBild.Bild());
    SetAnzeigeBild();
    ZeichenX = ZeichenY = -1;
}

void TfrmZelvanoMain::ModusFigurLoeschen()
{
    if (!FigurDa())
        return;
    if (Ausschneiden && !m_schnittZieht)
        XorFadenkreuz(Leinwand(), ZeichenX, ZeichenY);
    else if (Fotoschnitt || Festschnitt)
        XorRechteck(Leinwand(), RahmenLinks, RahmenOben, RahmenRechts, RahmenUnten);
    else
        return;
    ZeichenX = ZeichenY = -1;
    AnzeigeBild->update();
}

// ---- Commands -----------------------------------------------------------------

void TfrmZelvanoMain::SchnittModiBeenden(bool schnitt, bool rahmen)
{
    if (schnitt) {
        Ausschneiden = false;
        if (mBeaAusschneiden)
            mBeaAusschneiden->setChecked(false);
        if (tbtAusschneiden)
            tbtAusschneiden->setDown(false);
    }
    if (rahmen) {
        Fotoschnitt = Festschnitt = false;
        if (mBeaFotoschnitt)
            mBeaFotoschnitt->setChecked(false);
        if (tbtFotoschnitt)
            tbtFotoschnitt->setDown(false);
    }
}

void TfrmZelvanoMain::mBeaAusschneidenExecute()
{
    if (Ausschneiden) {
        SchnittModiBeenden(true, false);
        AnzeigeBild->setCursor(Qt::ArrowCursor);
        AnzeigeAuffrischen();
        pnlSchnittinfo->hide();
        return;
    }
    Ausschneiden = true;
    m_schnittZieht = false;
    mBeaAusschneiden->setChecked(true);
    tbtAusschneiden->setDown(true);
    CursorSetzen();
    ZeichenX = ZeichenY = -1;
    // The crosshair appears where the pointer is, without waiting for it to move.
    const QPoint p = AnzeigeBild->mapFromGlobal(QCursor::pos());
    if (AnzeigeBild->rect().contains(p))
        ModusMausBewegt(Qt::NoButton, Qt::NoModifier, p.x(), p.y());
}

void TfrmZelvanoMain::mBeaFotoschnittExecute()
{
    if (Fotoschnitt || Festschnitt) {
        SchnittModiBeenden(false, true);
        AnzeigeBild->setCursor(Qt::ArrowCursor);
        pnlSchnittinfo->hide();
        AnzeigeAuffrischen();
        return;
    }
    if (OriginalBild.IsEmpty())
        return;
    mBeaFotoschnitt->setChecked(true);
    tbtFotoschnitt->setDown(true);
    ZeichenX = ZeichenY = -1;
    EinpassenVorFotoschnitt = Einpassen;
    if (!frmSchneiden)
        frmSchneiden = new TfrmSchneiden(this);
    const int ergebnis = frmSchneiden->exec();
    // Also an accepted close can leave no mode on (no mode chosen, or a
    // ratio with a zero term): the command is then not checked either.
    if (ergebnis == QDialog::Rejected || (!Fotoschnitt && !Festschnitt)) {
        SchnittModiBeenden(false, true);
        CursorSetzen();
        return;
    }
    // The frame starts in the middle of the display. Moving the pointer
    // there may do nothing on some desktops, so the frame is placed here
    // and not by the resulting mouse move.
    const QPoint mitte(panAnzeige->width() / 2, panAnzeige->height() / 2);
    QCursor::setPos(panAnzeige->mapToGlobal(mitte));
    const QPoint imBild = AnzeigeBild->mapFrom(panAnzeige, mitte);
    RahmenPerTaste = false;
    RahmenBewegen(imBild.x(), imBild.y());
}

void TfrmZelvanoMain::mBeaDrehenExecute()
{
    if (OriginalBild.IsEmpty())
        return;
    DrehWinkel = 0;
    if (!frmDrehen)
        frmDrehen = new TfrmDrehen(this);
    MitVerborgenerAnzeige([this] {
        frmDrehen->exec();
        if (BildBearbeitet) {
            AnzeigeBild->SetBild(OriginalBild.Bild());
            SetAnzeigeBild();
            MenuesSetzen();
        }
    });
    // "Winkel messen" closed the dialog: the set square shows the line mode.
    if (WinkelMessen)
        AnzeigeBild->setCursor(EigenerCursor(1));
}

// ---- Mouse --------------------------------------------------------------------

bool TfrmZelvanoMain::ModusMausGedrueckt(Qt::MouseButton knopf, int X, int Y)
{
    if (AnzeigeBeschaeftigt || !AnzeigeBild->HatBild() || OriginalBild.IsEmpty())
        return false;
    if (knopf == Qt::MiddleButton)
        return false;
    if (knopf == Qt::LeftButton && Ausschneiden) {
        LeinwandFertig();
        if (FigurDa())
            XorFadenkreuz(Leinwand(), ZeichenX, ZeichenY);
        AnzeigeBild->update();
        // The rectangle starts at the last crosshair position; nothing is
        // drawn yet, and a release without a drag cuts nothing.
        ZeichenX = ZeichenY = -1;
        SchnittX = SchnittY = 0;
        m_schnittZieht = true;
        return true;
    }
    if (knopf == Qt::LeftButton && (Fotoschnitt || Festschnitt)) {
        RahmenSchneiden();
        return true;
    }
    if (WinkelMessen) {
        LeinwandFertig();
        const QPoint p = LeinwandPunkt(X, Y);
        LinieStartX = ZeichenX = p.x();
        LinieStartY = ZeichenY = p.y();
        // The one-pixel line keeps each following erase in step with its draw.
        XorLinie(Leinwand(), LinieStartX, LinieStartY, ZeichenX, ZeichenY);
        FigurGezeichnet();
        return true;
    }
    return false;
}

void TfrmZelvanoMain::ModusMausBewegt(Qt::MouseButtons knoepfe, Qt::KeyboardModifiers umschalt, int X, int Y)
{
    if (AnzeigeBeschaeftigt || !AnzeigeBild->HatBild() || OriginalBild.IsEmpty())
        return;
    if (Ausschneiden)
        SchnittBewegen(knoepfe, umschalt, X, Y);
    else if (Fotoschnitt || Festschnitt)
        RahmenBewegen(X, Y);
    else if (WinkelMessen && knoepfe == Qt::LeftButton && (umschalt & ~Qt::KeypadModifier) == Qt::NoModifier)
        LinieBewegen(X, Y);
}

void TfrmZelvanoMain::SchnittBewegen(Qt::MouseButtons knoepfe, Qt::KeyboardModifiers umschalt, int X, int Y)
{
    LeinwandFertig();
    QImage& bild = Leinwand();
    const double m = LeinwandMass();
    const QPoint p = LeinwandPunkt(X, Y);
    int cx = p.x(), cy = p.y();
    const bool ziehen = m_schnittZieht && knoepfe == Qt::LeftButton
        && (umschalt & ~Qt::KeypadModifier) == Qt::NoModifier;
    if (!ziehen) {
        if (FigurDa())
            XorFadenkreuz(bild, ZeichenX, ZeichenY);
        XorFadenkreuz(bild, cx, cy);
        FigurGezeichnet();
        ZeichenX = cx;
        ZeichenY = cy;
        SchnittLinks = std::clamp(Runden(cx / m), 0, OriginalBild.Width() - 1);
        SchnittOben = std::clamp(Runden(cy / m), 0, OriginalBild.Height() - 1);
        Status(PositionsText(SchnittLinks, SchnittOben));
        return;
    }
    // The moving corner stays on the displayed image.
    cx = std::clamp(cx, 0, bild.width());
    cy = std::clamp(cy, 0, bild.height());
    const int sx = Runden(m * SchnittLinks), sy = Runden(m * SchnittOben);
    if (FigurDa())
        XorRechteck(bild, sx, sy, ZeichenX, ZeichenY);
    XorRechteck(bild, sx, sy, cx, cy);
    FigurGezeichnet();
    ZeichenX = cx;
    ZeichenY = cy;
    // The canvas edge is the image's edge, also where the reduced display
    // rounded a last partial pixel away.
    const int w = OriginalBild.Width(), h = OriginalBild.Height();
    SchnittX = (cx >= bild.width() ? w : std::clamp(Runden(cx / m), 0, w)) - SchnittLinks;
    SchnittY = (cy >= bild.height() ? h : std::clamp(Runden(cy / m), 0, h)) - SchnittOben;
    Status(GroessenText(SchnittX, SchnittY));
}

void TfrmZelvanoMain::RahmenLoeschen()
{
    if (FigurDa())
        XorRechteck(Leinwand(), RahmenLinks, RahmenOben, RahmenRechts, RahmenUnten);
    ZeichenX = ZeichenY = -1;
}

void TfrmZelvanoMain::RahmenZeichnen()
{
    const long double m = LeinwandMass();
    RahmenLinks = Runden(SchnittLinks * m);
    RahmenOben = Runden(SchnittOben * m);
    RahmenRechts = Runden(SchnittLinks * m + SchnittX * m);
    RahmenUnten = Runden(SchnittOben * m + SchnittY * m);
    XorRechteck(Leinwand(), RahmenLinks, RahmenOben, RahmenRechts, RahmenUnten);
    FigurGezeichnet();
    ZeichenX = SchnittLinks;
    ZeichenY = SchnittOben;
    Status(RahmenText(SchnittLinks, SchnittOben, SchnittX, SchnittY));
}

void TfrmZelvanoMain::RahmenBewegen(int X, int Y)
{
    LeinwandFertig();
    RahmenLoeschen();
    if (!RahmenPerTaste) {
        const long double z = ZoomFaktor;
        const qreal dpr = GeraetePixelVerhaeltnis();
        SchnittLinks = RahmenZentrieren(X * dpr / z, SchnittX, OriginalBild.Width());
        SchnittOben = RahmenZentrieren(Y * dpr / z, SchnittY, OriginalBild.Height());
    }
    RahmenPerTaste = false;
    RahmenZeichnen();
}

void TfrmZelvanoMain::LinieBewegen(int X, int Y)
{
    LeinwandFertig();
    const QPoint p = LeinwandPunkt(X, Y);
    const int cx = p.x(), cy = p.y();
    if (FigurDa())
        XorLinie(Leinwand(), LinieStartX, LinieStartY, ZeichenX, ZeichenY);
    XorLinie(Leinwand(), LinieStartX, LinieStartY, cx, cy);
    FigurGezeichnet();
    ZeichenX = cx;
    ZeichenY = cy;
    DrehWinkel = WinkelFalten(LinieStartX, LinieStartY, cx, cy);
    Status(WinkelText(DrehWinkel));
}

void TfrmZelvanoMain::AnzeigeBildMouseUp(Qt::MouseButton knopf, Qt::MouseButtons knoepfe,
                                         Qt::KeyboardModifiers umschalt, int X, int Y)
{
    if (knopf == Qt::LeftButton && Ausschneiden && m_schnittZieht) {
        m_schnittZieht = false;
        SchnittModiBeenden(true, false);
        // Clipped to the image: at small zooms the last display pixel can
        // round to a column beyond it.
        const QRect r = SchnittRechteck(SchnittLinks, SchnittOben, SchnittLinks + SchnittX,
                                        SchnittOben + SchnittY, OriginalBild.Width(), OriginalBild.Height());
        if (r.isEmpty()) {
            // A click or a straight line would leave no image.
            AnzeigeAuffrischen();
            MenuesSetzen();
            return;
        }
        RueckgaengigSpeichern(*Gear1, OriginalBild, BildFarbtiefe);
        BitmapSchneiden(OriginalBild, r.left(), r.top(), r.right() + 1, r.bottom() + 1);
        ZoomFaktor = 1.0;
        Einpassen = true;
        BildBearbeitet = true;
        AnzeigeAuffrischen();
        MenuesSetzen();
        return;
    }
    if (WinkelMessen) {
        if (FigurDa())
            XorLinie(Leinwand(), LinieStartX, LinieStartY, ZeichenX, ZeichenY);
        AnzeigeBild->update();
        ZeichenX = ZeichenY = -1;
        WinkelMessen = false;
        CursorSetzen();
        if (!frmDrehen)
            frmDrehen = new TfrmDrehen(this);
        frmDrehen->exec();
        if (BildBearbeitet) {
            AnzeigeAuffrischen();
            MenuesSetzen();
        }
        if (WinkelMessen)
            AnzeigeBild->setCursor(EigenerCursor(1));
    }
}

void TfrmZelvanoMain::RahmenSchneiden()
{
    if (OriginalBild.IsEmpty())
        return;
    const int w = OriginalBild.Width(), h = OriginalBild.Height();
    // A frame placed by an earlier mode may lie partly outside this image.
    SchnittX = std::clamp(SchnittX, 1, w);
    SchnittY = std::clamp(SchnittY, 1, h);
    SchnittLinks = std::clamp(SchnittLinks, 0, w - SchnittX);
    SchnittOben = std::clamp(SchnittOben, 0, h - SchnittY);
    pnlSchnittinfo->hide();
    RueckgaengigSpeichern(*Gear1, OriginalBild, BildFarbtiefe);
    BitmapSchneiden(OriginalBild, SchnittLinks, SchnittOben, SchnittLinks + SchnittX, SchnittOben + SchnittY);
    Einpassen = EinpassenVorFotoschnitt;
    SchnittModiBeenden(false, true);
    BildBearbeitet = true;
    AnzeigeAuffrischen();
    MenuesSetzen();
}

// ---- Keys and wheel -----------------------------------------------------------

void TfrmZelvanoMain::ModusTaste(int taste)
{
    const bool rahmen = Fotoschnitt || Festschnitt;
    if (!rahmen && !Ausschneiden)
        return;
    if (OriginalBild.IsEmpty())
        return;
    if (rahmen && (taste == Qt::Key_Return || taste == Qt::Key_Enter)) {
        RahmenSchneiden();
        return;
    }
    int dx = 0, dy = 0;
    switch (taste) {
    case Qt::Key_Right: dx = 1; break;
    case Qt::Key_Left: dx = -1; break;
    case Qt::Key_Down: dy = 1; break;
    case Qt::Key_Up: dy = -1; break;
    default: return;
    }
    const int w = OriginalBild.Width(), h = OriginalBild.Height();
    QPoint zeiger = QCursor::pos();
    const QPoint ursprung = AnzeigeBild->mapToGlobal(QPoint(0, 0));
    if (rahmen) {
        SchnittLinks = std::max(0, std::min(SchnittLinks + dx, w - SchnittX));
        SchnittOben = std::max(0, std::min(SchnittOben + dy, h - SchnittY));
        RahmenPerTaste = true;
        zeiger += QPoint(dx, dy);
        QCursor::setPos(zeiger);
        // Redrawn here at the key's position; a mouse move the pointer
        // warp may cause keeps that position as well.
        LeinwandFertig();
        RahmenLoeschen();
        RahmenZeichnen();
        return;
    }
    // The cut mode moves the pointer, and with it the crosshair; never past
    // the image's left or top edge.
    if ((dx < 0 && zeiger.x() <= ursprung.x()) || (dy < 0 && zeiger.y() <= ursprung.y()))
        return;
    zeiger += QPoint(dx, dy);
    QCursor::setPos(zeiger);
    const QPoint p = AnzeigeBild->mapFromGlobal(zeiger);
    SchnittBewegen(QApplication::mouseButtons(), Qt::NoModifier, p.x(), p.y());
}

void TfrmZelvanoMain::RahmenRad(Qt::KeyboardModifiers umschalt, int wheelDelta, bool& handled)
{
    handled = true;
    if (OriginalBild.IsEmpty() || !AnzeigeBild->HatBild())
        return;
    const int schritte = RadRasten(m_rahmenRadRest, wheelDelta);
    if (schritte == 0)
        return;

    LeinwandFertig();
    RahmenLoeschen();
    const int w = OriginalBild.Width(), h = OriginalBild.Height();
    const Qt::KeyboardModifiers tasten = umschalt & (Qt::ShiftModifier | Qt::ControlModifier | Qt::AltModifier);
    int s = std::max(1, Runden(w / 100.0L));
    if (tasten == Qt::ShiftModifier)
        s = std::max(1, Runden(w / 20.0L));
    else if (tasten == Qt::ControlModifier)
        s = 1;
    for (int i = 0; i < std::abs(schritte); ++i)
        RahmenRadGroesse(SchnittX, SchnittY, s, schritte > 0, SchnittLinks, SchnittOben, w, h,
                         SchnittVerhaeltnis);
    // The frame keeps its left and top edge; the pointer goes to its centre.
    RahmenPerTaste = true;
    RahmenZeichnen();
    const qreal dpr = GeraetePixelVerhaeltnis();
    const long double z = ZoomFaktor;
    const QPoint mitte(Runden((SchnittLinks + SchnittX / 2.0L) * z / dpr),
                       Runden((SchnittOben + SchnittY / 2.0L) * z / dpr));
    QCursor::setPos(AnzeigeBild->mapToGlobal(mitte));
    Status(GroessenText(SchnittX, SchnittY));
    pnlSchnittinfo->hide();
}
