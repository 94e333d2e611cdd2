#include "FakeSerialDevice.h"
#include "ScriptedUser.h"
#include "app/PortDiscovery.h"
#include "link/SerialPort.h"
#include "platform/PortDescription.h"

#include <QtTest>

using namespace vexa;
using namespace vexa::test;

namespace {

struct ProbeRig {
    VirtualClock clock;
    FakeSerialDevice device{clock};
    SerialPort probe{device, clock};
    PortTable table;
    QStringList items;
    ProbeContext context{probe, 115200, table, items, {}};

    int Run(const PortSource& source)
    {
        int visited = 0;
        EnumerateSerialPorts(source, [&](const PortDescription& d) {
            ++visited;
            return ProbePort(context, d);
        });
        return visited;
    }
};

} // namespace

class TestPortProbe : public QObject {
    Q_OBJECT

private slots:
    void listsOpenablePortsInOrder()
    {
        ListedPorts source;
        source.ports = {{"ttyUSB0", "USB-Serial Controller", "USB"},
                        {"ttyS0", "ttyS0", "PNP"},
                        {"ttyS1", "", "PLATFORM"},
                        {"ttyUSB1", "Adapter", "USB"},
                        {"/tmp/vexa-ports/sim", "Vexa module emulator", "virtual"}};
        ProbeRig r;
        r.device.FailOpenFor("/dev/ttyS0", "Device or resource busy");
        // The port this program holds is busy to a probe, and listed without one.
        r.context.heldPath = "/dev/ttyUSB1";
        r.device.FailOpenFor("/dev/ttyUSB1", "busy");
        QCOMPARE(r.Run(source), 5);
        QCOMPARE(r.table.names,
                 QStringList({"ttyUSB0", "ttyS1", "ttyUSB1", "/tmp/vexa-ports/sim"}));
        QCOMPARE(r.items, QStringList({"ttyUSB0   USB-Serial Controller   USB",
                                       "ttyS1   ttyS1   PLATFORM", "ttyUSB1   Adapter   USB",
                                       "/tmp/vexa-ports/sim   Vexa module emulator   virtual"}));
        // Each probe opens at the chosen speed and closes again.
        QCOMPARE(r.device.OpenAttempts(),
                 QStringList({"/dev/ttyUSB0", "/dev/ttyS0", "/dev/ttyS1", "/tmp/vexa-ports/sim"}));
        QCOMPARE(r.device.Settings().baud, 115200u);
        QVERIFY(!r.device.IsOpen());
    }

    void tableHoldsTwoHundred()
    {
        ListedPorts source;
        for (int i = 0; i < 205; ++i)
            source.ports.push_back({QString("ttyV%1").arg(i), "", "virtual"});
        ProbeRig r;
        QCOMPARE(r.Run(source), 205);
        QCOMPARE(r.table.Count(), PortTable::Capacity);
        QCOMPARE(r.items.size(), 200);
        QCOMPARE(r.table.names.last(), QString("ttyV199"));
    }

    void callbackCanStopTheEnumeration()
    {
        ListedPorts source;
        source.ports = {{"a", "", ""}, {"b", "", ""}, {"c", "", ""}};
        QStringList seen;
        QVERIFY(EnumerateSerialPorts(source, [&](const PortDescription& d) {
            seen << d.portName + "/" + d.friendlyName;
            return false;
        }));
        QCOMPARE(seen, QStringList({"a/a"}));
        QVERIFY(!EnumerateSerialPorts(source, {}));
    }
};

QTEST_GUILESS_MAIN(TestPortProbe)
#include "tst_portprobe.moc"
