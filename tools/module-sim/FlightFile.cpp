#include "FlightFile.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdlib>
#include <fstream>
#include <optional>
#include <sstream>

namespace vexa::sim {

namespace {

constexpr int DefaultIntervalMs = 100;

// One set block being read.
struct Block {
    int headerLines = 0; // "#" lines seen: name, two axis labels, three notes, window
    bool triggerFlag = false;
    int units = Feet;
    std::vector<double> times;
    std::vector<double> altitudes;
    std::vector<int> triggers;
};

std::string Lower(std::string_view s)
{
    std::string out(s);
    std::transform(out.begin(), out.end(), out.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return out;
}

// The numbers of a comma-separated line, up to the first that does not parse.
std::vector<double> Numbers(const std::string& line)
{
    std::vector<double> values;
    const char* p = line.c_str();
    while (true) {
        char* end = nullptr;
        const double v = std::strtod(p, &end);
        if (end == p || !std::isfinite(v))
            break;
        values.push_back(v);
        p = end;
        while (*p == ' ' || *p == '\t')
            ++p;
        if (*p != ',')
            break;
        ++p;
    }
    return values;
}

void ReadHeaderLine(Block& b, const std::string& line)
{
    ++b.headerLines;
    if (b.headerLines == 3) {
        const std::string label = Lower(line);
        if (label.find("meter") != std::string::npos || label.find("metre") != std::string::npos)
            b.units = Meters;
        else if (label.find("yard") != std::string::npos)
            b.units = Yards;
    } else if (b.headerLines == 7) {
        const std::vector<double> window = Numbers(line.substr(1));
        b.triggerFlag = window.size() >= 5 && window[4] != 0;
    }
}

void ReadSampleLine(Block& b, const std::string& line)
{
    const std::vector<double> v = Numbers(line);
    if (v.empty())
        return;
    if (line.find(',') == std::string::npos) {
        b.altitudes.push_back(v[0]);
        return;
    }
    if (v.size() < 2)
        return;
    if (b.triggerFlag && v.size() >= 3 && v[2] != 0)
        b.triggers.push_back(static_cast<int>(b.altitudes.size()));
    b.times.push_back(v[0]);
    b.altitudes.push_back(v[1]);
}

std::optional<FlightSet> Finish(const Block& b)
{
    if (b.altitudes.empty())
        return std::nullopt;
    FlightSet set;
    set.units = b.units;
    set.intervalMs = DefaultIntervalMs;
    if (b.times.size() >= 2) {
        const long ms = std::lround((b.times[1] - b.times[0]) * 1000.0);
        set.intervalMs = ms > 0 ? static_cast<int>(std::min(ms, 65535L)) : DefaultIntervalMs;
    }
    set.triggerInput = b.triggerFlag;
    set.triggerSamples = b.triggers;
    set.altitudes.reserve(b.altitudes.size());
    for (double a : b.altitudes)
        set.altitudes.push_back(static_cast<int>(std::lround(std::clamp(a, -1e9, 1e9))));
    NormaliseSet(set);
    return set;
}

} // namespace

std::vector<FlightSet> ParseFlightText(std::string_view text)
{
    std::vector<FlightSet> sets;
    Block block;
    bool plotHeader = false; // inside a plot file's own header, before its first set
    bool first = true;
    auto flush = [&] {
        if (auto set = Finish(block))
            sets.push_back(std::move(*set));
        block = Block{};
    };

    std::istringstream in{std::string(text)};
    std::string line;
    while (std::getline(in, line)) {
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        if (first) {
            first = false;
            if (line.rfind("Vexa Plot", 0) == 0) {
                plotHeader = true;
                continue;
            }
        }
        if (line.empty())
            continue;
        if (line[0] == '!') {
            flush();
            plotHeader = false;
            continue;
        }
        if (line[0] == '#') {
            if (plotHeader || line.rfind("#C", 0) == 0)
                continue;
            if (!block.altitudes.empty())
                flush(); // a header after samples starts the next set
            ReadHeaderLine(block, line);
            continue;
        }
        ReadSampleLine(block, line);
    }
    flush();
    return sets;
}

std::vector<FlightSet> LoadFlightFile(const std::string& path, std::string& error)
{
    std::ifstream file(path, std::ios::binary);
    if (!file) {
        error = "cannot open " + path;
        return {};
    }
    std::ostringstream text;
    text << file.rdbuf();
    std::vector<FlightSet> sets = ParseFlightText(text.str());
    if (sets.empty())
        error = path + " holds no samples";
    return sets;
}

} // namespace vexa::sim
