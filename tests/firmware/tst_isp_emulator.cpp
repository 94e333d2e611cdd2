// The programming engine against the emulated boot loader on a
// pseudo-terminal, over QSerialPort: the bytes on the wire, the failures of
// each stage, and an update cut off by a pulled cable, then recovered.
#include "IspDriver.h"
#include "platform/QtSerialDevice.h"

#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

using namespace vexa;
using vexa::test::RecordingReporter;

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
    int ReadWaiting(char* buf, int n) override
    {
        return Keep(received, buf, inner.ReadWaiting(buf, n));
    }
    static int Keep(QByteArray& to, const char* bytes, int n)
    {
        to.append(bytes, n > 0 ? n : 0);
        return n;
    }

    QtSerialDevice inner;
    QByteArray sent;
    QByteArray received;
};

QByteArray ReadAll(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

QString DataFile(const QString& name)
{
    return QStringLiteral(VEXA_FIRMWARE_DATA "/") + name;
}

} // namespace

class TestIspEmulator : public QObject {
    Q_OBJECT

    QTemporaryDir dir_;
    QProcess sim_;
    SteadyClock clock_;

    // Starts the emulator with its flash written to flash.bin at the end;
    // returns the terminal's path.
    QString StartSim(const QStringList& args)
    {
        sim_.start(QStringLiteral(VEXA_MODULE_SIM),
                   QStringList{"--no-publish", "--flights", "0", "--reset-ms", "100",
                               "--flash-dump", dir_.filePath("flash.bin")} +
                       args);
        if (!sim_.waitForStarted(5000) || !sim_.waitForReadyRead(5000))
            return {};
        return QString::fromLocal8Bit(sim_.readLine()).trimmed();
    }
    QByteArray StopSim()
    {
        sim_.terminate();
        sim_.waitForFinished(5000);
        return ReadAll(dir_.filePath("flash.bin"));
    }

    // One update from the loaded state; the reporter and tap keep the story.
    int Update(const QString& path, ProgrammingState& state, RecordingReporter& reporter,
               TapDevice& tap, bool startIsp)
    {
        SerialPort port(tap, clock_);
        if (!port.Open(path, 115200, 0))
            return -2;
        ModuleLink link(port);
        const int progress = vexa::test::RunIsp(state, link, reporter, startIsp, false);
        port.Close();
        return progress;
    }

private slots:
    void cleanup()
    {
        if (sim_.state() != QProcess::NotRunning) {
            sim_.kill();
            sim_.waitForFinished(3000);
        }
    }

    void exchange_data();
    void exchange();
    void failingStage_data();
    void failingStage();
    void cutCableThenRecovery();
};

void TestIspEmulator::exchange_data()
{
    QTest::addColumn<QString>("hex");
    QTest::addColumn<bool>("startIsp");
    QTest::addColumn<QString>("eraseCaption");
    QTest::addColumn<QString>("transcript"); // empty: not compared byte for byte
    QTest::addColumn<QByteArray>("sends");

    QTest::newRow("one block") << "top01ff.hex" << true << "Erase 0-1\r"
                               << "top01ff" << QByteArray("!\r?");
    QTest::newRow("two blocks, Start ISP off") << "top0200.hex" << false << "Erase 0-1\r"
                                               << "top0200" << QByteArray("?Synchronized");
    QTest::newRow("end sector 2") << "top1000.hex" << true << "Erase 0-2\r"
                                  << "" << QByteArray("I 0 2\r\r");
    // Block 1 holds 512 bytes of 0xFF.
    QTest::newRow("erased block") << "ff1024.hex" << true << "Erase 0-1\r"
                                  << "" << QByteArray("\r\r130560\r\r");
    QTest::newRow("last sector") << "top7fff_crlf_lower.hex" << false << "Erase 0-7\r"
                                 << "" << QByteArray("C 32256 268436224 512\r\r");
}

