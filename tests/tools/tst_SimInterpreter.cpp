#include "BootLoader.h"
#include "CommandInterpreter.h"
#include "TestData.h"

#include <QtTest>

using namespace vexa::sim;
using vexa::test::TestData;

namespace {

// Three small sets: triggers on a middle sample (given twice, sent once),
// none, and on the first sample.
void Fill(ModuleModel& m)
{
    m.AddSet({100, Feet, true, {10, 20, 30}, {1, 1}});
    m.AddSet({250, Meters, false, {5, 6}, {}});
    m.AddSet({50, Yards, true, {-3, 0}, {0}});
}

QByteArray Bytes(const Reply& r)
{
    return QByteArray::fromStdString(WireBytes(r.lines));
}

// Responds to every byte with "[c]" and hands back to the firmware on "G".
class EchoBootLoader final : public Responder {
public:
    std::size_t Feed(std::string_view in, std::int64_t, Reply& reply) override
    {
        const std::size_t n = std::min(in.find('G'), in.size() - 1) + 1;
        for (char c : in.substr(0, n))
            reply.lines.push_back({LineKind::Raw, std::string("[") + c + "]"});
        if (in[n - 1] == 'G')
            reply.handover = Handover::Firmware;
        return n;
    }
};

} // namespace

class TestSimInterpreter : public QObject {
    Q_OBJECT

private slots:
    void transcript_data()
    {
        QTest::addColumn<QByteArray>("input");
        QTest::addColumn<QByteArray>("expected");

        // Three lines a case: its name, "> " what is typed, "< " what comes back.
        const QList<QByteArray> lines = TestData("files/sim-transcripts.txt").split('\n');
        QVERIFY(lines.size() > 3);
        auto bytes = [](QByteArray l) {
            return l.mid(2).replace("\\r", "\r").replace("\\n", "\n");
        };
        for (qsizetype i = 0; i + 2 < lines.size(); i += 4)
            QTest::newRow(lines[i].constData()) << bytes(lines[i + 1]) << bytes(lines[i + 2]);
    }

    // Whole, and in bytes that trickle in one by one: the same commands.
    void transcript()
    {
        QFETCH(QByteArray, input);
        for (const qsizetype chunk : {input.size(), qsizetype(1)}) {
            ModuleModel m;
            Fill(m);
            ModuleSession s(m);
            s.SetBootLoader(std::make_unique<BootLoader>());
            QByteArray out;
            for (qsizetype i = 0; i < input.size(); i += chunk)
                out += Bytes(s.Feed(input.mid(i, chunk).toStdString(), 0));
            QTEST(out, "expected");
        }
    }

    void resetRestoresCommittedAndGoesDeaf()
    {
        ModuleModel m;
        ModuleSession s(m, 1500);
        s.Feed("SR=8\rCW\rUA=2\rCalSet 1234\n", 0);
        QCOMPARE(m.calibration(), std::optional<int>(1234));

        // Replies not yet sent die with the reset, in this chunk and queued ones.
        const Reply reset = s.Feed("NS\rN*", 10);
        QVERIFY(reset.lines.empty() && reset.cutOutput);
        QCOMPARE(Bytes(s.Feed("NS\r", 1509)), QByteArray()); // still booting
        // The half-typed "N" died with the reset; committed SR survived, UA did not.
        QCOMPARE(Bytes(s.Feed("S\rSR\rUA\r", 1510)), QByteArray("ERR S\r\nSR\r\n8\r\nUA\r\n0\r\n"));
    }

    void bootLoaderTakesTheLineAfterBang()
    {
        ModuleModel m;
        ModuleSession s(m, 100);
        s.SetBootLoader(std::make_unique<EchoBootLoader>());

        // The CR after "!" already belongs to the boot loader.
        const Reply r = s.Feed("!\r?", 0);
        QCOMPARE(Bytes(r), QByteArray("!\r\n![\r][?]"));
        QCOMPARE(r.handover, Handover::BootLoader);

        // Going back restarts the firmware, which is deaf while it boots.
        QCOMPARE(Bytes(s.Feed("GNS\r", 1000)), QByteArray("[G]"));
        QCOMPARE(Bytes(s.Feed("NS\r", 1100)), QByteArray("NS\r\n0\r\n"));
    }
};

QTEST_APPLESS_MAIN(TestSimInterpreter)
#include "tst_SimInterpreter.moc"
