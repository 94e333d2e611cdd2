#include "DataSetStore.h"

#include <algorithm>
#include <cmath>

namespace vexa {

Qt::PenStyle LinePenStyle(int lineStyle)
{
    switch (lineStyle) {
    case LineNone:
        return Qt::NoPen;
    case LineDot:
        return Qt::DotLine;
    case LineDash:
        return Qt::DashLine;
    case LineDashDot:
        return Qt::DashDotLine;
    case LineDashDotDot:
        return Qt::DashDotDotLine;
    default:
        return Qt::SolidLine;
    }
}

void SampleBlock::Resize(int n)
{
    const std::size_t size = std::size_t(std::clamp(n, 0, Capacity));
    time.resize(size);
    altitude.resize(size);
    if (withPeakMarks_)
        peakMarks.resize(size);
}

void SampleBlock::Reserve(int n)
{
    const std::size_t size = std::size_t(std::clamp(n, 0, Capacity));
    time.reserve(size);
    altitude.reserve(size);
    if (withPeakMarks_)
        peakMarks.reserve(size);
}

bool SampleBlock::Append(double t, double a, std::uint8_t peakMark)
{
    if (Count() >= Capacity)
        return false;
    time.push_back(t);
    altitude.push_back(a);
    if (withPeakMarks_)
        peakMarks.push_back(peakMark);
    return true;
}

DataSetRecord::DataSetRecord(bool altitudeRecord)
    : samples(altitudeRecord), lineStyle(altitudeRecord ? LineSolid : LineNone),
      pointStyle(altitudeRecord ? PointNone : PointTriangle),
      kind(altitudeRecord ? QStringLiteral("Altitude") : QStringLiteral("Triggers")),
      climbMarks(altitudeRecord ? ClimbMarkSlots : 0)
{
}

int DataSetRecord::FreeClimbSlot() const
{
    for (int i = 0; i < static_cast<int>(climbMarks.size()); ++i)
        if (!climbMarks[std::size_t(i)].used)
            return i;
    return -1;
}

Extent RoundedExtent(double minimum, double maximum)
{
    double range = maximum - minimum;
    if (range == 0)
        range = 1;
    const double step = std::pow(10.0, std::trunc(std::log10(range)));
    Extent e;
    e.low = std::trunc(minimum / step) * step;
    e.high = e.low + (std::trunc(range / step) + 1) * step;
    if (e.high <= maximum)
        e.high += step;
    return e;
}

DataSetStore::DataSetStore(QObject* parent) : QObject(parent) {}

DataSetStore::~DataSetStore() = default;

DataSetRecord& DataSetStore::NewDataSet()
{
    const ColorRef color = ColorCycle[std::size_t(colorPosition_)];
    colorPosition_ = (colorPosition_ + 1) % int(ColorCycle.size());

    auto altitude = std::make_unique<DataSetRecord>(true);
    auto triggers = std::make_unique<DataSetRecord>(false);
    SampleBlock& s = altitude->samples;
    s.Resize(21);
    for (int i = 0; i <= 20; ++i)
        s.time[std::size_t(i)] = s.altitude[std::size_t(i)] = i;
    for (DataSetRecord* r : {altitude.get(), triggers.get()})
        r->lineColor = r->pointColor = color;
    altitude->name = QStringLiteral("Data%1").arg(nameCounter_, 3, 10, QLatin1Char('0'));
    nameCounter_ = nameCounter_ >= 999 ? 0 : nameCounter_ + 1;
    altitude->triggers = triggers.get();

    DataSetRecord& created = *altitude;
    records_.push_back(std::move(altitude));
    records_.push_back(std::move(triggers));
    const int row = names_.rowCount();
    names_.insertRows(row, 1);
    names_.setData(names_.index(row), created.name);
    SetActiveSet(SetCount() - 1);
    return created;
}

void DataSetStore::DeleteDataSet(int k)
{
    if (k < 0 || k >= SetCount())
        return;
    int next = active_ > k ? active_ - 1 : active_;
    if (active_ == k)
        next = SetCount() > 1 ? 0 : -1;
    records_.erase(records_.begin() + 2 * k, records_.begin() + 2 * k + 2);
    // A combo on the name model moves its own selection while the row goes
    // and reports it back; only the choice made here counts.
    removingRow_ = true;
    names_.removeRows(k, 1);
    removingRow_ = false;
    active_ = next;
    emit ActiveSetChanged(next);
}

void DataSetStore::RefreshSetName(int k)
{
    if (k < 0 || k >= SetCount())
        return;
    names_.setData(names_.index(k), Set(k).name);
}

void DataSetStore::SetActiveSet(int k)
{
    if (removingRow_)
        return;
    if (k < -1 || k >= SetCount())
        k = -1;
    if (k == active_)
        return;
    active_ = k;
    emit ActiveSetChanged(k);
}

namespace {

template <typename Field> bool Extents(const DataSetStore& store, Field field, Extent& out)
{
    double minimum = HUGE_VAL;
    double maximum = -HUGE_VAL;
    bool any = false;
    for (int k = 0; k < store.SetCount(); ++k) {
        const SampleBlock& s = store.Set(k).samples;
        const std::vector<double>& values = s.*field;
        for (int i = 0; i < s.Count(); ++i) {
            const double v = values[std::size_t(i)];
            if (v < minimum)
                minimum = v;
            if (v > maximum)
                maximum = v;
            any = true;
        }
    }
    if (!any)
        return false;
    out = RoundedExtent(minimum, maximum);
    return true;
}

} // namespace

bool DataSetStore::ComputeTimeExtent(Extent& out) const
{
    return Extents(*this, &SampleBlock::time, out);
}

bool DataSetStore::ComputeAltitudeExtent(Extent& out) const
{
    return Extents(*this, &SampleBlock::altitude, out);
}

} // namespace vexa
