#include "ReglerVorschau.h"
#include <QCoreApplication>
#include <QEvent>
#include <QSlider>

namespace {

// Drops the keys meant for one window while it lives.
class TTastenSperre : public QObject {
public:
    explicit TTastenSperre(QWidget* fenster) : m_fenster(fenster)
    {
        QCoreApplication::instance()->installEventFilter(this);
    }
    ~TTastenSperre() override { QCoreApplication::instance()->removeEventFilter(this); }

protected:
    bool eventFilter(QObject* ziel, QEvent* ereignis) override
    {
        if (ereignis->type() != QEvent::KeyPress && ereignis->type() != QEvent::KeyRelease)
            return false;
        auto* widget = qobject_cast<QWidget*>(ziel);
        return widget && widget->window() == m_fenster;
    }

private:
    QWidget* m_fenster;
};

} // namespace

void ReglerVorschau(QSlider* regler, const std::function<void()>& vorschau)
{
    QWidget* fenster = regler->window();
    const bool fokus = fenster->focusWidget() == regler;
    {
        TTastenSperre sperre(fenster);
        regler->setEnabled(false);
        QCoreApplication::processEvents();
        vorschau();
    }
    if (fokus && regler->isEnabled())
        regler->setFocus(Qt::OtherFocusReason);
}
