#include "ModuleSession.h"

namespace vexa {

ModuleSession::ModuleSession(Clock& clock, std::unique_ptr<SerialDevice> line,
                             std::unique_ptr<SerialDevice> probe)
    : lineDevice_(std::move(line)), probeDevice_(std::move(probe)), port_(*lineDevice_, clock),
      probe_(*probeDevice_, clock), link_(port_)
{
}

ModuleSession::~ModuleSession() = default;

void ModuleSession::ClearPorts()
{
    ports_.names.clear();
    items_.clear();
    enumerators_.clear();
}

bool ModuleSession::ListPort(const PortDescription& port)
{
    ProbeContext context{probe_, Baud(), ports_, items_, port_.OpenPath()};
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

bool ModuleSession::Connect(int position)
{
    const QString name = PortNameAt(position);
    if (name.isEmpty() || !port_.Open(DevicePath(name), Baud(), LineMode::EightNoneOne))
        return false;
    connected_ = true;
    return true;
}

void ModuleSession::Disconnect()
{
    if (port_.IsOpen())
        port_.Close();
    connected_ = false;
}

void ModuleSession::ReadConfig()
{
    Config = ReadModuleConfig(link_);
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
