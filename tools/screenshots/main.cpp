// vexa-screenshots: drives the real main window against the module emulator
// and saves the pictures the manual and the README show. Run it through
// scripts/screenshots.sh, which gives it a virtual display and a clean home.

#include "app/TMainForm.h"
#include "platform/Clock.h"
#include "platform/PortDescription.h"
#include "platform/QtSerialDevice.h"
#include "plot/MouseTools.h"
#include "plotui/TPlotBox.h"

#include <QApplication>
#include <QComboBox>
#include <QCommandLineParser>
#include <QDir>
#include <QPlainTextEdit>
#include <QProcess>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QTest>
#include <QTimer>
#include <cstdio>
#include <memory>

using namespace vexa;

namespace {

// Whatever the program would ask the user, here it answers and notes.
class Answers final : public Prompter {
public:
    bool AskYesNo(const QString&, const QString&) override { return true; }
    void Warn(const QString& caption, const QString& text) override
    {
        std::fprintf(stderr, "screenshots: the program warned: %s: %s\n", qPrintable(caption),
                     qPrintable(text));
    }
};

class NoShell final : public Shell {
public:
    bool Open(const QUrl&) override { return true; }
};

[[noreturn]] void Fail(const QString& why)
{
    std::fprintf(stderr, "screenshots: %s\n", qPrintable(why));
    std::exit(1);
}

template <typename T = QWidget> T* Find(const QWidget& form, const char* name)
{
    T* w = form.findChild<T*>(QLatin1String(name));
    if (!w)
        Fail(QStringLiteral("no control %1").arg(QLatin1String(name)));
    return w;
}

void Settle(int ms = 300)
{
    QTest::qWait(ms);
}

void Save(QWidget& widget, const QDir& out, const char* name)
{
    Settle();
    const QString path = out.filePath(QLatin1String(name));
    if (!widget.grab().save(path))
        Fail(QStringLiteral("cannot write %1").arg(path));
    std::printf("screenshots: %s\n", qPrintable(path));
}

void ShowPage(QWidget& form, const char* page)
{
    Find<QTabWidget>(form, "PageControl1")->setCurrentWidget(Find(form, page));
}

// Starts the emulator and returns the path of its published link.
QString StartEmulator(QProcess& sim, const QString& program)
{
    sim.setProgram(program);
    sim.setArguments({QStringLiteral("--name"), QStringLiteral("screenshots"),
                      QStringLiteral("--flights"), QStringLiteral("3"), QStringLiteral("--seed"),
                      QStringLiteral("4")});
    sim.start();
    if (!sim.waitForStarted())
        Fail(QStringLiteral("cannot start %1").arg(program));
    QStringList lines;
    while (lines.size() < 2 && sim.waitForReadyRead(5000)) {
        while (sim.canReadLine())
            lines << QString::fromLocal8Bit(sim.readLine()).trimmed();
    }
    if (lines.size() < 2)
        Fail(QStringLiteral("the emulator published no link"));
    return lines[1];
}

// A climb rate measured with the mouse, as a user drags it.
void MarkClimb(QWidget& form)
{
    Find<QRadioButton>(form, "MouseClimb")->click();
    auto* box = Find<TPlotBox>(form, "PlotBox");
    if (!box->Tool())
        Fail(QStringLiteral("the plot has no mouse tools"));
    const PlotRect r = box->Tool()->Rect();
    // Along the descent, as the curve goes (the drag must span time and
    // altitude); a falling climb's label stands right of its bracket, clear
    // of the axis.
    const int w = r.plotRight - r.plotLeft, h = r.plotBottom - r.plotTop;
    const QPoint from(r.plotLeft + w * 26 / 100, r.plotTop + h * 15 / 100);
    const QPoint to(r.plotLeft + w * 62 / 100, r.plotTop + h * 80 / 100);
    QTest::mouseMove(box, from);
    QTest::mousePress(box, Qt::LeftButton, Qt::NoModifier, from);
    for (int step = 1; step <= 8; ++step)
        QTest::mouseMove(box, from + (to - from) * step / 8);
    QTest::mouseRelease(box, Qt::LeftButton, Qt::NoModifier, to);
}

// The update dialog is modal: it is taken and closed from a timer while the
// button's handler waits in it. It may take a while to fetch its list; any
// other modal window, or one that never settles, is closed unseen so the run
// cannot hang. A build without the dialog takes no picture.
void ShootUpdateDialog(QWidget& form, const QDir& out)
{
    bool shot = false;
    int ticks = 0;
    QTimer poll;
    poll.setInterval(250);
    QObject::connect(&poll, &QTimer::timeout, [&] {
        ++ticks;
        QWidget* dialog = QApplication::activeModalWidget();
        if (!dialog)
            return;
        const bool ours = dialog->objectName() == QLatin1String("TUpdateForm");
        if (ours && ticks >= 8) {
            poll.stop();
            Save(*dialog, out, "update.png");
            shot = true;
            dialog->close();
        } else if (!ours || ticks >= 60) {
            // A message box over the dialog goes; the dialog is still to be taken.
            if (ticks >= 60)
                poll.stop();
            dialog->close();
        }
    });
    poll.start();
    Find<QPushButton>(form, "UpdateBtn")->click();
    poll.stop();
    Settle();
    if (!shot)
        std::printf("screenshots: no update dialog in this build; update.png not taken\n");
}

} // namespace

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Vexa6"));

    QCommandLineParser parser;
    parser.addHelpOption();
    const QCommandLineOption simOption(QStringLiteral("sim"),
                                       QStringLiteral("The module emulator program."),
                                       QStringLiteral("path"));
    const QCommandLineOption outOption(QStringLiteral("out"),
                                       QStringLiteral("Folder for the pictures."),
                                       QStringLiteral("folder"));
    parser.addOptions({simOption, outOption});
    parser.process(app);
    if (!parser.isSet(simOption) || !parser.isSet(outOption))
        parser.showHelp(2);
    const QDir out(parser.value(outOption));
    if (!out.mkpath(QStringLiteral(".")))
        Fail(QStringLiteral("cannot make %1").arg(out.path()));

    QProcess sim;
    const QString link = StartEmulator(sim, parser.value(simOption));

    SteadyClock clock;
    SystemPortSource ports;
    NoShell shell;
    Answers answers;
    int status = 0;
    {
        TMainForm form({
            .clock = clock,
            .makeDevice = [] { return std::make_unique<QtSerialDevice>(); },
            .ports = ports,
            .shell = shell,
            .programDir = QCoreApplication::applicationDirPath(),
            .prompter = &answers,
        });
        form.show();
        if (!QTest::qWaitForWindowExposed(&form))
            Fail(QStringLiteral("the window never showed"));
        Save(form, out, "about.png");

        ShowPage(form, "ConnectPage");
        auto* portBox = Find<QComboBox>(form, "CommPortBox");
        const int port = portBox->findText(link, Qt::MatchStartsWith);
        if (port < 0)
            Fail(QStringLiteral("the emulator %1 is not in the port list").arg(link));
        portBox->setCurrentIndex(port);
        Find<QPushButton>(form, "ConnectBtn")->click();
        Find<QPushButton>(form, "DLInfoBtn")->click();
        Find<QComboBox>(form, "SetList")->setCurrentIndex(0);
        Find<QPushButton>(form, "DLDataBtn")->click();
        Save(form, out, "connect.png");

        ShowPage(form, "ConfigurePage");
        Save(form, out, "configure.png");

        ShowPage(form, "DataPage");
        Settle();
        MarkClimb(form);
        Save(form, out, "recorded-data.png");

        ShowPage(form, "ConfigurePage");
        ShootUpdateDialog(form, out);

        Find<QPushButton>(form, "ConnectBtn")->click();
        const QString info = Find<QPlainTextEdit>(form, "InfoText")->toPlainText();
        if (!info.contains(QLatin1String("Downloaded"))) {
            std::fprintf(stderr, "screenshots: nothing was downloaded:\n%s\n", qPrintable(info));
            status = 1;
        }
    }
    sim.terminate();
    sim.waitForFinished(3000);
    return status;
}
