#pragma once

#include <QUrl>

namespace vexa {

// The desktop's "open" action: mail addresses, web pages, documents.
class Shell {
public:
    virtual ~Shell() = default;
    // Hands url to the system's handler and returns at once.
    virtual bool Open(const QUrl& url) = 0;
};

class DesktopShell final : public Shell {
public:
    bool Open(const QUrl& url) override;
};

} // namespace vexa
