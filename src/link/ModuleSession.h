#pragma once

#include "ModuleActions.h"
#include "ModuleConfig.h"
#include "ModuleLink.h"
#include "SerialPort.h"
#include "platform/Clock.h"
#include "platform/PortDescription.h"
#include "platform/SerialDevice.h"

#include <QObject>
#include <QStringList>
#include <memory>

namespace vexa {

// What the message area says when not one configuration value came from
// the module on portName, and when the line's port went away.
QStringList NoAnswerLines(const QString& portName);
QStringList PortLostLines(const QString& portName);

// The program's side of the module: the line and the ports it may be
// opened on, whether it is connected, and what the module last reported.
// The main window shows it; its handlers call it.
class ModuleSession final : public QObject {
    Q_OBJECT

public:
    // line carries the module's exchanges; probe test-opens ports while the
    // list is filled, so a refresh never disturbs line.
    ModuleSession(Clock& clock, std::unique_ptr<SerialDevice> line,
                  std::unique_ptr<SerialDevice> probe);
    ~ModuleSession() override;

    // The port list: emptied, then one port at a time offered by the
    // enumeration. ListPort lists the port when it opens and returns
    // whether to go on.
    void ClearPorts();
    bool ListPort(const PortDescription& port);
    const PortTable& Ports() const { return ports_; }
    // The display lines of the listed ports, in list order.
    const QStringList& PortItems() const { return items_; }
    // The bus of each listed port, in list order.
    const QStringList& PortEnumerators() const { return enumerators_; }
    // The port name at a list position; empty outside the list.
    QString PortNameAt(int position) const;
    // Whether source now names other ports than at the last listing.
    bool PortsChanged(const PortSource& source) const;

    int SpeedIndex() const { return speedIndex_; }
    void SetSpeedIndex(int index) { speedIndex_ = index; }
    std::uint32_t Baud() const { return BaudRateAt(speedIndex_); }

    bool Connected() const { return connected_; }
    // Opens the port at a list position; false when there is none or it
    // does not open, with ConnectError saying which and why.
    bool Connect(int position);
    QString ConnectError() const { return connectError_; }
    // The port name Connect opened last.
    const QString& PortName() const { return portName_; }
    // Closes the line if it is open.
    void Disconnect();

    // The firmware update opened the line for itself, or let go of it.
    void UpdateTookLine() { connected_ = updateHolds_ = true; }
    void UpdateReleasedLine() { connected_ = updateHolds_ = false; }

    // The twelve registers into Config; returns how many values arrived.
    // When none did, Config keeps what it held.
    int ReadConfig();
    // Asks the module who it is and how many sets it holds.
    ModuleInfo DownloadInfo();
    // The same from the simulated target, without a line.
    ModuleInfo SimulatedInfo();

    SerialPort& Port() { return port_; }
    ModuleLink& Link() { return link_; }

    // What the module last reported; SI also comes from the settings.
    ModuleConfig Config;
    ModuleIdentity Identity;
    int SetCount = 0;

signals:
    // The open line's device went away; the session has closed the line.
    // Not sent while the firmware update holds the line: its own exchange
    // fails and reports.
    void PortLost(const QString& portName);

private:
    void Remember(const ModuleInfo& info);
    void LineLost();

    std::unique_ptr<SerialDevice> lineDevice_;
    std::unique_ptr<SerialDevice> probeDevice_;
    SerialPort port_;
    SerialPort probe_;
    ModuleLink link_;
    PortTable ports_;
    QStringList items_;
    QStringList enumerators_;
    // Every port the last listing was offered, openable or not.
    QStringList offered_;
    QString portName_;
    QString connectError_;
    int speedIndex_ = DefaultSpeedIndex;
    bool connected_ = false;
    bool updateHolds_ = false;
};

} // namespace vexa
