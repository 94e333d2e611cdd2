#include "ModuleConfig.h"

#include <cstdio>
#include <type_traits>

namespace vexa {

QString UnitName(int units)
{
    switch (units) {
    case Feet:
        return QStringLiteral("Feet");
    case Yards:
        return QStringLiteral("Yards");
    case Meters:
        return QStringLiteral("Meters");
    default:
        return {};
    }
}

int ConfigRegister::Get(const ModuleConfig& c) const
{
    return std::visit([&c](auto field) { return int(c.*field); }, member);
}

void ConfigRegister::Set(ModuleConfig& c, int value) const
{
    std::visit(
        [&c, value](auto field) {
            using Field = std::remove_reference_t<decltype(c.*field)>;
            c.*field = static_cast<Field>(value);
        },
        member);
}

ModuleConfig ReadModuleConfig(ModuleLink& link, int* answered)
{
    ModuleConfig c;
    int count = 0;
    for (const ConfigRegister& r : ConfigRegisters) {
        bool arrived = false;
        r.Set(c, link.GetValue(r.name, &arrived));
        count += arrived ? 1 : 0;
    }
    if (answered)
        *answered = count;
    return c;
}

void WriteModuleConfig(ModuleLink& link, const ModuleConfig& c)
{
    for (const ConfigRegister& r : ConfigRegisters)
        link.SetValue(r.name, r.Get(c));
    link.SendCommand(Cmd::ConfigWrite);
}

std::uint32_t RecordInterval::TotalMs() const
{
    const std::int64_t ms = std::int64_t(hours) * 3600000 + std::int64_t(minutes) * 60000 +
                            std::int64_t(seconds) * 1000 + milliseconds;
    return ms < 0 ? 0u : static_cast<std::uint32_t>(ms);
}

std::int16_t& RecordInterval::Part(IntervalPart part)
{
    switch (part) {
    case IntervalPart::Hours:
        return hours;
    case IntervalPart::Minutes:
        return minutes;
    case IntervalPart::Seconds:
        return seconds;
    case IntervalPart::Milliseconds:
        break;
    }
    return milliseconds;
}

RecordInterval SplitInterval(std::uint32_t ms)
{
    RecordInterval p;
    p.hours = static_cast<std::int16_t>(ms / 3600000);
    ms %= 3600000;
    p.minutes = static_cast<std::int16_t>(ms / 60000);
    ms %= 60000;
    p.seconds = static_cast<std::int16_t>(ms / 1000);
    p.milliseconds = static_cast<std::int16_t>(ms % 1000);
    return p;
}

RecordInterval NormalizeInterval(const RecordInterval& parts, std::uint16_t si)
{
    const std::uint32_t total = parts.TotalMs();
    if (total == 0) {
        RecordInterval p = parts;
        p.milliseconds = static_cast<std::int16_t>(si);
        return p;
    }
    if (total > OneHourMs)
        return SplitInterval(OneHourMs);
    return parts;
}

QString RecordTimeText(std::uint32_t intervalMs)
{
    std::uint64_t t = ModuleMemorySamples * intervalMs;
    const std::uint64_t days = t / 86400000;
    t %= 86400000;
    const std::uint64_t hours = t / 3600000;
    t %= 3600000;
    const std::uint64_t minutes = t / 60000;
    t %= 60000;
    const std::uint64_t seconds = t / 1000;
    const std::uint64_t millis = t % 1000;
    char text[128];
    if (days > 0)
        std::snprintf(text, sizeof text,
                      "Approximate Record Time: %llu days, %02llu h %02llu m %02llu.%03llu sec",
                      static_cast<unsigned long long>(days), static_cast<unsigned long long>(hours),
                      static_cast<unsigned long long>(minutes),
                      static_cast<unsigned long long>(seconds),
                      static_cast<unsigned long long>(millis));
    else
        std::snprintf(
            text, sizeof text, "Approximate Record Time: %02llu hours %02llu min %02llu.%03llu sec",
            static_cast<unsigned long long>(hours), static_cast<unsigned long long>(minutes),
            static_cast<unsigned long long>(seconds), static_cast<unsigned long long>(millis));
    return QString::fromLatin1(text);
}

RecordInterval SpinInterval(RecordInterval p, IntervalPart part, bool up, std::uint16_t si)
{
    if (part == IntervalPart::Milliseconds) {
        if (up && 1000 - si > p.milliseconds)
            p.milliseconds = static_cast<std::int16_t>(p.milliseconds + si);
        else if (!up && si > 0 && p.milliseconds >= si)
            p.milliseconds = static_cast<std::int16_t>(p.milliseconds - si);
        return p;
    }
    std::int16_t& v = p.Part(part);
    const int max = part == IntervalPart::Hours ? 1 : 59;
    if (up && v < max)
        ++v;
    else if (!up && v > 0)
        --v;
    return p;
}

std::optional<ConfigToWrite> ConfigFromControls(const ConfigControls& in,
                                                const ModuleConfig& lastRead)
{
    const std::uint16_t si = lastRead.SI;
    if (si == 0)
        return std::nullopt;
    auto leading = [](const QString& text) { return LeadingInt(text); };
    auto limited = [](int v) { return v > 65535 ? 65535 : v < 0 ? 0 : v; };

    ConfigToWrite out;
    ModuleConfig& c = out.config;
    c.RV = in.reverseTrigger ? 1 : 0;
    c.SR = static_cast<std::uint16_t>(in.interval.TotalMs() / si);
    c.SI = si;
    auto index = [](int selected, std::uint8_t previous) {
        return selected < 0 ? previous : static_cast<std::uint8_t>(selected);
    };
    c.UA = index(in.unitsIndex, lastRead.UA);
    c.RT = in.trigger ? 1 : 0;
    c.AS = index(in.autoStart, lastRead.AS);
    c.AP = index(in.autoStop, lastRead.AP);
    c.AZ = index(in.autoZero, lastRead.AZ);
    c.SA = static_cast<std::uint16_t>(leading(in.startAltitude));
    c.PA = static_cast<std::uint16_t>(leading(in.stopAltitude));
    const int st = limited(leading(in.startSeconds));
    const int pt = limited(leading(in.stopSeconds));
    c.ST = static_cast<std::uint16_t>(st);
    c.PT = static_cast<std::uint16_t>(pt);
    out.startSeconds = st != leading(in.startSeconds) ? QString::number(st) : in.startSeconds;
    out.stopSeconds = pt != leading(in.stopSeconds) ? QString::number(pt) : in.stopSeconds;
    return out;
}

} // namespace vexa
