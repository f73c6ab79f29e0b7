#pragma once
#include <QApplication>
#include <QThread>
#include <QTimer>
#include <QWidget>
#include <functional>

// Acts on the active modal dialog once that dialog's own event loop runs.
// A single shot after a fixed delay can fire while the dialog is still being
// set up (its show handler processes events) on a busy machine; closed then,
// the dialog is shown afterwards and exec() waits for ever. The timer ends
// with this object, so a dialog that never opened leaves nothing behind to
// answer a later one.
class TImModalenDialog {
public:
    explicit TImModalenDialog(std::function<void(QWidget*)> aktion)
        : m_aktion(std::move(aktion)), m_ebene(QThread::currentThread()->loopLevel())
    {
        QObject::connect(&m_timer, &QTimer::timeout, [this] {
            QWidget* d = QApplication::activeModalWidget();
            if (!d || !d->isVisible() || QThread::currentThread()->loopLevel() <= m_ebene)
                return;
            m_timer.stop();
            m_aktion(d);
        });
        m_timer.start(10);
    }

private:
    std::function<void(QWidget*)> m_aktion;
    int m_ebene;
    QTimer m_timer;
};
