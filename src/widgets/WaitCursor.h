#pragma once

#include <QApplication>

namespace vexa {

// Shown while a handler blocks the interface.
class WaitCursor {
public:
    WaitCursor() { QApplication::setOverrideCursor(Qt::WaitCursor); }
    ~WaitCursor() { QApplication::restoreOverrideCursor(); }
    WaitCursor(const WaitCursor&) = delete;
    WaitCursor& operator=(const WaitCursor&) = delete;

    // The normal cursor for a question asked in the middle of blocking work.
    class Pause {
    public:
        Pause() { QApplication::setOverrideCursor(Qt::ArrowCursor); }
        ~Pause() { QApplication::restoreOverrideCursor(); }
        Pause(const Pause&) = delete;
        Pause& operator=(const Pause&) = delete;
    };
};

} // namespace vexa
