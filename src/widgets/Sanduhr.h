#pragma once
#include <QApplication>

// The hourglass while a window works; the normal cursor comes back on every
// way out of the scope, also when the work ends early or throws. Without a
// GUI application (tools, the batch benchmark) it does nothing.
struct TSanduhr {
    TSanduhr()
    {
        if (m_aktiv)
            QApplication::setOverrideCursor(Qt::WaitCursor);
    }
    ~TSanduhr()
    {
        if (m_aktiv)
            QApplication::restoreOverrideCursor();
    }
    TSanduhr(const TSanduhr&) = delete;
    TSanduhr& operator=(const TSanduhr&) = delete;

private:
    const bool m_aktiv = qobject_cast<QGuiApplication*>(QCoreApplication::instance()) != nullptr;
};
