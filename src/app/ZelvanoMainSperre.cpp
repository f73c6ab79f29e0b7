#include "ZelvanoMainSperre.h"
#include <QApplication>
#include <QWidget>
#include "ZelvanoMain.h"

TBeschaeftigtSperre::TBeschaeftigtSperre(TfrmZelvanoMain* fenster) : m_fenster(fenster)
{
    qApp->installEventFilter(this);
}

TBeschaeftigtSperre::~TBeschaeftigtSperre()
{
    qApp->removeEventFilter(this);
}

bool TBeschaeftigtSperre::eventFilter(QObject* ziel, QEvent* ereignis)
{
    switch (ereignis->type()) {
    case QEvent::KeyPress:
    case QEvent::KeyRelease:
    case QEvent::Shortcut:
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonDblClick:
    case QEvent::MouseButtonRelease:
    case QEvent::Wheel:
    case QEvent::DragEnter:
    case QEvent::DragMove:
    case QEvent::Drop:
    case QEvent::Close:
    case QEvent::ContextMenu:
        break;
    default:
        return false;
    }
    auto* widget = qobject_cast<QWidget*>(ziel);
    if (!widget || widget->window() != m_fenster)
        return false;
    ereignis->ignore();
    return true;
}
