#pragma once
#include <QApplication>

// The hourglass while an editing window works; the normal cursor comes back
// on every way out of the scope.
struct TSanduhr {
    TSanduhr() { QApplication::setOverrideCursor(Qt::WaitCursor); }
    ~TSanduhr() { QApplication::restoreOverrideCursor(); }
    TSanduhr(const TSanduhr&) = delete;
    TSanduhr& operator=(const TSanduhr&) = delete;
};
