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
        return true;
    }
    QList<QUrl> opened;
};

} // namespace vexa::test
