#include "LineFaults.h"
#include "SimOptions.h"
#include "TestData.h"

#include <QtTest>

using namespace vexa::sim;

namespace {

std::vector<OutLine> Download(int records)
{
    std::vector<OutLine> l{{LineKind::Ack, "DL=0"},
                           {LineKind::DownloadHeader, "0,100," + std::to_string(records) + ",0,0"}};
    for (int i = 0; i < records; ++i)
        l.push_back({LineKind::DownloadRecord, std::to_string(1000 + i)});
    return l;
}

QByteArray Render(FaultInjector& f, const std::vector<OutLine>& lines)
{
    return QByteArray::fromStdString(f.Render(lines));
}

} // namespace

class TestSimLine : public QObject {
    Q_OBJECT

private slots:
    // Garbage lines hold no digit, so they never pass for a number.
    void garbageEvery()
    {
        FaultOptions o;
        o.garbageEvery = 2;
        FaultInjector f(o);
        QStringList shape;
        for (const QByteArray& l : Render(f, Download(3)).split('\n'))
            shape << (std::any_of(l.begin(), l.end(), ::isdigit) || l.isEmpty() ? l : "*\r");
        QCOMPARE(shape.join('\n'), "DL=0\r\n0,100,3,0,0\r\n*\r\n1000\r\n1001\r\n*\r\n1002\r\n");
    }

    void dropAfterCutsMidLineAndUnplugs()
    {
        FaultOptions o;
        o.dropAfter = 2;
        o.replugMs = 500;
        FaultInjector f(o);
        QCOMPARE(Render(f, Download(5)), QByteArray("DL=0\r\n0,100,5,0,0\r\n1000\r\n1001\r\n10"));
        QCOMPARE(Render(f, Download(1)), QByteArray());

        // Out while the last bytes drain and for the replug time after.
        QVERIFY(f.FilterInput("NS\r", 0, true).empty());
        QVERIFY(f.FilterInput("NS\r", 100, false).empty());
        QVERIFY(f.FilterInput("NS\r", 599, false).empty());
        QCOMPARE(f.FilterInput("NS\r", 600, false), std::string_view("NS\r"));
        // Back in: short downloads pass, long ones are cut again.
        QVERIFY(Render(f, Download(2)).endsWith("1001\r\n"));
        QVERIFY(Render(f, Download(3)).endsWith("1001\r\n10"));
    }

    void pacedTransferTakesWireTime_data()
    {
        QTest::addColumn<int>("baud");
        QTest::addColumn<int>("bytes");
        QTest::newRow("2400 baud") << 2400 << 300;
        QTest::newRow("115200 baud, long download") << 115200 << 450'000;
    }

    void pacedTransferTakesWireTime()
    {
        QFETCH(int, baud);
        QFETCH(int, bytes);
        WirePacer p(baud);
        const std::int64_t start = 5'000'000;
        p.Queue(std::string(static_cast<std::size_t>(bytes), 'x'), start);
        QVERIFY(p.Due(start).empty());

        // The loop wakes when told, but never sooner than a millisecond apart.
        std::int64_t now = start;
        int wakeups = 0;
        while (p.Pending()) {
            now += std::max<std::int64_t>(p.UsUntilDue(now), 1000);
            p.Sent(p.Due(now).size());
            ++wakeups;
        }
        const double wire = bytes * 10.0 / baud * 1e6;
        QVERIFY2(std::fabs(static_cast<double>(now - start) - wire) <= 1000,
                 qPrintable(QString("took %1 us for %2 us of wire").arg(now - start).arg(wire)));
        QVERIFY(wakeups <= bytes); // chunks, not a wakeup per byte at speed
    }

    // Held up for a whole second: only 20 ms of backlog goes at once, then on at wire speed.
    void stallDoesNotBurst()
    {
        WirePacer p(9600);
        p.Queue(std::string(1000, 'x'), 0);
        const std::size_t burst = p.Due(1'000'000).size();
        p.Sent(burst);
        const std::size_t later = p.Due(1'010'500).size();
        QVERIFY2(burst >= 18 && burst <= 20 && later >= 10 && later <= 11,
                 qPrintable(QString("%1 then %2").arg(burst).arg(later)));
    }

    // Each option lands in its own field, given as "--opt value" or "--opt=value".
    void optionsReachTheirFields()
    {
        const QList<QByteArray> lines = vexa::test::TestData("files/sim-options.txt").split('\n');
        std::vector<std::string> args;
        for (const QByteArray& a : lines[0].split(' '))
            args.push_back(a.toStdString());
        SimOptions o;
        std::string error;
        QVERIFY2(ParseOptions(args, o, error), error.c_str());
        auto s = [](const std::string& t) { return QString::fromStdString(t); };
        QString got;
        QDebug(&got) << o.baud << o.flights << o.seed << o.loadFiles.size() << s(o.loadFiles.back())
                     << o.silentAfter << o.garbageEvery << o.dropAfter << o.replugMs << o.resetMs
                     << s(o.name) << o.bootLoader << s(o.flashDump) << o.partId << o.ispSilentAfter
                     << o.ispResend << o.ispResendAlways << o.ispCutBlock << o.ispStuckByte
                     << o.publish << o.verbose << o.help;
        QCOMPARE(got.trimmed(), QString(lines[1]));
    }
};

QTEST_APPLESS_MAIN(TestSimLine)
#include "tst_SimLine.moc"
