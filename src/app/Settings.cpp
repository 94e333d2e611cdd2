#include "Settings.h"

#include "platform/PortDescription.h"

#include <QSettings>
#include <QVariant>
#include <QtEndian>
#include <algorithm>
#include <array>
#include <bit>
#include <cmath>
#include <limits>
#include <optional>
#include <variant>

namespace vexa {
namespace {

using Field = std::variant<int AppSettings::*, bool AppSettings::*, double AppSettings::*,
                           ColorRef AppSettings::*, std::uint16_t AppSettings::*>;

struct Entry {
    const char* name;
    Field field;
};

// The stored order; a failed read stops here, so the order matters.
constexpr std::array<Entry, SettingsValueCount> Entries{{
    {"ComPort", &AppSettings::ComPort},
    {"BaudRate", &AppSettings::BaudRate},
    {"Left", &AppSettings::Left},
    {"Top", &AppSettings::Top},
    {"SimulateTarget", &AppSettings::SimulateTarget},
    {"ShowPoints", &AppSettings::ShowPoints},
    {"ShowInfo", &AppSettings::ShowInfo},
    {"ShowBackground", &AppSettings::ShowBackground},
    {"ShowAvgROC", &AppSettings::ShowAvgROC},
    {"RevTrig", &AppSettings::RevTrig},
    {"Triggered", &AppSettings::Triggered},
    {"Sizeable", &AppSettings::Sizeable},
    {"PrtWidth", &AppSettings::PrtWidth},
    {"PrtHeight", &AppSettings::PrtHeight},
    {"PrtColor", &AppSettings::PrtColor},
    {"BGColor", &AppSettings::BGColor},
    {"GridColor", &AppSettings::GridColor},
    {"ScaleColor", &AppSettings::ScaleColor},
    {"LabelColor", &AppSettings::LabelColor},
    {"InfoColor", &AppSettings::InfoColor},
    {"AutoStart", &AppSettings::AutoStart},
    {"AutoStartSec", &AppSettings::AutoStartSec},
    {"AutoStartAltitude", &AppSettings::AutoStartAltitude},
    {"AutoStop", &AppSettings::AutoStop},
    {"AutoStopSec", &AppSettings::AutoStopSec},
    {"AutoStopAltitude", &AppSettings::AutoStopAltitude},
    {"AutoZero", &AppSettings::AutoZero},
    {"ExportType", &AppSettings::ExportType},
    {"Interval", &AppSettings::Interval},
}};

// A 32-bit register value: a native integer, or integer text as an INI file
// holds it. Values beyond 32 bits, and anything else, do not read.
std::optional<std::uint32_t> ReadWord(const QVariant& v)
{
    bool ok = false;
    qlonglong n = 0;
    switch (v.typeId()) {
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::Long:
    case QMetaType::ULong:
    case QMetaType::LongLong:
    case QMetaType::ULongLong:
        n = v.toLongLong(&ok);
        break;
    case QMetaType::QString:
        n = v.toString().toLongLong(&ok, 10);
        break;
    default:
        return std::nullopt;
    }
    if (!ok || n < std::numeric_limits<std::int32_t>::min() ||
        n > qlonglong(std::numeric_limits<std::uint32_t>::max()))
        return std::nullopt;
    return static_cast<std::uint32_t>(n);
}

bool ReadInto(const QVariant& v, int& out)
{
    const auto word = ReadWord(v);
    if (word)
        out = static_cast<int>(*word);
    return word.has_value();
}

bool ReadInto(const QVariant& v, bool& out)
{
    const auto word = ReadWord(v);
    if (word)
        out = *word != 0;
    return word.has_value();
}

bool ReadInto(const QVariant& v, ColorRef& out)
{
    const auto word = ReadWord(v);
    if (word)
        out = *word;
    return word.has_value();
}

bool ReadInto(const QVariant& v, std::uint16_t& out)
{
    const auto word = ReadWord(v);
    if (word)
        out = static_cast<std::uint16_t>(*word & 0xFFFFu);
    return word.has_value();
}

// Exactly eight bytes of a little-endian double. A NaN or infinity would
// poison every size computed from it, so it does not read either.
bool ReadInto(const QVariant& v, double& out)
{
    if (v.typeId() != QMetaType::QByteArray)
        return false;
    const QByteArray bytes = v.toByteArray();
    if (bytes.size() != sizeof(double))
        return false;
    const double d = std::bit_cast<double>(qFromLittleEndian<quint64>(bytes.constData()));
    if (!std::isfinite(d))
        return false;
    out = d;
    return true;
}

QVariant Stored(int v)
{
    return v;
}
QVariant Stored(bool v)
{
    return v ? 1 : 0;
}
QVariant Stored(ColorRef v)
{
    return static_cast<int>(v);
}
QVariant Stored(std::uint16_t v)
{
    return int(v);
}
QVariant Stored(double v)
{
    QByteArray bytes(sizeof(double), '\0');
    qToLittleEndian(std::bit_cast<quint64>(v), bytes.data());
    return bytes;
}

} // namespace

std::unique_ptr<QSettings> OpenSettingsStore(const QString& file)
{
    // Organisation and application give the path Software/DorvelSystems/Vexa6
    // in the registry and DorvelSystems/Vexa6.conf in the configuration folder.
    auto store =
        file.isEmpty()
            ? std::make_unique<QSettings>(QSettings::NativeFormat, QSettings::UserScope,
                                          QStringLiteral("DorvelSystems"), QStringLiteral("Vexa6"))
            : std::make_unique<QSettings>(file, QSettings::IniFormat);
    store->beginGroup(QStringLiteral("Settings"));
    return store;
}

int ReadSettings(const QSettings& store, AppSettings& values)
{
    int read = 0;
    for (const Entry& entry : Entries) {
        const QVariant v = store.value(QLatin1String(entry.name));
        const bool ok =
            std::visit([&](auto member) { return ReadInto(v, values.*member); }, entry.field);
        if (!ok)
            break;
        ++read;
    }
    if (read < SettingsValueCount) {
        const AppSettings defaults;
        if (read == 0)
            values.ComPort = defaults.ComPort;
        values.BaudRate = defaults.BaudRate;
        values.PrtWidth = defaults.PrtWidth;
        values.PrtHeight = defaults.PrtHeight;
        values.BGColor = defaults.BGColor;
        values.GridColor = defaults.GridColor;
        values.ScaleColor = defaults.ScaleColor;
        values.LabelColor = defaults.LabelColor;
        values.InfoColor = defaults.InfoColor;
        values.Interval = defaults.Interval;
    }
    return read;
}

bool WriteSettings(QSettings& store, const AppSettings& values)
{
    // The store holds nothing but these values; whatever else a damaged
    // file held goes. The file is written whole through a temporary one
    // when synced, under a lock against a second copy closing at once.
    store.clear();
    for (const Entry& entry : Entries)
        std::visit(
            [&](auto member) { store.setValue(QLatin1String(entry.name), Stored(values.*member)); },
            entry.field);
    store.sync();
    // A format error comes from reading back the old file; the new one was written.
    return store.status() != QSettings::AccessError;
}

QPoint PlaceOnScreen(QPoint topLeft, QSize size, const QList<QRect>& screens, QRect primary)
{
    // A corner the size of a title bar's grip is enough to drag the window back.
    const QSize grip(std::min(size.width(), 64), std::min(size.height(), 24));
    const QRect window(topLeft, size);
    for (const QRect& screen : screens) {
        const QRect shown = window.intersected(screen);
        if (shown.width() >= grip.width() && shown.height() >= grip.height())
            return topLeft;
    }
    QRect centred(QPoint(), size);
    centred.moveCenter(primary.center());
    return QPoint(std::max(centred.left(), primary.left()), std::max(centred.top(), primary.top()));
}

int PreferredPortPosition(const QStringList& enumerators)
{
    for (qsizetype i = 0; i < enumerators.size(); ++i) {
        const QString& bus = enumerators[i];
        if (bus.compare(QLatin1String("USB"), Qt::CaseInsensitive) == 0 ||
            bus.compare(QLatin1String("FTDIBUS"), Qt::CaseInsensitive) == 0 ||
            bus == QLatin1String(EmulatorEnumerator))
            return static_cast<int>(i);
    }
    return 0;
}

} // namespace vexa
