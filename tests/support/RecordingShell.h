#pragma once

#include "platform/Shell.h"

#include <QList>

namespace vexa::test {

// Notes what the program asked the desktop to open; opens nothing.
class RecordingShell final : public Shell {
public:
    bool Open(const QUrl& url) override
    {
        opened.append(url);
        return result;
    }
    QList<QUrl> opened;
    // What Open answers: false plays a desktop without a handler.
    bool result = true;
};

} // namespace vexa::test
