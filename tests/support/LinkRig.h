#pragma once

#include "FakeSerialDevice.h"
#include "link/ModuleLink.h"

namespace vexa::test {

// The module's line, open, over a scripted device in virtual time.
struct LinkRig {
    VirtualClock clock;
    FakeSerialDevice device{clock};
    SerialPort port{device, clock};
    ModuleLink link{port};
    LinkRig() { port.Open("/dev/ttyFAKE", 115200); }
};

} // namespace vexa::test
