#include "PortDiscovery.h"

namespace vexa {

bool EnumerateSerialPorts(const PortSource& source, const PortCallback& callback)
{
    if (!callback)
        return false;
    for (const PortDescription& port : source.ListPorts()) {
        PortDescription d = port;
        if (d.friendlyName.isEmpty())
            d.friendlyName = d.portName;
        if (!callback(d))
            break;
    }
    return true;
}

} // namespace vexa
