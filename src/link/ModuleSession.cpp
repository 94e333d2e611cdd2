#include "ModuleSession.h"

namespace vexa {

QStringList NoAnswerLines(const QString& portName)
{
    return {QStringLiteral("The module did not answer on %1.").arg(portName),
            QStringLiteral("Check the port, the cable and that the"),
            QStringLiteral("module is switched on, and try again.")};
}

QStringList PortLostLines(const QString& portName)
{
    return {QString(), QStringLiteral("The port %1 went away").arg(portName),
            QStringLiteral("(cable pulled or device switched off)."),
            QStringLiteral("Plug it in again and press Connect.")};
}

ModuleSession::ModuleSession(Clock& clock, std::unique_ptr<SerialDevice> line,
                             std::unique_ptr<SerialDevice> probe)
    : lineDevice_(std::move(line)), probeDevice_(std::move(probe)), port_(*lineDevice_, clock),
      probe_(*probeDevice_, clock), link_(port_)
{
    // Reported from inside a read; the session acts once that has returned.
    lineDevice_->OnLost([this] {
        QMetaObject::invokeMethod(this, &ModuleSession::LineLost, Qt::QueuedConnection);
    });
}

ModuleSession::~ModuleSession() = default;

void ModuleSession::ClearPorts()
{
    ports_.names.clear();
    items_.clear();
    enumerators_.clear();
    offered_.clear();
}

bool ModuleSession::ListPort(const PortDescription& port)
{
    ProbeContext context{probe_, Baud(), ports_, items_, port_.OpenPath()};
    offered_.append(port.portName);
    const int listed = ports_.Count();
    const bool more = ProbePort(context, port);
    if (ports_.Count() > listed)
        enumerators_.append(port.enumerator);
    return more;
}

QString ModuleSession::PortNameAt(int position) const
{
    return position >= 0 && position < ports_.Count() ? ports_.names[position] : QString();
}

bool ModuleSession::PortsChanged(const PortSource& source) const
{
    QStringList now;
    for (const PortDescription& port : source.ListPorts())
        now.append(port.portName);
    return now != offered_;
}

bool ModuleSession::Connect(int position)
{
    const QString name = PortNameAt(position);
    connectError_.clear();
    if (name.isEmpty()) {
        connectError_ = QStringLiteral("No port is chosen: pick one in the list.");
        return false;
    }
    if (!port_.Open(DevicePath(name), Baud(), LineMode::EightNoneOne)) {
        const QString reason = port_.OpenError();
        connectError_ = reason.isEmpty() ? name : name + QStringLiteral(": ") + reason;
        return false;
    }
    portName_ = name;
    connected_ = true;
    return true;
}

void ModuleSession::Disconnect()
{
    if (port_.IsOpen())
        port_.Close();
    connected_ = false;
}

int ModuleSession::ReadConfig()
{
    int answered = 0;
    const ModuleConfig read = ReadModuleConfig(link_, &answered);
    if (answered > 0)
        Config = read;
    return answered;
}

void ModuleSession::LineLost()
{
    if (!port_.IsOpen() || updateHolds_)
        return;
    Disconnect();
    emit PortLost(portName_);
}

ModuleInfo ModuleSession::DownloadInfo()
{
    const ModuleInfo info = DownloadModuleInfo(link_);
    Remember(info);
    return info;
}

ModuleInfo ModuleSession::SimulatedInfo()
{
    const ModuleInfo info =
        BuildModuleInfo(SimulatedTarget::Identity(), SimulatedTarget::SetCount, true);
    Config.SR = SimulatedTarget::SR;
    Config.UA = SimulatedTarget::UA;
    Remember(info);
    return info;
}

void ModuleSession::Remember(const ModuleInfo& info)
{
    Identity = info.identity;
    SetCount = info.setCount;
}

} // namespace vexa
