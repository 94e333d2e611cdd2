#include "Corrections.h"

#include "TextCodec.h"

#include <QLocale>
#include <QRegularExpression>
#include <QSaveFile>
#include <algorithm>
#include <cmath>
#include <limits>

namespace vexa {

namespace {

constexpr double Inf = std::numeric_limits<double>::infinity();
// A trigger point takes the altitude of a sample this close to it in time.
constexpr double TriggerTimeTolerance = 0.001;

bool ValidSet(const DataSetStore& store, int k)
{
    return k >= 0 && k < store.SetCount();
}

// printf "%g": six significant digits, shortest form.
QString General(double v)
{
    return QString::number(v, 'g', 6);
}

void AddToTimes(SampleBlock& s, double dt)
{
    for (int i = 0; i < s.Count(); ++i)
        s.time[std::size_t(i)] += dt;
}

void AddToAltitudes(SampleBlock& s, double da)
{
    for (int i = 0; i < s.Count(); ++i)
        s.altitude[std::size_t(i)] += da;
}

// Index of the lowest altitude in [first, last], the first of equal lowest
// values winning; -1 when the range holds no number.
int LowestIndex(const SampleBlock& s, int first, int last)
{
    int found = -1;
    double lowest = Inf;
    for (int i = std::max(first, 0); i <= last && i < s.Count(); ++i) {
        if (s.altitude[std::size_t(i)] < lowest) {
            lowest = s.altitude[std::size_t(i)];
            found = i;
        }
    }
    return found;
}

double Highest(const SampleBlock& s)
{
    double highest = -Inf;
    for (int i = 0; i < s.Count(); ++i)
        highest = std::max(highest, s.altitude[std::size_t(i)]);
    return highest;
}

// Each trigger point takes the altitude of the sample nearest in time, when
// one lies within the tolerance. Samples are looked up through a sorted copy
// of their times so a long recording with many triggers stays fast.
void FollowSamples(const SampleBlock& samples, SampleBlock& triggers)
{
    if (triggers.Count() == 0 || samples.Count() == 0)
        return;
    std::vector<std::pair<double, int>> byTime;
    byTime.reserve(std::size_t(samples.Count()));
    for (int i = 0; i < samples.Count(); ++i)
        if (!std::isnan(samples.time[std::size_t(i)]))
            byTime.emplace_back(samples.time[std::size_t(i)], i);
    std::sort(byTime.begin(), byTime.end());

    for (int j = 0; j < triggers.Count(); ++j) {
        const double t = triggers.time[std::size_t(j)];
        auto it = std::lower_bound(byTime.begin(), byTime.end(),
                                   std::make_pair(t - TriggerTimeTolerance, -1));
        int best = -1;
        double bestDistance = Inf;
        for (; it != byTime.end() && it->first <= t + TriggerTimeTolerance; ++it) {
            const double distance = std::fabs(it->first - t);
            if (distance < bestDistance) {
                bestDistance = distance;
                best = it->second;
            }
        }
        if (best >= 0)
            triggers.altitude[std::size_t(j)] = samples.altitude[std::size_t(best)];
    }
}

} // namespace

std::optional<double> ReadNumber(const QString& text)
{
    static const QRegularExpression number(
        QStringLiteral("^\\s*([+-]?(?:\\d+\\.?\\d*|\\.\\d+)(?:[eE][+-]?\\d+)?)"));
    const QRegularExpressionMatch m = number.match(text);
    if (!m.hasMatch())
        return std::nullopt;
    bool ok = false;
    const double v = QLocale::c().toDouble(m.captured(1), &ok);
    if (!ok || !std::isfinite(v))
        return std::nullopt;
    return v;
}

QString BoxNumber(double v)
{
    return QString::number(v, 'f', 6);
}

QString CutTo(const QString& text, int max)
{
    if (text.size() <= max)
        return text;
    int n = max;
    if (n > 0 && text.at(n - 1).isHighSurrogate())
        --n;
    return text.left(n);
}

void ShiftSet(DataSetStore& store, int k, double dt, double da)
{
    if (!ValidSet(store, k))
        return;
    DataSetRecord& set = store.Set(k);
    for (DataSetRecord* r : {&set, set.triggers}) {
        if (!r)
            continue;
        if (dt != 0)
            AddToTimes(r->samples, dt);
        if (da != 0)
            AddToAltitudes(r->samples, da);
    }
}

CorrectionResult ApplyProperties(DataSetStore& store, int k, const SetProperties& p)
{
    CorrectionResult result;
    if (!ValidSet(store, k))
        return result;
    DataSetRecord& set = store.Set(k);
    set.lineColor = p.lineColor;
    set.pointColor = p.pointColor;
    if (p.lineStyle >= 0)
        set.lineStyle = p.lineStyle;
    if (p.pointStyle >= 0)
        set.pointStyle = p.pointStyle;
    if (set.triggers) {
        set.triggers->pointColor = p.trigColor;
        if (p.trigStyle >= 0)
            set.triggers->pointStyle = p.trigStyle;
    }

    if (const auto scale = ReadNumber(p.timeScale))
        set.timeScale = *scale;
    if (const auto scale = ReadNumber(p.altitudeScale))
        set.altitudeScale = *scale;
    // A box without a number shifts nothing.
    const double dt = ReadNumber(p.timeOffset).value_or(0);
    const double da = ReadNumber(p.altitudeOffset).value_or(0);
    ShiftSet(store, k, std::fabs(dt) > MinShift ? dt : 0, std::fabs(da) > MinShift ? da : 0);

    set.name = CutTo(p.name, NameMax);
    set.note1 = CutTo(p.note1, NoteMax);
    set.note2 = CutTo(p.note2, NoteMax);
    set.note3 = CutTo(p.note3, NoteMax);
    store.RefreshSetName(k);
    result.changed = true;
    return result;
}

CorrectionResult FixDrift(DataSetStore& store, int k, QString& info3)
{
    CorrectionResult result;
    if (!ValidSet(store, k))
        return result;
    DataSetRecord& set = store.Set(k);
    SampleBlock& s = set.samples;
    const int n = s.Count();
    if (n < 10) {
        result.reason =
            QStringLiteral("Fix Drift needs at least 10 samples; this set has %1.").arg(n);
        return result;
    }
    const int i0 = LowestIndex(s, 0, n / 10 - 1);
    const int i1 = LowestIndex(s, int(n * 0.9), n - 1);
    if (i0 < 0 || i1 < 0) {
        result.reason =
            QStringLiteral("Fix Drift found no altitude at the start or the end of the set.");
        return result;
    }
    if (i1 <= i0) {
        result.reason = QStringLiteral("Fix Drift needs two different lowest points.");
        return result;
    }

    std::vector<double>& a = s.altitude;
    const double slope = (a[std::size_t(i1)] - a[std::size_t(i0)]) / (i1 - i0);
    for (int i = i0; i <= i1; ++i)
        a[std::size_t(i)] -= (i - i0) * slope;
    std::fill(a.begin(), a.begin() + i0, a[std::size_t(i0)]);
    std::fill(a.begin() + i1 + 1, a.begin() + n, a[std::size_t(i1)]);
    if (set.triggers)
        FollowSamples(s, set.triggers->samples);

    info3 = ReplaceMaximum(info3, Highest(s), NoteMax);
    result.changed = true;
    result.altitudesChanged = true;
    return result;
}

CorrectionResult FixOffset(DataSetStore& store, int k)
{
    CorrectionResult result;
    if (!ValidSet(store, k))
        return result;
    DataSetRecord& set = store.Set(k);
    const int lowest = LowestIndex(set.samples, 0, set.samples.Count() - 1);
    if (lowest < 0) {
        result.reason = QStringLiteral("Fix Offset found no altitude in the set.");
        return result;
    }
    const double m = set.samples.altitude[std::size_t(lowest)];
    ShiftSet(store, k, 0, -m);
    set.note3 = ReplaceMaximum(set.note3, Highest(set.samples), NoteMax);
    result.changed = true;
    result.altitudesChanged = true;
    return result;
}

bool AutoOffset(DataSetStore& store)
{
    for (int k = 1; k < store.SetCount(); ++k)
        ShiftSet(store, k, AutoOffsetStep * k, 0);
    return store.SetCount() > 1;
}

QString ReplaceMaximum(const QString& text, double maximum, int max)
{
    const int at = int(text.indexOf(QLatin1String("max=")));
    if (at < 0)
        return text;
    return CutTo(text.left(at) + QStringLiteral("max=") + General(maximum), max);
}

QString PhotoList(const DataSetStore& store, int k, const QString& title, const QString& xAxisLabel,
                  const QString& yAxisLabel)
{
    if (!ValidSet(store, k))
        return {};
    const DataSetRecord& set = store.Set(k);
    QString list;
    for (const QString* line :
         {&title, &xAxisLabel, &yAxisLabel, &set.note1, &set.note2, &set.note3})
        list += QLatin1Char('#') + *line + QLatin1String("\r\n");
    list += QLatin1String("# pic    time   altitude\r\n");
    if (!set.triggers)
        return list;
    const SampleBlock& t = set.triggers->samples;
    for (int j = 0; j < t.Count(); ++j)
        list += QStringLiteral("%1, %2, %3\r\n")
                    .arg(j + 1, 5)
                    .arg(General(t.time[std::size_t(j)]), 6)
                    .arg(General(t.altitude[std::size_t(j)]), 6);
    return list;
}

bool WritePhotoList(const QString& path, const QString& list)
{
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    // Same text rule as the data files: Windows-1252 wherever it can hold the text.
    file.write(EncodeFileText(list));
    return file.commit();
}

} // namespace vexa
