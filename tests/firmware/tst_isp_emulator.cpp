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

    // Loads the file and runs one update; the story is the message shown, if
    // any, and the last stage's look.
    int Update(const QString& hex, QString& story, bool startIsp = false)
    {
        vexa::test::RecordingReporter reporter;
        SerialPort port(tap_, clock_);
        if (!LoadHexFile(vexa::test::TestDataPath("firmware/" + hex), state_).ok ||
            !port.Open(pty_, 115200))
            return -2;
        ModuleLink link(port);
        const int progress = vexa::test::RunIsp(state_, link, reporter, startIsp, false);
        port.Close();
        story =
            reporter.errors.join(", ") + " / " + reporter.events.value(reporter.events.size() - 1);
        return progress;
    }

private slots:
    void cleanup()
    {
        tap_.sent = tap_.received = {};
        sim_.kill();
        sim_.waitForFinished(3000);
    }

    void exchange_data() { vexa::test::AddRows("firmware/exchanges.txt", " | "); }

    void exchange()
    {
        QFETCH(QStringList, f); // HEX file, how the boot loader is reached, transcript
        const bool startIsp = f[1] == "Start ISP";
        QVERIFY(StartSim(startIsp ? QStringList() : QStringList{"--boot-loader"}));
        QString story;
        QCOMPARE(Update(f[0], story, startIsp), ProgressDone);
        QCOMPARE(story, QString(" / Restart passed"));
        if (f[2] != "-")
            QCOMPARE(tap_.sent + "|" + tap_.received,
                     TestData("firmware/" + f[2] + ".sent") + "|" +
                         TestData("firmware/" + f[2] + ".received"));

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

    void failingStage_data() { vexa::test::AddRows("firmware/stage-failures.txt", " | "); }

    void failingStage()
    {
        QFETCH(QStringList, f); // emulator options, story
        QVERIFY(StartSim(QStringList{"--boot-loader"} + f[0].split(' ')));
        QString story;
        QCOMPARE(Update("top0fff.hex", story), ProgressFailed);
        QCOMPARE(story, f[1]);
    }

    // The cable comes out while block 3 goes over. Sector 0 was erased and is
    // written last, so the part comes up in its boot loader, and an update with
    // "Start ISP" off completes.
    void cutCableThenRecovery()
    {
        QVERIFY(StartSim({"--isp-cut-block", "3", "--replug-ms", "300"}));
        QString story;
        QCOMPARE(Update("top0fff.hex", story, true), ProgressFailed);
        QVERIFY(tap_.sent.contains("C 1024 268436224 512\r\r") && !tap_.sent.contains("C 1536 "));
        QTest::qWait(600); // the cable goes back in; the module is switched off and on
        QCOMPARE(Update("top0fff.hex", story), ProgressDone);
    }
};

QTEST_GUILESS_MAIN(TestIspEmulator)
#include "tst_isp_emulator.moc"
