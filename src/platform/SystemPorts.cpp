#include "PortDescription.h"

#include <QDir>
#include <QFileInfo>
#include <QSerialPortInfo>

namespace vexa {
namespace {

#if defined(Q_OS_LINUX)
// The bus a tty hangs on, from the subsystem of its sysfs device.
QString LinuxEnumerator(const QString& portName)
{
    const QFileInfo device(QStringLiteral("/sys/class/tty/%1/device/subsystem").arg(portName));
    QString bus = QFileInfo(device.canonicalFilePath()).fileName();
    if (bus == QLatin1String("usb-serial"))
        bus = QStringLiteral("usb");
    return bus.toUpper();
}
#endif

QString EnumeratorOf(const QSerialPortInfo& info)
{
#if defined(Q_OS_LINUX)
    const QString bus = LinuxEnumerator(info.portName());
    if (!bus.isEmpty())
        return bus;
#endif
    return info.hasVendorIdentifier() ? QStringLiteral("USB") : QString();
}

QString FriendlyNameOf(const QSerialPortInfo& info)
{
    QString name = info.description().trimmed();
    const QString maker = info.manufacturer().trimmed();
    if (name.isEmpty())
        name = maker;
    return name.isEmpty() ? info.portName() : name;
}

} // namespace

std::vector<PortDescription> ListSystemSerialPorts()
{
    std::vector<PortDescription> ports;
    for (const QSerialPortInfo& info : QSerialPortInfo::availablePorts())
        ports.push_back({info.portName(), FriendlyNameOf(info), EnumeratorOf(info)});
    return ports;
}

std::vector<PortDescription> ListEmulatorPorts(const QString& folder)
{
    std::vector<PortDescription> ports;
    const QDir dir(folder);
    const auto entries =
        dir.entryInfoList(QDir::System | QDir::Files | QDir::NoDotAndDotDot, QDir::Name);
    for (const QFileInfo& entry : entries) {
        // A link whose emulator is gone points nowhere; leave it out.
        if (!entry.isSymLink() || !QFileInfo::exists(entry.symLinkTarget()))
            continue;
        ports.push_back({entry.absoluteFilePath(), QString::fromLatin1(EmulatorFriendlyName),
                         QString::fromLatin1(EmulatorEnumerator)});
    }
    return ports;
}

QString EmulatorPortFolder()
{
    const QString runtime = qEnvironmentVariable("XDG_RUNTIME_DIR");
    if (!runtime.isEmpty() && QFileInfo(runtime).isDir())
        return QDir(runtime).filePath(QStringLiteral("vexa-ports"));
    QString user = qEnvironmentVariable("USER");
    if (user.isEmpty())
        user = qEnvironmentVariable("USERNAME", QStringLiteral("user"));
    return QDir(QDir::tempPath()).filePath(QStringLiteral("vexa-ports-%1").arg(user));
}

std::vector<PortDescription> SystemPortSource::ListPorts() const
{
    std::vector<PortDescription> ports = ListSystemSerialPorts();
    for (PortDescription& p : ListEmulatorPorts(EmulatorPortFolder()))
        ports.push_back(std::move(p));
    return ports;
}

} // namespace vexa
