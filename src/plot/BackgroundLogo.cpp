#include "BackgroundLogo.h"

// The resource lives in a static library; registering it by name keeps the
// linker from dropping it. Q_INIT_RESOURCE must be used outside a namespace.
static void RegisterPlotResources()
{
    Q_INIT_RESOURCE(plot);
}

namespace vexa {

QImage BackgroundLogo()
{
    static const bool registered = (RegisterPlotResources(), true);
    Q_UNUSED(registered);
    // Stored with a palette; stretching that on every repaint costs a conversion each time.
    return QImage(QStringLiteral(":/vexa/plot/background-logo.png"))
        .convertToFormat(QImage::Format_RGB32);
}

} // namespace vexa
