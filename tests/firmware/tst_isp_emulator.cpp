// The programming engine against the emulated boot loader on a pseudo-terminal:
// the bytes on the wire and each stage's failure.
#include "IspDriver.h"
#include "TestData.h"
#include "platform/QtSerialDevice.h"

#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

using namespace vexa;
using vexa::test::TestData;

namespace {

// Keeps every byte the program writes and reads.
class TapDevice final : public SerialDevice {
public:
    bool Open(const QString& path) override { return inner.Open(path); }
    QString ErrorText() const override { return inner.ErrorText(); }
    bool IsOpen() const override { return inner.IsOpen(); }
    bool Close() override { return inner.Close(); }
    bool Configure(const LineSettings& s) override { return inner.Configure(s); }
    bool SetTimeouts(int r, int w) override { return inner.SetTimeouts(r, w); }
    bool SetDtr(bool on) override { return inner.SetDtr(on); }
    int Write(const char* data, int n) override { return Keep(sent, data, inner.Write(data, n)); }
    int Read(char* buf, int n) override { return Keep(received, buf, inner.Read(buf, n)); }
    int ReadWaiting(char* b, int n) override { return Keep(received, b, inner.ReadWaiting(b, n)); }
    static int Keep(QByteArray& to, const char* bytes, int n)
    {
        to.append(bytes, n > 0 ? n : 0);
        return n;
    }

    QtSerialDevice inner;
    QByteArray sent, received;
};

} // namespace

class TestIspEmulator : public QObject {
    Q_OBJECT

    QTemporaryDir dir_;
    QProcess sim_;
    SteadyClock clock_;
    QString pty_;
    ProgrammingState state_;
    TapDevice tap_; // keeps the bytes of every update in a test

    // Starts the emulator with its flash written to flash.bin when it stops.
    bool StartSim(const QStringList& args)
    {
        sim_.start(QStringLiteral(VEXA_MODULE_SIM),
                   QStringList{"--no-publish", "--flights", "0", "--reset-ms", "100",
                               "--flash-dump", dir_.filePath("flash.bin")} +
                       args);
        if (!sim_.waitForStarted(5000) || !sim_.waitForReadyRead(5000))
            return false;
        pty_ = QString::fromLocal8Bit(sim_.readLine()).trimmed();
        return true;
    }

    // Loads the file and runs one update; the story is the outcome (the
    // reason's first line) and the last stage's look.
    IspOutcome::Kind Update(const QString& hex, QString& story, bool startIsp = false)
    {
        vexa::test::RecordingReporter reporter;
        SerialPort port(tap_, clock_);
        if (!LoadHexFile(vexa::test::TestDataPath("firmware/" + hex), state_).ok ||
            !port.Open(pty_, 115200))
            return IspOutcome::Kind::Running;
        ModuleLink link(port);
        const IspOutcome outcome = vexa::test::RunIsp(state_, link, reporter, startIsp, false);
        port.Close();
        const QString what = outcome.kind == IspOutcome::Kind::Complete
                                 ? QStringLiteral("Complete")
                                 : outcome.reason.section('\n', 0, 0);
        story = what + " / " + reporter.events.value(reporter.events.size() - 1);
        return outcome.kind;
    }

private slots:
    void cleanup()
    {
        tap_.sent = tap_.received = {};
        sim_.kill();
        sim_.waitForFinished(3000);
    }

    void run_data() { vexa::test::AddRows("firmware/runs.txt", " | "); }

    void run()
    {
        QFETCH(QStringList, f); // options, HEX file, Start ISP, story, transcript
        QVERIFY(StartSim(f[0] == "-" ? QStringList() : f[0].split(' ')));
        QString story;
        const IspOutcome::Kind kind = Update(f[1], story, f[2] == "Start ISP");
        QCOMPARE(story, f[3]);
        // Up to the restart; how often the restarted module is asked for its
        // identity before it is up depends on timing.
        const auto beforeIdentity = [](const QByteArray& bytes) {
            return bytes.left(bytes.indexOf("SV\r"));
        };
        if (f[4] != "-")
            QCOMPARE(beforeIdentity(tap_.sent) + "|" + beforeIdentity(tap_.received),
                     TestData("firmware/" + f[4] + ".sent") + "|" +
                         TestData("firmware/" + f[4] + ".received"));
        if (kind != IspOutcome::Kind::Complete)
            return;

        // The flash holds the image (word 6 patched to the vector checksum), the
        // sectors after it stay erased.
        sim_.terminate();
        sim_.waitForFinished(5000);
        const QByteArray flash = vexa::test::ReadAll(dir_.filePath("flash.bin"));
        const qsizetype programmed = (state_.ImageLength + 511) / 512 * 512;
        const qsizetype erased = (state_.EndSector + 1) * SectorSize - programmed;
        QCOMPARE(
            flash.left(programmed),
            QByteArray(reinterpret_cast<const char*>(state_.FirmwareImage.data()), programmed));
        QCOMPARE(flash.mid(programmed, erased), QByteArray(erased, '\xFF'));
    }

    // The cable comes out while block 3 goes over. Sector 0 was erased and is
    // written last, so the part comes up in its boot loader, and an update with
    // "Start ISP" off completes once the cable is back and the module is
    // switched off and on.
    void cutCableThenRecovery()
    {
        QVERIFY(StartSim({"--isp-cut-block", "3", "--replug-ms", "300"}));
        QString story;
        QCOMPARE(Update("top0fff.hex", story, true), IspOutcome::Kind::Failed);
        QVERIFY2(story.startsWith("The block at 0x0600 did not reach the module."),
                 qPrintable(story));
        QVERIFY(tap_.sent.contains("C 1024 268436224 512\r\r") && !tap_.sent.contains("C 1536 "));
        // Tried until the line is back: a first try may still go nowhere.
        for (int tries = 0; tries < 3 && Update("top0fff.hex", story) != IspOutcome::Kind::Complete;
             ++tries) {
        }
        QCOMPARE(story, QString("Complete / Restart passed"));
    }
};

QTEST_GUILESS_MAIN(TestIspEmulator)
#include "tst_isp_emulator.moc"
