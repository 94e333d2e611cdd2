#include "CommandInterpreter.h"

#include <QtTest>

using namespace vexa::sim;

namespace {

// Three small sets: triggers on a middle sample, none, and on the first sample.
void Fill(ModuleModel& m)
{
    m.AddSet({100, Feet, true, {10, 20, 30}, {1}});
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
        for (std::size_t i = 0; i < in.size(); ++i) {
            reply.lines.push_back({LineKind::Raw, std::string("[") + in[i] + "]"});
            if (in[i] == 'G') {
                reply.handover = Handover::Firmware;
                return i + 1;
            }
        }
        return in.size();
    }
};

} // namespace

class TestSimInterpreter : public QObject {
    Q_OBJECT

private slots:
    void transcript_data();
    void transcript();
    void resetRestoresCommittedAndGoesDeaf();
    void calibrationIsKept();
    void bootLoaderTakesTheLineAfterBang();
};

void TestSimInterpreter::transcript_data()
{
    QTest::addColumn<QByteArray>("input");
    QTest::addColumn<QByteArray>("expected");

    QByteArray defaults, defaultsReply;
    for (const RegInfo& r : RegTable) {
        defaults += QByteArray(r.name) + '\r';
        defaultsReply += QByteArray(r.name) + "\r\n" + QByteArray::number(r.defaultValue) + "\r\n";
    }

    QTest::newRow("identity") << QByteArray("SV\r")
                              << QByteArray("SV\r\nVEXA\r\nMOD1-SIM\r\n0.07\r\n05-14-04\r\n");
    QTest::newRow("set count") << QByteArray("NS\r") << QByteArray("NS\r\n3\r\n");
    QTest::newRow("register defaults") << defaults << defaultsReply;
    QTest::newRow("write then read")
        << QByteArray("SR=8\rSR\r") << QByteArray("SR=8\r\nSR\r\n8\r\n");
    QTest::newRow("16-bit registers keep low bits")
        << QByteArray("ST=65536\rST\rSA=-1\rSA\r")
        << QByteArray("ST=65536\r\nST\r\n0\r\nSA=-1\r\nSA\r\n65535\r\n");
    QTest::newRow("8-bit registers keep low bits")
        << QByteArray("UA=258\rUA\r") << QByteArray("UA=258\r\nUA\r\n2\r\n");
    QTest::newRow("value is the leading number")
        << QByteArray("PT= 12abc\rPT\rRV=x\rRV\r")
        << QByteArray("PT= 12abc\r\nPT\r\n12\r\nRV=x\r\nRV\r\n0\r\n");
    QTest::newRow("CR restores defaults")
        << QByteArray("SR=8\rUA=2\rCR\rSR\rUA\r")
        << QByteArray("SR=8\r\nUA=2\r\nCR\r\nSR\r\n4\r\nUA\r\n0\r\n");
    QTest::newRow("download with a trigger marker")
        << QByteArray("DL=0\r") << QByteArray("DL=0\r\n0,100,4,1,0\r\n10\r\n-1535\r\n20\r\n30\r\n");
    QTest::newRow("download with a trigger on the first sample")
        << QByteArray("DL=2\r") << QByteArray("DL=2\r\n2,50,3,1,1\r\n-1535\r\n-3\r\n0\r\n");
    QTest::newRow("download without trigger input")
        << QByteArray("DL=1\r") << QByteArray("DL=1\r\n1,250,2,0,2\r\n5\r\n6\r\n");
    QTest::newRow("download of a missing set sends no header")
        << QByteArray("DL=3\rDL=-1\rDL\r") << QByteArray("DL=3\r\nDL=-1\r\nDL\r\n");
    QTest::newRow("erasing a set moves the later ones down")
        << QByteArray("ES=-1\rNS\rDL=0\r")
        << QByteArray("ES=-1\r\nNS\r\n2\r\nDL=0\r\n0,250,2,0,2\r\n5\r\n6\r\n");
    QTest::newRow("erasing a missing set does nothing")
        << QByteArray("ES=-2\rES=2\rES\rNS\r") << QByteArray("ES=-2\r\nES=2\r\nES\r\nNS\r\n3\r\n");
    QTest::newRow("erase all") << QByteArray("EA=1\rNS\rDL=0\r")
                               << QByteArray("EA=1\r\nNS\r\n0\r\nDL=0\r\n");
    QTest::newRow("erase all needs the value 1")
        << QByteArray("EA=0\rEA\rNS\r") << QByteArray("EA=0\r\nEA\r\nNS\r\n3\r\n");
    QTest::newRow("calibration lines, the second ended by LF")
        << QByteArray("CalClr\rCalSet -12\n") << QByteArray("CalClr\r\nCalSet -12\r\n");
    QTest::newRow("terminal CR LF and bare LF")
        << QByteArray("NS\r\nNS\n\r\n") << QByteArray("NS\r\n3\r\nNS\r\n3\r\n");
    QTest::newRow("unknown commands")
        << QByteArray("XY\rsv\rSRX\r") << QByteArray("ERR XY\r\nERR sv\r\nERR SRX\r\n");
    QTest::newRow("bang is answered before its CR")
        << QByteArray("!\rNS\r") << QByteArray("!\r\n!NS\r\n3\r\n");
    QTest::newRow("bang inside a line is just a character")
        << QByteArray("N!\r") << QByteArray("ERR N!\r\n");
}

