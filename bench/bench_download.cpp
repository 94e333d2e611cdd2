// Wall time of Download Data for one 65,535-sample set from the module
// emulator on a pseudo-terminal, through the main window (progress and
// repaints included): unpaced, and paced at 115200 baud against the wire time.
#include "app/TMainForm.h"
#include "platform/QtSerialDevice.h"

#include <QApplication>
#include <QComboBox>
#include <QElapsedTimer>
#include <QPlainTextEdit>
#include <QProcess>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTextStream>
#include <cmath>
#include <cstdio>

using namespace vexa;

namespace {

constexpr int Samples = 65535;

class Quiet final : public Prompter {
public:
    bool AskYesNo(const QString&, const QString&) override { return true; }
    void Warn(const QString& c, const QString& t) override
    {
        std::fprintf(stderr, "%s: %s\n", qPrintable(c), qPrintable(t));
    }
};

class NullShell final : public Shell {
public:
    bool Open(const QUrl&) override { return true; }
};

struct Run {
    double seconds = 0;
    qint64 bytes = 0;
    QString result;
};

Run DownloadOnce(const QString& sim, const QString& flightFile, const QStringList& extra)
{
    QProcess process;
    process.setProgram(sim);
    process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    process.setArguments(QStringList{"--flights", "0", "--load", flightFile, "--name", "bench"} +
                         extra);
    process.start();
    process.waitForStarted();
    QStringList lines;
    while (lines.size() < 2 && process.waitForReadyRead(5000))
        while (process.canReadLine())
            lines << QString::fromLocal8Bit(process.readLine()).trimmed();

    SteadyClock clock;
    SystemPortSource ports;
    NullShell shell;
    Quiet prompts;
    Run run;
    {
        TMainForm form(MainFormDeps{clock, [] { return std::make_unique<QtSerialDevice>(); }, ports,
                                    shell, QString(), &prompts});
        form.show();
        auto* box = form.findChild<QComboBox*>("CommPortBox");
        box->setCurrentIndex(box->findText(lines.value(1), Qt::MatchStartsWith));
        form.findChild<QPushButton*>("ConnectBtn")->click();
        form.findChild<QPushButton*>("DLInfoBtn")->click();
        form.findChild<QComboBox*>("SetList")->setCurrentIndex(0);

        QElapsedTimer timer;
        timer.start();
        form.findChild<QPushButton*>("DLDataBtn")->click();
        run.seconds = static_cast<double>(timer.nsecsElapsed()) / 1e9;
        run.result = form.findChild<QPlainTextEdit*>("InfoText")->toPlainText().split('\n').last();
    }
    process.terminate();
    process.waitForFinished(3000);
    return run;
}

} // namespace

int main(int argc, char* argv[])
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    // The emulator publishes its link here, away from the user's own folder.
    QTemporaryDir dir;
    qputenv("XDG_RUNTIME_DIR", dir.path().toLocal8Bit());
    QApplication app(argc, argv);

    // A long flight: altitudes of up to four digits, as a real one has.
    const QString flight = dir.filePath("flight.txt");
    QFile file(flight);
    file.open(QIODevice::WriteOnly);
    QTextStream out(&file);
    qint64 wireBytes = QByteArray("DL=0\r\n0,100,65535,0,0\r\n").size();
    for (int i = 0; i < Samples; ++i) {
        const QByteArray line =
            QByteArray::number(int(3000 * std::sin(i * 0.00005) + (i % 7))) + "\r\n";
        out << line.left(line.size() - 2) << "\n";
        wireBytes += line.size();
    }
    file.close();

    const QString sim = QStringLiteral(VEXA_MODULE_SIM);
    const Run fast = DownloadOnce(sim, flight, {});
    std::printf("unpaced: %.3f s  (%s)\n", fast.seconds, qPrintable(fast.result));
    if (argc > 1 && QString(argv[1]) == "--unpaced-only")
        return 0;
    const Run paced = DownloadOnce(sim, flight, {"--baud", "115200"});
    const double wire = static_cast<double>(wireBytes) * 10.0 / 115200.0;
    std::printf("115200 baud: %.3f s against %.3f s of wire time (%+.2f%%)  (%s)\n", paced.seconds,
                wire, 100.0 * (paced.seconds - wire) / wire, qPrintable(paced.result));
    std::printf("unpaced is %.1f times faster than the wire\n", wire / fast.seconds);
    return 0;
}
