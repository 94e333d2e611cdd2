#include "ModuleActions.h"

#include <cstdio>

namespace vexa {

ModuleInfo BuildModuleInfo(const ModuleIdentity& id, int setCount, bool identityComplete)
{
    ModuleInfo info;
    info.identity = id;
    info.setCount = setCount;
    info.identityComplete = identityComplete;
    if (!identityComplete)
        info.lines << QStringLiteral("No Reply from Target");
    info.lines << QStringLiteral("     Device Name: ") + id.deviceName
               << QStringLiteral("           Model: ") + id.model << QString()
               << QStringLiteral("Software Version: ") + id.softwareVersion
               << QStringLiteral("   Software Date: ") + id.softwareDate << QString() << QString()
               << QStringLiteral("Memory contains %1 data sets.").arg(setCount);
    for (int i = 1; i <= setCount; ++i)
        info.setItems << QString::number(i);
    info.setItems << QStringLiteral("All");
    return info;
}

bool ReadIdentityLines(SerialPort& port, ModuleIdentity& id)
{
    char line[LineMax + 1];
    auto readField = [&](int max, QString& field) {
        const int n = port.ReadLine(line, max, IdentityTimeoutMs);
        field = QString::fromLatin1(line);
        return n > 0;
    };
    bool complete = readField(256, id.deviceName);
    complete = readField(256, id.model) && complete;
    complete = readField(10, id.softwareVersion) && complete;
    complete = readField(20, id.softwareDate) && complete;
    return complete;
}

ModuleInfo DownloadModuleInfo(ModuleLink& link)
{
    SerialPort& port = link.port();
    char line[LineMax + 1];
    ModuleIdentity id;
    port.DrainInput();
    link.SendCommand(Cmd::SoftwareVersion);
    const bool complete = ReadIdentityLines(port, id);

    port.DrainInput();
    link.SendCommand(Cmd::NumberOfSets);
    int setCount = 0;
    if (port.ReadLine(line, LineMax, SetCountTimeoutMs) > 0)
        setCount = LeadingInt(line);
    // A count the module cannot hold is noise on the line, not a list to build.
    if (setCount < 0 || setCount > 65535)
        setCount = 0;
    return BuildModuleInfo(id, setCount, complete);
}

void EraseSet(ModuleLink& link, int position)
{
    link.SetValue(Cmd::EraseSet, position - 1);
}

void EraseAllSets(ModuleLink& link)
{
    link.port().DrainInput();
    link.SetValue(Cmd::EraseAll, 1);
}

void ResetModule(ModuleLink& link)
{
    SerialPort& port = link.port();
    port.DrainInput();
    port.Write(Cmd::Reset, 1);
    port.clock().SleepMs(ResetWaitMs);
}

void RestoreDefaults(ModuleLink& link)
{
    link.port().DrainInput();
    link.SendCommand(Cmd::ConfigRestore);
    link.port().clock().SleepMs(RestoreDefaultsWaitMs);
}

std::optional<int> ParseCalibrationAltitude(const QString& text)
{
    return ScanInt(text.left(255).toLatin1().constData());
}

void Calibrate(ModuleLink& link, int altitude)
{
    SerialPort& port = link.port();
    port.DrainInput();
    port.Write(Cmd::CalClear, 7);
    port.clock().SleepMs(CalClearWaitMs);
    char text[32];
    const int n = std::snprintf(text, sizeof text, Cmd::CalSetFormat, altitude);
    port.Write(text, n);
    port.clock().SleepMs(CalSetWaitMs);
}

} // namespace vexa
