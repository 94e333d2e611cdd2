// The real serial stack (QSerialPort) against a pseudo-terminal that plays the module.
#include "link/ModuleLink.h"
#include "link/SerialPort.h"
#include "platform/Clock.h"
#include "platform/PortDescription.h"
#include "platform/PseudoTerminal.h"
#include "platform/QtSerialDevice.h"

#include <QTemporaryDir>
#include <QtTest>
#include <atomic>
#include <thread>

using namespace vexa;

namespace {

// Answers "SI" CR with an acknowledgement and a value, from its own thread.
class FakeModule {
public:
    explicit FakeModule(PseudoTerminal& pty) : pty_(pty), thread_([this] { Run(); }) {}
    ~FakeModule()
    {
        stop_ = true;
        thread_.join();
    }

private:
    void Run()
    {
        QByteArray line;
        char buf[64];
        while (!stop_) {
            const int n = pty_.Read(buf, sizeof buf, 20);
            for (int i = 0; i < n; ++i) {
                line += buf[i];
                if (buf[i] == '\r') {
                    if (line == "SI\r")
                        pty_.Write("SI\r\n250\r\n", 9);
                    line.clear();
                }
            }
        }
    }

    PseudoTerminal& pty_;
    std::atomic<bool> stop_{false};
    std::thread thread_;
};

} // namespace

class TestPtyLine : public QObject {
    Q_OBJECT

private slots:
    void exchangeOverARealLine()
    {
        PseudoTerminal pty;
        QVERIFY(pty.Open());
        SteadyClock clock;
        QtSerialDevice device;
        SerialPort port(device, clock);
        QVERIFY2(port.Open(pty.DevicePath(), 115200, 0), qPrintable(port.OpenError()));

        {
            FakeModule module(pty);
            ModuleLink link(port);
            QCOMPARE(link.GetValue("SI"), 250);
        }

        // Bytes cross unchanged: CR stays CR, nothing is echoed.
        const char out[] = "ES=-1\r";
        QCOMPARE(port.Write(out, 6), 6);
        char got[16] = {};
        int n = 0;
        for (int tries = 0; tries < 50 && n < 6; ++tries)
            n += pty.Read(got + n, 6 - n, 20);
        QCOMPARE(QByteArray(got, n), QByteArray(out));
        QCOMPARE(port.DrainInput(), 0);

        QVERIFY(port.Close());
        QVERIFY(!port.IsOpen());
    }

    void secondOpenIsRefusedUntilClosed()
    {
        PseudoTerminal pty;
        QVERIFY(pty.Open());
        SteadyClock clock;
        QtSerialDevice first, second;
        SerialPort a(first, clock), b(second, clock);
        QVERIFY(a.Open(pty.DevicePath(), 115200, 0));
        QVERIFY(!b.Open(pty.DevicePath(), 115200, 0));
        QVERIFY(!b.OpenError().isEmpty());
        a.Close();
        QVERIFY(b.Open(pty.DevicePath(), 115200, 0));
        b.Close();
    }

    void publishedEmulatorIsDiscoveredAndProbed()
    {
        QTemporaryDir runtime;
        const QByteArray saved = qgetenv("XDG_RUNTIME_DIR");
        qputenv("XDG_RUNTIME_DIR", runtime.path().toLocal8Bit());

        PseudoTerminal pty;
        QVERIFY(pty.Open());
        const QString link = PublishEmulatorPort(pty.DevicePath(), "vexa-sim-test");
        QVERIFY(!link.isEmpty());

        const auto ports = SystemPortSource().ListPorts();
        const auto found = std::find_if(ports.begin(), ports.end(), [&](const PortDescription& p) {
            return p.portName == link;
        });
        QVERIFY(found != ports.end());
        QCOMPARE(PortDisplayLine(*found), link + "   Vexa module emulator   virtual");

        // The probe opens the link through QSerialPort; a held port is left out.
        SteadyClock clock;
        QtSerialDevice probeDevice, holderDevice;
        SerialPort probe(probeDevice, clock), holder(holderDevice, clock);
        PortTable table;
        QStringList items;
        ProbeContext context{probe, 115200, table, items, {}};
        ProbePort(context, *found);
        QCOMPARE(table.names, QStringList({link}));

        QVERIFY(holder.Open(link, 115200, 0));
        table.names.clear();
        items.clear();
        ProbePort(context, *found);
        QVERIFY(table.names.isEmpty());
        holder.Close();

        UnpublishEmulatorPort(link);
        QVERIFY(ListEmulatorPorts(EmulatorPortFolder()).empty());
        if (saved.isNull())
            qunsetenv("XDG_RUNTIME_DIR");
        else
            qputenv("XDG_RUNTIME_DIR", saved);
    }
};

QTEST_GUILESS_MAIN(TestPtyLine)
#include "tst_ptyline.moc"
