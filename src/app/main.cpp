#include "app/About.h"
#include "app/TMainForm.h"
#include "app/UpdateListOption.h"
#include "platform/Clock.h"
#include "platform/PortDescription.h"
#include "platform/QtSerialDevice.h"
#include "platform/Shell.h"

#include <QApplication>
#include <QIcon>
#include <QMessageBox>
#include <exception>
#include <memory>

static void InitVexaResources()
{
    Q_INIT_RESOURCE(vexa);
}

namespace {

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

} // namespace

int main(int argc, char* argv[])
{
    InitVexaResources();
    VexaApplication app(argc, argv);
    // The name the desktop groups our windows under. Not a display name:
    // Qt would append that to every window title.
    QApplication::setApplicationName(QStringLiteral("Vexa6"));
    QApplication::setApplicationVersion(vexa::GetVersionText());
    QApplication::setWindowIcon(QIcon(QStringLiteral(":/vexa/vexa.png")));

    try {
        vexa::SteadyClock clock;
        vexa::SystemPortSource ports;
        vexa::DesktopShell shell;
        vexa::MainFormDeps deps{clock, [] { return std::make_unique<vexa::QtSerialDevice>(); },
                                ports, shell, QCoreApplication::applicationDirPath()};
        deps.updateList =
            vexa::UpdateListAddress(QCoreApplication::arguments(), qgetenv("VEXA_UPDATE_LIST"));
        vexa::TMainForm form(std::move(deps));
        form.show();
        return app.exec();
    } catch (const std::exception& e) {
        ShowException(e.what());
    } catch (...) {
        ShowException("Unexpected error");
    }
    return 1;
}
