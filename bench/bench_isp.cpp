// Wall time of programming a full 32 KB image into the emulator paced at
// 115200 baud, stepped as the update dialog's timer steps it (tick
// intervals included), and whether the emulator's flash then holds the image.
#include "IspDriver.h"
#include "platform/QtSerialDevice.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <cstdio>

using namespace vexa;

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    const QString hex =
        argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral(VEXA_FIRMWARE_DATA "/full.hex");
    ProgrammingState state;
    const HexLoadResult loaded = LoadHexFile(hex, state);
    if (!loaded.ok) {
        std::fprintf(stderr, "%s\n", qPrintable(loaded.message));
        return 1;
    }
    const auto image = state.FirmwareImage;

    QTemporaryDir dir;
    QProcess sim;
    sim.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    sim.start(QStringLiteral(VEXA_MODULE_SIM), {"--no-publish", "--flights", "0", "--baud",
                                                qEnvironmentVariable("BENCH_BAUD", "115200"),
                                                "--flash-dump", dir.filePath("flash.bin")});
    if (!sim.waitForStarted(5000) || !sim.waitForReadyRead(5000))
        return 1;
    const QString pty = QString::fromLocal8Bit(sim.readLine()).trimmed();

    SteadyClock clock;
    QtSerialDevice device;
    SerialPort port(device, clock);
    if (!port.Open(pty, 115200))
        return 1;
    ModuleLink link(port);
    test::RecordingReporter reporter;
    QElapsedTimer timer;
    timer.start();
    // Stepped here rather than by RunIsp to split the time by stage.
    double stageEnds[4] = {0, 0, 0, 0};
    IspOutcome outcome;
    do {
        clock.SleepMs(reporter.intervalMs);
        const IspState stateBefore = state.IspState;
        outcome = IspStep(state, link, reporter, true);
        const int part = stateBefore < IspState::ProgramBlocks    ? 0
                         : stateBefore == IspState::ProgramBlocks ? 1
                         : stateBefore == IspState::RestartModule ? 2
                                                                  : 3;
        stageEnds[part] = double(timer.nsecsElapsed()) / 1e9;
    } while (outcome.Running());
    const double seconds = double(timer.nsecsElapsed()) / 1e9;
    std::printf("up to the blank check %.2f s, blocks %.2f s, restart %.2f s, until the module "
                "answered %.2f s\n",
                stageEnds[0], stageEnds[1] - stageEnds[0], stageEnds[2] - stageEnds[1],
                stageEnds[3] - stageEnds[2]);
    port.Close();

    sim.terminate();
    sim.waitForFinished(5000);
    QFile dump(dir.filePath("flash.bin"));
    dump.open(QIODevice::ReadOnly);
    const QByteArray flash = dump.readAll();
    const bool same = flash.left(state.ImageLength) ==
                      QByteArray(reinterpret_cast<const char*>(image.data()), state.ImageLength);
    std::printf("%d bytes programmed in %.2f s at 115200 baud: %s, flash %s\n", state.ImageLength,
                seconds, outcome.kind == IspOutcome::Kind::Complete ? "Complete." : "Failed!",
                same ? "equals the image" : "differs");
    if (!outcome.reason.isEmpty())
        std::printf("%s\n", qPrintable(outcome.reason));
    return outcome.kind == IspOutcome::Kind::Complete && same ? 0 : 1;
}
