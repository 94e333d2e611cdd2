#include "Shell.h"

#include <QDesktopServices>

namespace vexa {

bool DesktopShell::Open(const QUrl& url)
{
    return QDesktopServices::openUrl(url);
}

} // namespace vexa
