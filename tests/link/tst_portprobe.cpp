#include "FakeSerialDevice.h"
#include "ScriptedUser.h"
#include "app/PortDiscovery.h"
#include "link/SerialPort.h"
#include "platform/PortDescription.h"

#include <QtTest>

using namespace vexa;
using namespace vexa::test;

class TestPortProbe : public QObject {
    Q_OBJECT

private slots:
    void listsOpenablePortsInOrder()
    {
        ListedPorts source;
        source.ports = {{"ttyUSB0", "USB-Serial Controller", "USB"},
                        {"ttyS0", "ttyS0", "PNP"},
                        {"ttyS1", "", "PLATFORM"},
                        {"ttyUSB1", "Adapter", "USB"}};
        for (int i = 0; i < 200; ++i)
            source.ports.push_back({QString("ttyV%1").arg(i), "", "virtual"});
        VirtualClock clock;
        FakeSerialDevice device(clock);
        SerialPort probe(device, clock);
        PortTable table;
        QStringList items;
        // The port this program holds is busy to a probe, and listed without one.
        ProbeContext context{probe, 115200, table, items, "/dev/ttyUSB1"};
        device.FailOpenFor("/dev/ttyS0", "Device or resource busy");
        device.FailOpenFor("/dev/ttyUSB1", "busy");
        EnumerateSerialPorts(source,
                             [&](const PortDescription& d) { return ProbePort(context, d); });

        QCOMPARE(items.mid(0, 3),
                 QStringList({"ttyUSB0   USB-Serial Controller   USB", "ttyS1   ttyS1   PLATFORM",
                              "ttyUSB1   Adapter   USB"}));
        // Each probe opens at the chosen speed and closes again.
        QCOMPARE(device.OpenAttempts().mid(0, 3),
                 QStringList({"/dev/ttyUSB0", "/dev/ttyS0", "/dev/ttyS1"}));
        QCOMPARE(device.Settings().baud, 115200u);
        QVERIFY(!device.IsOpen());
        // The table holds 200 (the busy ttyS0 is not one); the ports after are not offered.
        QCOMPARE(int(items.size()), PortTable::Capacity);
        QCOMPARE(table.names.last(), QString("ttyV196"));
    }
};

QTEST_GUILESS_MAIN(TestPortProbe)
#include "tst_portprobe.moc"
