// The main window's keyboard: every key reaches the window before its
// controls; presses quit or drive the cut and crop-frame modes, releases
// step through the images, pages and views.
#include "ZelvanoMain.h"
#include <QApplication>
#include <QKeyEvent>
#include "Modi.h"

namespace {

// The main window sees every key before its controls do, so a focused child
// cannot take the keys away: presses go to FormKeyDown, releases to FormKeyUp.
class TTastenVorschau : public QObject {
public:
    explicit TTastenVorschau(TfrmZelvanoMain* fenster) : QObject(fenster), m_fenster(fenster) {}

protected:
    bool eventFilter(QObject* ziel, QEvent* ereignis) override
    {
        const bool druck = ereignis->type() == QEvent::KeyPress;
        if (!druck && ereignis->type() != QEvent::KeyRelease)
            return false;
        auto* widget = qobject_cast<QWidget*>(ziel);
        if (!widget || widget->window() != m_fenster || QApplication::activeModalWidget()
            || QApplication::activePopupWidget())
            return false;
        auto* taste = static_cast<QKeyEvent*>(ereignis);
        if (druck) {
            int code = taste->key();
            m_fenster->FormKeyDown(code, taste->modifiers());
            return true;
        }
        // One step per press: a held key repeats, but only the real release counts.
        if (taste->isAutoRepeat())
            return false;
        int code = taste->key();
        m_fenster->FormKeyUp(code, taste->modifiers());
        return code == 0;
    }

private:
    TfrmZelvanoMain* m_fenster;
};

bool ModusAn()
{
    return Ausschneiden || Fotoschnitt || Festschnitt;
}

} // namespace

void TfrmZelvanoMain::TastenVorschauAnlegen()
{
    if (m_tastenVorschau)
        return;
    m_tastenVorschau = new TTastenVorschau(this);
    qApp->installEventFilter(m_tastenVorschau);
}

void TfrmZelvanoMain::FormKeyDown(int& taste, Qt::KeyboardModifiers umschalt)
{
    Q_UNUSED(umschalt);
    if (taste == Qt::Key_Escape) {
        mDatBeendenExecute();
    } else if (ModusAn()) {
        // Arrows move the frame or the crosshair, Enter crops.
        ModusTaste(taste);
    }
    taste = 0;
}

void TfrmZelvanoMain::FormKeyUp(int& taste, Qt::KeyboardModifiers umschalt)
{
    if (BildQuelle == BildQuelleKeine || ModusAn())
        return;
    const bool ziffernblock = umschalt & Qt::KeypadModifier;
    switch (taste) {
    case Qt::Key_Right: mAnsBildWeiterExecute(); break;
    case Qt::Key_Left: mAnsBildZurueckExecute(); break;
    case Qt::Key_Down: mAnsSeiteVorExecute(); break;
    case Qt::Key_Up: mAnsSeiteZurueckExecute(); break;
    case Qt::Key_Space: mAnsVollbildExecute(); break;
    case Qt::Key_Insert:
    case Qt::Key_Minus: AnzeigeBildDblClick(); break;
    case Qt::Key_0:
        // Only the 0 of the numeric pad toggles the fit, not the one above the letters.
        if (!ziffernblock)
            return;
        AnzeigeBildDblClick();
        break;
    default: return;
    }
    taste = 0;
}
