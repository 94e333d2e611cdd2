#pragma once

#include "firmwareui/UpdateHost.h"
#include "link/ModuleSession.h"
#include "platform/PortDescription.h"

#include <QString>
#include <optional>

namespace Ui {
class TMainForm;
}

namespace vexa {

class ConfigurePage;
class Prompter;

// The Connect / Download page: the port list, the connection and the
// message area, shown from the session. The widgets belong to the window's
// form; the firmware update holds the line through this page.
class ConnectPage final : public UpdateHost {
public:
    ConnectPage(Ui::TMainForm& ui, ModuleSession& session, ConfigurePage& config,
                const PortSource& ports, Prompter& prompts);

    // Empties CommPortBox and the session's table and lists every port that opens.
    void FillPortList();
    // FillPortList, then selects the port chosen last by its name, also
    // when it was gone for a while; nothing while it is absent.
    void RefreshPortList();
    // Lists the ports again when the system's ports changed; not under the
    // user's hand in the open list.
    void WatchPorts();
    // The settings' port position, or the preferred port when the settings
    // gave none; and the session's speed.
    void SelectStoredPort(std::optional<int> stored);

    // Connects to the selected port, or disconnects. A port where nothing
    // answers is closed again.
    void ToggleConnection();
    // The speed changed: an open line is closed, to be connected again.
    void SpeedChanged(int index);
    // The line's device went away.
    void PortLost(const QString& portName);
    void ShowNotConnected();

    // The gate of every module action: true when a port is open. Otherwise
    // clears InfoText and says "Not Connected"; buttons off the Connect /
    // Download page also bring that page forward.
    bool RequireConnected(bool showConnectPage);
    void AddInfo(const QString& line);
    // Reads the module's configuration into the Configure page; returns how
    // many values arrived, and says so when none did.
    int ReadConfig();
    void ShowModuleInfo(const ModuleInfo& info);
    // The set box selects the item its text names, and nothing when the
    // text names no item, so a typed number never stands for the set shown before.
    void SetListEdited(const QString& text);

    // The firmware update's hold on the line.
    bool LinkConnected() const override;
    void CloseLink() override;
    QString SelectedPortName() const override;
    void LinkOpened() override;
    void LinkReleased() override;

private:
    Ui::TMainForm& ui;
    ModuleSession& Session;
    ConfigurePage& Config;
    const PortSource& Ports;
    Prompter& Prompts;
    QString WantedPort;
};

} // namespace vexa
