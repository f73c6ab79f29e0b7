#pragma once
#include <QApplication>
#include <QThread>
#include <QTimer>
#include <QWidget>
#include <QString>
#include <QtTest/QTest>
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

// Acts on the visible top-level window of type T named name once it is open,
// for windows that are not run modally (or not by exec()). Scoped like
// TImModalenDialog: a window that never opened leaves no timer behind.
template <class T> class TWennOffen {
public:
    TWennOffen(const char* name, std::function<void(T*)> aktion)
        : m_name(QString::fromLatin1(name)), m_aktion(std::move(aktion))
    {
        QObject::connect(&m_timer, &QTimer::timeout, [this] {
            for (QWidget* w : QApplication::topLevelWidgets())
                if (auto* t = qobject_cast<T*>(w); t && t->isVisible() && t->objectName() == m_name) {
                    m_timer.stop();
                    m_aktion(t);
                    return;
                }
        });
        m_timer.start(10);
    }
    TWennOffen(const TWennOffen&) = delete;
    TWennOffen& operator=(const TWennOffen&) = delete;

private:
    QString m_name;
    std::function<void(T*)> m_aktion;
    QTimer m_timer;
};

// Activates the window as the window system does when the user brings it to
// the front, and waits until it receives the keys. A window hidden meanwhile
// stays the active one on the offscreen platform until another takes over.
inline bool FensterAktivieren(QWidget* fenster)
{
    fenster->activateWindow();
    return QTest::qWaitFor([fenster] { return QApplication::activeWindow() == fenster; });
}
