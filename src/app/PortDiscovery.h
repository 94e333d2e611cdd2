#pragma once

#include "platform/PortDescription.h"

#include <functional>

namespace vexa {

// Called once per port; return false to stop the enumeration.
using PortCallback = std::function<bool(const PortDescription&)>;

// Hands every port the source knows to callback, in the source's order.
// Returns false when no callback is given.
bool EnumerateSerialPorts(const PortSource& source, const PortCallback& callback);

} // namespace vexa
