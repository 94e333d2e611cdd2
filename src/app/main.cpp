#include "app/About.h"
#include "app/AppResources.h"
#include "app/TMainForm.h"
#include "app/UpdateListOption.h"
#include "platform/Clock.h"
#include "platform/PortDescription.h"
#include "platform/QtSerialDevice.h"
#include "platform/Shell.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QFileInfo>
#include <QIcon>
#include <QMessageBox>
#include <QStandardPaths>
#include <QTimer>
#include <cstdio>
#include <exception>
#include <memory>

namespace {

// The name the desktop entry, the icon and the metainfo are installed under;
// Wayland matches windows to the entry by it.
constexpr const char* DesktopFileName = "example.vexa_instruments.Vexa";

void ShowException(const char* what)
{
    QMessageBox::critical(nullptr, QStringLiteral("Vexa"), QString::fromLocal8Bit(what));
}

// A handler that throws is reported and the program goes on.
class VexaApplication final : public QApplication {
public:
    using QApplication::QApplication;

    bool notify(QObject* receiver, QEvent* event) override
    {
        try {
            return QApplication::notify(receiver, event);
        } catch (const std::exception& e) {
            ShowException(e.what());
        } catch (...) {
            ShowException("Unexpected error");
        }
        return false;
    }
};

void Print(std::FILE* stream, const QString& text)
{
    std::fputs(text.toLocal8Bit().constData(), stream);
    std::fflush(stream);
}

// Options of the command line. Read before the application object exists, so
// that --help, --version and mistakes are answered without a display.
struct CommandLine {
    QCommandLineOption help{{QStringLiteral("h"), QStringLiteral("help")},
                            QStringLiteral("Shows this help and ends.")};
    QCommandLineOption version{{QStringLiteral("v"), QStringLiteral("version")},
                               QStringLiteral("Shows the program's version and ends.")};
    // Another settings file instead of the user's store.
    QCommandLineOption settings{QStringLiteral("settings"),
                                QStringLiteral("Keeps the settings in <file>."),
                                QStringLiteral("file")};
    QCommandLineOption updateList{
        QStringLiteral("update-list"),
        QStringLiteral("Reads the list of firmware updates from URL instead of the address in "
                       "the environment variable VEXA_UPDATE_LIST or the maker's web site."),
        QStringLiteral("URL")};

    CommandLine()
    {
        // Qt's own options (-platform xcb, -style fusion ...) are the
        // application's to take; they are only let through here.
        parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
        for (const char* name : {"platform", "platformpluginpath", "platformtheme", "plugin",
                                 "display", "geometry", "style", "stylesheet", "session", "name",
                                 "title", "qwindowgeometry", "qwindowicon", "qwindowtitle"})
            parser.addOption(Hidden(name, true));
        for (const char* name : {"reverse", "widgetcount", "nograb", "dograb", "sync"})
            parser.addOption(Hidden(name, false));
        parser.setApplicationDescription(
            QStringLiteral("Vexa: Altitude Data Recording and Monitoring System.\n"
                           "Connects to the altitude logger module over a serial port, "
                           "downloads, plots and exports its recordings."));
        parser.addOptions({help, version, settings, updateList});
        parser.addPositionalArgument(
            QStringLiteral("files"),
            QStringLiteral("Data files to open, as Load opens them: a data set or a plot."),
            QStringLiteral("[file.csv ...]"));
    }

    // The exit code when the program ends here, or -1 to go on.
    int Handle(const QStringList& arguments)
    {
        if (!parser.parse(arguments)) {
            Print(stderr, QStringLiteral("vexa: %1\nTry vexa --help.\n").arg(parser.errorText()));
            return 2;
        }
        if (parser.isSet(help)) {
            // Without an application object Qt cannot name the program.
            QString text = parser.helpText();
            text.replace(QStringLiteral("<executable_name>"), QStringLiteral("vexa"));
            Print(stdout, text + QStringLiteral("\nQt's own options (-platform, -display, "
                                                "-style ...) are passed through.\n"));
            return 0;
        }
        if (parser.isSet(version)) {
            Print(stdout, QStringLiteral("vexa %1\n").arg(vexa::GetVersionText()));
            return 0;
        }
        return -1;
    }

    static QCommandLineOption Hidden(const char* name, bool takesValue)
    {
        QCommandLineOption option(QString::fromLatin1(name));
        if (takesValue)
            option.setValueName(QStringLiteral("value"));
        option.setFlags(QCommandLineOption::HiddenFromHelp);
        return option;
    }

    // The files named, as absolute paths: the window does not know the
    // folder the program was started in.
    QStringList Files() const
    {
        QStringList files;
        for (const QString& name : parser.positionalArguments())
            files << QFileInfo(name).absoluteFilePath();
        return files;
    }

    QCommandLineParser parser;
};

QStringList Arguments(int argc, char* argv[])
{
    QStringList arguments;
    for (int i = 0; i < argc; ++i)
        arguments.append(QString::fromLocal8Bit(argv[i]));
    return arguments;
}

} // namespace

int main(int argc, char* argv[])
{
    vexa::InitAppResources();
    // The name the desktop groups our windows under. Not a display name:
    // Qt would append that to every window title.
    QApplication::setApplicationName(QStringLiteral("Vexa6"));
    QApplication::setApplicationVersion(vexa::GetVersionText());
    QGuiApplication::setDesktopFileName(QString::fromLatin1(DesktopFileName));

    CommandLine commandLine;
    if (const int exitCode = commandLine.Handle(Arguments(argc, argv)); exitCode >= 0)
        return exitCode;

    VexaApplication app(argc, argv);
    QApplication::setWindowIcon(QIcon(QStringLiteral(":/vexa/vexa.png")));

    try {
        vexa::SteadyClock clock;
        vexa::SystemPortSource ports;
        vexa::DesktopShell shell;
        vexa::TMainForm form({
            .clock = clock,
            .makeDevice = [] { return std::make_unique<vexa::QtSerialDevice>(); },
            .ports = ports,
            .shell = shell,
            .programDir = QCoreApplication::applicationDirPath(),
            .dataDirs = QStandardPaths::standardLocations(QStandardPaths::GenericDataLocation),
            .settingsFile = commandLine.parser.value(commandLine.settings),
            .updateList = vexa::UpdateListAddress(commandLine.parser.value(commandLine.updateList),
                                                  qgetenv("VEXA_UPDATE_LIST")),
        });
        form.show();
        // After the first show, which makes the store and reads the settings.
        const QStringList files = commandLine.Files();
        if (!files.isEmpty())
            QTimer::singleShot(0, &form, [&form, files] { form.OpenDataFiles(files); });
        return app.exec();
    } catch (const std::exception& e) {
        ShowException(e.what());
    } catch (...) {
        ShowException("Unexpected error");
    }
    return 1;
}
