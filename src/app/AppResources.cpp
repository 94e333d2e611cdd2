#include "AppResources.h"

#include <QtGlobal>

// Resources live in a static library; naming the initializer keeps the
// linker from dropping them. Not allowed inside a namespace.
static void InitVexaResources()
{
    Q_INIT_RESOURCE(vexa);
}

namespace vexa {

void InitAppResources()
{
    InitVexaResources();
}

} // namespace vexa
