// The programming engine against the emulated boot loader on a pseudo-terminal:
// the bytes on the wire, each stage's failure, and a pulled cable recovered.
#include "IspDriver.h"
#include "TestData.h"
#include "platform/QtSerialDevice.h"

#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

using namespace vexa;
using vexa::test::RecordingReporter;
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
    QByteArray sent;
    QByteArray received;
};

// The message shown, if any, and the last stage look.
QString Story(const RecordingReporter& reporter)
{
    return reporter.errors.join(", ") + " / " + reporter.events.value(reporter.events.size() - 1);
}

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
    QByteArray Image(qsizetype n) const
    {
        return QByteArray(reinterpret_cast<const char*>(state_.FirmwareImage.data()), n);
    }
    QByteArray StopSim()
    {
        sim_.terminate();
        sim_.waitForFinished(5000);
        QFile flash(dir_.filePath("flash.bin"));
        return flash.open(QIODevice::ReadOnly) ? flash.readAll() : QByteArray();
    }

    // Loads the file and runs one update; the reporter keeps the story.
    int Update(const QString& hex, RecordingReporter& reporter, bool startIsp = false)
    {
        SerialPort port(tap_, clock_);
        if (!LoadHexFile(vexa::test::TestDataPath("firmware/" + hex), state_).ok ||
            !port.Open(pty_, 115200, 0))
            return -2;
        ModuleLink link(port);
        const int progress = vexa::test::RunIsp(state_, link, reporter, startIsp, false);
        port.Close();
        return progress;
    }

private slots:
    void cleanup()
    {
        tap_.sent.clear();
        tap_.received.clear();
        if (sim_.state() != QProcess::NotRunning) {
            sim_.kill();
            sim_.waitForFinished(3000);
        }
    }

    void exchange_data()
    {
        // The HEX file, how the boot loader is reached, the transcript if compared.
        QTest::addColumn<QStringList>("update");
        QTest::newRow("one block") << QStringList{"top01ff.hex", "Start ISP", "top01ff"};
        QTest::newRow("two blocks") << QStringList{"top0200.hex", "boot loader", "top0200"};
        QTest::newRow("last sector") << QStringList{"top7fff_crlf_lower.hex", "boot loader", ""};
    }

    void exchange()
    {
        QFETCH(QStringList, update);
        const bool startIsp = update[1] == "Start ISP";
        const QString hex = update[0], transcript = update[2];

        QVERIFY(StartSim(startIsp ? QStringList() : QStringList{"--boot-loader"}));
        RecordingReporter reporter;
        QCOMPARE(Update(hex, reporter, startIsp), ProgressDone);
        QCOMPARE(Story(reporter), QString(" / Restart passed"));
        const QString golden = "firmware/" + transcript;
        if (!transcript.isEmpty())
            QCOMPARE(tap_.sent + "|" + tap_.received,
                     TestData(golden + ".sent") + "|" + TestData(golden + ".received"));

        // The flash holds the image (word 6 patched to the vector checksum), the
        // sectors after it stay erased.
        const QByteArray flash = StopSim();
        QCOMPARE(flash.size(), CodeSpace);
        const qsizetype programmed = (state_.ImageLength + 511) / 512 * 512;
        const qsizetype erased = (state_.EndSector + 1) * SectorSize - programmed;
        QCOMPARE(flash.left(programmed), Image(programmed));
        QCOMPARE(flash.mid(programmed, erased), QByteArray(erased, '\xFF'));
    }

    void failingStage_data()
    {
        // name, emulator options, story
        vexa::test::AddRows("firmware/stage-failures.txt", " | ", "stage");
    }

    void failingStage()
    {
        QFETCH(QStringList, stage);

        QVERIFY(StartSim(QStringList{"--boot-loader"} + stage[1].split(' ')));
        RecordingReporter reporter;
        QCOMPARE(Update("top0fff.hex", reporter), ProgressFailed);
        QCOMPARE(Story(reporter), stage[2]);
    }

    // The cable comes out while block 3 goes over. Sector 0 was erased and is
    // written last, so the part comes up in its boot loader, and an update with
    // "Start ISP" off puts the whole image in.
    void cutCableThenRecovery()
    {
        QVERIFY(StartSim({"--isp-cut-block", "3", "--replug-ms", "300"}));
        RecordingReporter first, second;
        QCOMPARE(Update("top0fff.hex", first, true), ProgressFailed);
        QVERIFY(tap_.sent.contains("C 1024 268436224 512\r\r") && !tap_.sent.contains("C 1536 "));

        QTest::qWait(600); // the cable goes back in; the module is switched off and on
        QCOMPARE(Update("top0fff.hex", second), ProgressDone);
        QCOMPARE(StopSim().left(4096), Image(4096));
    }
};

QTEST_GUILESS_MAIN(TestIspEmulator)
#include "tst_isp_emulator.moc"
