#pragma once

#include <QObject>
#include <QString>
#include <QStringListModel>
#include <Qt>
#include <array>
#include <cstdint>
#include <memory>
#include <vector>

namespace vexa {

// One record's samples, sized to what it holds. Capacity is the most one
// record may hold, not a reservation. The three vectors change size only
// through Resize, Append and Clear, so they always hold Count() samples.
struct SampleBlock {
    static constexpr int Capacity = 65536;

    explicit SampleBlock(bool withPeakMarks) : withPeakMarks_(withPeakMarks) {}

    std::vector<double> time;            // seconds
    std::vector<double> altitude;        // module units
    std::vector<std::uint8_t> peakMarks; // always empty on a triggers record

    int Count() const { return static_cast<int>(time.size()); }
    bool HasPeakMarks() const { return withPeakMarks_; }

    // Holds n samples (at most Capacity); new ones are zero, unmarked.
    void Resize(int n);
    // False, and nothing stored, when the block is full.
    bool Append(double t, double a, std::uint8_t peakMark = 0);
    void Clear() { Resize(0); }
    // Room for n samples (at most Capacity) without growing on the way.
    void Reserve(int n);

private:
    bool withPeakMarks_;
};

// A measured climb between two samples of a set.
struct ClimbMark {
    int firstSample = 0;
    int lastSample = 0;
    bool used = false;
};

inline constexpr int ClimbMarkSlots = 256;
inline constexpr int NameMax = 19;
inline constexpr int NoteMax = 255;

// Colours are 32-bit values with red in the lowest byte.
using ColorRef = std::uint32_t;
constexpr ColorRef Rgb(int r, int g, int b)
{
    return ColorRef(r) | ColorRef(g) << 8 | ColorRef(b) << 16;
}

inline constexpr std::array<ColorRef, 13> ColorCycle{
    Rgb(0, 0, 255),     Rgb(255, 0, 0),   Rgb(0, 128, 0),  Rgb(255, 0, 255), Rgb(192, 192, 192),
    Rgb(128, 0, 0),     Rgb(0, 255, 255), Rgb(0, 255, 0),  Rgb(128, 128, 0), Rgb(128, 0, 128),
    Rgb(128, 128, 128), Rgb(0, 0, 0),     Rgb(0, 128, 128)};

enum LineStyle : int { LineNone = 0, LineSolid, LineDot, LineDash, LineDashDot, LineDashDotDot };
enum PointStyle : int {
    PointNone = 0,
    PointDot,
    PointCircle,
    PointSquare,
    PointCross,
    PointX,
    PointDiamond,
    PointTriangle
};

// The pen of a line style; -none- draws nothing, an unknown style draws solid.
Qt::PenStyle LinePenStyle(int lineStyle);

// Half of a data set: the altitude record holds the samples, its triggers
// record the points where the external trigger fired.
struct DataSetRecord {
    explicit DataSetRecord(bool altitudeRecord);

    SampleBlock samples;
    QString name;
    ColorRef lineColor = 0;
    ColorRef pointColor = 0;
    int lineStyle = LineSolid;
    int pointStyle = PointNone;
    double timeOffset = 0;
    double altitudeOffset = 0;
    double timeScale = 1.0;
    double altitudeScale = 1.0;
    QString kind;
    bool visible = true;
    // On a triggers record: a download or a data file set `visible` as the
    // set's trigger flag. The start-up set's default is no flag of its own.
    bool flagGiven = false;
    std::vector<ClimbMark> climbMarks; // ClimbMarkSlots on an altitude record
    DataSetRecord* triggers = nullptr; // the companion, owned by the store
    QString note1, note2, note3;

    // The first free climb slot, or -1 when all are used.
    int FreeClimbSlot() const;
};

// The rounded window that encloses values from min to max.
struct Extent {
    double low = 0;
    double high = 0;
};
Extent RoundedExtent(double minimum, double maximum);

// Every data set in memory: set k is the altitude record at position 2k
// and its triggers record at 2k + 1. The name model feeds every list of set
// names, so they cannot drift out of step with the store.
class DataSetStore : public QObject {
    Q_OBJECT

public:
    explicit DataSetStore(QObject* parent = nullptr);
    ~DataSetStore() override;

    // Creates a fresh set, appends it and makes it active.
    DataSetRecord& NewDataSet();
    void DeleteDataSet(int k);
    // Shows set k's (possibly changed) name in the name lists; the active set stays.
    void RefreshSetName(int k);

    int SetCount() const { return static_cast<int>(records_.size() / 2); }
    int RecordCount() const { return static_cast<int>(records_.size()); }
    DataSetRecord& Set(int k) { return *records_[std::size_t(2 * k)]; }
    const DataSetRecord& Set(int k) const { return *records_[std::size_t(2 * k)]; }
    const DataSetRecord& Record(int position) const { return *records_[std::size_t(position)]; }

    // -1 when no set is active (the store is empty, or typed text selected nothing).
    int ActiveSet() const { return active_; }
    void SetActiveSet(int k);
    DataSetRecord* Active() { return active_ >= 0 ? &Set(active_) : nullptr; }

    QStringListModel* Names() { return &names_; }

    // Rounded windows over every altitude record's samples; false (nothing
    // written) when no set holds a sample.
    bool ComputeTimeExtent(Extent& out) const;
    bool ComputeAltitudeExtent(Extent& out) const;

signals:
    void ActiveSetChanged(int k);

private:
    std::vector<std::unique_ptr<DataSetRecord>> records_;
    QStringListModel names_;
    int active_ = -1;
    bool removingRow_ = false;
    int nameCounter_ = 0;
    int colorPosition_ = 0;
};

} // namespace vexa
