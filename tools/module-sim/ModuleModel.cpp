#include "ModuleModel.h"

#include <algorithm>

namespace vexa::sim {

std::optional<Reg> FindReg(std::string_view name)
{
    for (int i = 0; i < RegCount; ++i) {
        if (name == RegTable[static_cast<std::size_t>(i)].name)
            return static_cast<Reg>(i);
    }
    return std::nullopt;
}

Registers DefaultRegisters()
{
    Registers r{};
    for (std::size_t i = 0; i < r.size(); ++i)
        r[i] = RegTable[i].defaultValue;
    return r;
}

std::uint16_t FitRegister(Reg r, long long value)
{
    const int bits = RegTable[static_cast<std::size_t>(r)].bits;
    const auto mask = static_cast<unsigned long long>((1u << bits) - 1u);
    return static_cast<std::uint16_t>(static_cast<unsigned long long>(value) & mask);
}

ModuleModel::ModuleModel() : working_(DefaultRegisters()), committed_(DefaultRegisters()) {}

void ModuleModel::Set(Reg r, long long value)
{
    working_[static_cast<std::size_t>(r)] = FitRegister(r, value);
}

void ModuleModel::RestoreDefaults()
{
    working_ = DefaultRegisters();
    committed_ = working_;
}

void ModuleModel::AddSet(FlightSet set)
{
    NormaliseSet(set);
    sets_.push_back(std::move(set));
}

bool ModuleModel::EraseSet(int i)
{
    if (i < 0 || i >= SetCount())
        return false;
    sets_.erase(sets_.begin() + i);
    return true;
}

void NormaliseSet(FlightSet& set)
{
    set.intervalMs = std::clamp(set.intervalMs, 1, 65535);
    if (set.units < Feet || set.units > Meters)
        set.units = Feet;
    auto& t = set.triggerSamples;
    if (!set.triggerInput)
        t.clear();
    std::sort(t.begin(), t.end());
    t.erase(std::unique(t.begin(), t.end()), t.end());
    std::erase_if(t, [&](int i) { return i < 0 || i >= static_cast<int>(set.altitudes.size()); });

    // Drop samples from the end until samples plus markers fit one count.
    auto& a = set.altitudes;
    while (static_cast<int>(a.size() + t.size()) > MaxRecordLines) {
        a.pop_back();
        if (!t.empty() && t.back() >= static_cast<int>(a.size()))
            t.pop_back();
    }
    // A sample of exactly the marker value would read as a marker.
    for (int& v : a) {
        if (v == TriggerMarker)
            v = TriggerMarker + 1;
    }
}

std::vector<std::string> DownloadLines(const FlightSet& set, int setNumber)
{
    const auto& t = set.triggerSamples;
    const int records = static_cast<int>(set.altitudes.size() + t.size());
    std::vector<std::string> lines;
    lines.reserve(static_cast<std::size_t>(records) + 1);
    lines.push_back(std::to_string(setNumber) + ',' + std::to_string(set.intervalMs) + ',' +
                    std::to_string(records) + ',' + (set.triggerInput ? '1' : '0') + ',' +
                    std::to_string(set.units));
    auto next = t.begin();
    for (std::size_t i = 0; i < set.altitudes.size(); ++i) {
        if (next != t.end() && *next == static_cast<int>(i)) {
            lines.push_back(std::to_string(TriggerMarker));
            ++next;
        }
        lines.push_back(std::to_string(set.altitudes[i]));
    }
    return lines;
}

} // namespace vexa::sim