void TestIspEmulator::exchange()
{
    QFETCH(QString, hex);
    QFETCH(bool, startIsp);
    QFETCH(QString, eraseCaption);
    QFETCH(QString, transcript);
    QFETCH(QByteArray, sends);

    ProgrammingState state;
    QVERIFY(LoadHexFile(DataFile(hex), state).ok);
    const auto image = state.FirmwareImage;
    const QString pty = StartSim(startIsp ? QStringList() : QStringList{"--boot-loader"});
    QVERIFY(!pty.isEmpty());

    RecordingReporter reporter;
    TapDevice tap;
    QCOMPARE(Update(pty, state, reporter, tap, startIsp), ProgressDone);
    QVERIFY2(reporter.errors.isEmpty(), qPrintable(reporter.errors.join('\n')));
    QCOMPARE(reporter.eraseCaption, eraseCaption);
    QCOMPARE(reporter.events.last(), QString("Restart passed"));
    QVERIFY(tap.sent.contains(sends));
    if (!transcript.isEmpty()) {
        QCOMPARE(tap.sent, ReadAll(DataFile(transcript + ".sent")));
        QCOMPARE(tap.received, ReadAll(DataFile(transcript + ".received")));
    }

    // The flash holds the image, the sectors after it stay erased.
    const QByteArray flash = StopSim();
    QCOMPARE(flash.size(), CodeSpace);
    const qsizetype programmed = (state.ImageLength + 511) / 512 * 512;
    QCOMPARE(flash.left(programmed),
             QByteArray(reinterpret_cast<const char*>(image.data()), programmed));
    QCOMPARE(flash.mid(programmed, (state.EndSector + 1) * SectorSize - programmed),
             QByteArray((state.EndSector + 1) * SectorSize - programmed, '\xFF'));
}

void TestIspEmulator::failingStage_data()
{
    QTest::addColumn<QStringList>("simArgs");
    QTest::addColumn<QString>("message"); // empty: the update ends without a message box
    QTest::addColumn<QString>("lastEvent");

    // Boot loader lines in order: Synchronized, its echo, OK, the frequency's
    // echo, OK, U's echo, 0, J's echo, 0, the part id, P's echo, 0, E's...
    const auto silentAfter = [](int n) {
        return QStringList{"--isp-silent-after", QString::number(n)};
    };
    const auto row = [](const char* name, const QStringList& args, const char* message,
                        const char* last) {
        QTest::newRow(name) << args << QString(message) << QString(last);
    };
    row("no sync", silentAfter(0), "Part not responding", "Synchronize failed");
    row("no OK after sync", silentAfter(1), "Part not synchronized", "Synchronize failed");
    row("frequency", silentAfter(3), "Freq not acknowledged", "Unlock failed");
    row("unlock", silentAfter(6), "Unlock failed", "Unlock failed");
    row("no part id", silentAfter(9), "", "Unlock passed");
    row("wrong part id", {"--part-id", "12345"}, "Invalid part ID", "Erase failed");
    row("prepare", silentAfter(11), "Failed prep erase", "Erase failed");
    row("erase", silentAfter(13), "Failed erase", "Erase failed");
    row("blank check", silentAfter(15), "Failed blank check", "BlankCheck failed");
    row("worn flash cell", {"--isp-stuck-byte", "1030"}, "Flash verify failed", "Program failed");
    row("checksum RESEND", {"--isp-resend", "2"}, "", "BlankCheck passed");
}

void TestIspEmulator::failingStage()
{
    QFETCH(QStringList, simArgs);
    QFETCH(QString, message);
    QFETCH(QString, lastEvent);

    ProgrammingState state;
    QVERIFY(LoadHexFile(DataFile("top0fff.hex"), state).ok);
    const QString pty = StartSim(QStringList{"--boot-loader"} + simArgs);
    QVERIFY(!pty.isEmpty());
    RecordingReporter reporter;
    TapDevice tap;
    QCOMPARE(Update(pty, state, reporter, tap, false), ProgressFailed);
    QCOMPARE(reporter.errors, message.isEmpty() ? QStringList() : QStringList{message});
    QCOMPARE(reporter.events.last(), lastEvent);
}

// The cable comes out while block 3 goes over. Sector 0 was erased and is
// written last, so the part comes up in its boot loader, and an update with
// "Start ISP" off puts the whole image in.
void TestIspEmulator::cutCableThenRecovery()
{
    ProgrammingState state;
    QVERIFY(LoadHexFile(DataFile("top0fff.hex"), state).ok);
    const auto image = state.FirmwareImage;
    const QString pty = StartSim({"--isp-cut-block", "3", "--replug-ms", "300"});
    QVERIFY(!pty.isEmpty());

    RecordingReporter first;
    TapDevice tap;
    QCOMPARE(Update(pty, state, first, tap, true), ProgressFailed);
    QVERIFY(tap.sent.contains("C 1024 268436224 512\r\r"));
    QVERIFY(!tap.sent.contains("C 1536 "));

    QTest::qWait(600); // the cable goes back in; the module is switched off and on
    QVERIFY(LoadHexFile(DataFile("top0fff.hex"), state).ok);
    RecordingReporter second;
    QCOMPARE(Update(pty, state, second, tap, false), ProgressDone);
    QVERIFY(second.errors.isEmpty());

    // The image as loaded, word 6 patched to the vector checksum.
    QCOMPARE(StopSim().left(4096), QByteArray(reinterpret_cast<const char*>(image.data()), 4096));
}

QTEST_GUILESS_MAIN(TestIspEmulator)
#include "tst_isp_emulator.moc"