void TestSimInterpreter::transcript()
{
    QFETCH(QByteArray, input);
    QFETCH(QByteArray, expected);

    ModuleModel whole;
    Fill(whole);
    ModuleSession a(whole);
    QCOMPARE(Bytes(a.Feed(input.toStdString(), 0)), expected);

    // Bytes that trickle in one by one frame the same commands.
    ModuleModel trickle;
    Fill(trickle);
    ModuleSession b(trickle);
    QByteArray out;
    for (char c : input)
        out += Bytes(b.Feed(std::string_view(&c, 1), 0));
    QCOMPARE(out, expected);
}

void TestSimInterpreter::resetRestoresCommittedAndGoesDeaf()
{
    ModuleModel m;
    ModuleSession s(m, 1500);
    s.Feed("SR=8\rCW\rUA=2\r", 0);

    // Replies not yet sent die with the reset, in this chunk and queued ones.
    const Reply reset = s.Feed("NS\rN*", 10);
    QVERIFY(reset.lines.empty());
    QVERIFY(reset.cutOutput);

    QCOMPARE(Bytes(s.Feed("NS\r", 1509)), QByteArray()); // still booting
    // The half-typed "N" died with the reset; committed SR survived, UA did not.
    QCOMPARE(Bytes(s.Feed("S\rSR\rUA\r", 1510)), QByteArray("ERR S\r\nSR\r\n8\r\nUA\r\n0\r\n"));
}

void TestSimInterpreter::calibrationIsKept()
{
    ModuleModel m;
    ModuleSession s(m);
    s.Feed("CalClr\rCalSet 1234\n", 0);
    QCOMPARE(m.calibration(), std::optional<int>(1234));
    s.Feed("CalClr\r", 0);
    QVERIFY(!m.calibration().has_value());
}

void TestSimInterpreter::bootLoaderTakesTheLineAfterBang()
{
    ModuleModel m;
    ModuleSession s(m, 100);
    s.SetBootLoader(std::make_unique<EchoBootLoader>());

    // The CR after "!" already belongs to the boot loader.
    const Reply r = s.Feed("!\r?", 0);
    QCOMPARE(Bytes(r), QByteArray("!\r\n![\r][?]"));
    QCOMPARE(r.handover, Handover::BootLoader);
    QVERIFY(s.InBootLoader());

    // Going back restarts the firmware, which is deaf while it boots.
    QCOMPARE(Bytes(s.Feed("GNS\r", 1000)), QByteArray("[G]"));
    QVERIFY(!s.InBootLoader());
    QCOMPARE(Bytes(s.Feed("NS\r", 1100)), QByteArray("NS\r\n0\r\n"));
}

QTEST_APPLESS_MAIN(TestSimInterpreter)
#include "tst_SimInterpreter.moc"
