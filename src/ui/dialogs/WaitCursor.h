#pragma once
// The wait cursor for the lifetime of the object. UI thread only.
#include <QApplication>
#include <QCursor>

namespace tonmira::ui {

class WaitCursor {
public:
    WaitCursor() { QApplication::setOverrideCursor(QCursor(Qt::WaitCursor)); }
    ~WaitCursor() { QApplication::restoreOverrideCursor(); }
    WaitCursor(const WaitCursor&) = delete;
    WaitCursor& operator=(const WaitCursor&) = delete;
};

}  // namespace tonmira::ui
