#pragma once
#include <QApplication>

// The hourglass while a window works; the normal cursor comes back on every
// way out of the scope, also when the work ends early or throws.
struct TSanduhr {
    TSanduhr() { QApplication::setOverrideCursor(Qt::WaitCursor); }
    ~TSanduhr() { QApplication::restoreOverrideCursor(); }
    TSanduhr(const TSanduhr&) = delete;
    TSanduhr& operator=(const TSanduhr&) = delete;
};
