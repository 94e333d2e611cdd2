// Arbitrary bytes as the module's replies to every exchange the program
// makes: the reads must stay in bounds whatever arrives.
#include "LinkRig.h"
#include "link/ModuleActions.h"
#include "link/ModuleConfig.h"

#include <cstddef>
#include <cstdint>

using namespace vexa;
using namespace vexa::test;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size == 0)
        return 0;
    const QByteArray bytes(reinterpret_cast<const char*>(data + 1), int(size - 1));
    LinkRig rig;
    FakeSerialDevice& device = rig.device;
    SerialPort& port = rig.port;
    ModuleLink& link = rig.link;

    // Replies trickle in over time so that drains do not swallow them all.
    const int chunk = 1 + data[0] % 32;
    for (int i = 0; i < bytes.size(); i += chunk)
        device.Queue(bytes.mid(i, chunk), 15);

    switch (data[0] % 5) {
    case 0:
        DownloadModuleInfo(link);
        break;
    case 1:
        ReadModuleConfig(link);
        break;
    case 2: {
        char line[12];
        while (device.Pending() > 0)
            if (port.ReadLine(line, 11, 50) == 0 && device.Pending() == 0)
                break;
        break;
    }
    case 3: {
        char buf[40];
        port.ReadCount(buf, data[0] % 39 + 1, 500);
        port.WaitForText("!", 1, 300);
        break;
    }
    default:
        ScanInt(bytes.constData());
        ParseCalibrationAltitude(QString::fromLatin1(bytes));
        break;
    }
    return 0;
}
