#include "DataFile.h"

#include "DataFileNumbers.h"
#include "TextCodec.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QStringList>
#include <cmath>
#include <cstring>

namespace vexa {
namespace {

constexpr int PlotTextLimit = 255;
constexpr char Eol[] = "\r\n";

// Room for one sample line with numbers of any size.
constexpr int LineBufferSize = 2 * NumberBufferSize + 64;

class LineBuilder {
public:
    LineBuilder& Fixed(double v)
    {
        p_ += FormatFixed9_4(p_, v);
        return *this;
    }
    LineBuilder& General(double v)
    {
        p_ += FormatGeneral(p_, v);
        return *this;
    }
    LineBuilder& Int(std::int64_t v)
    {
        p_ += FormatInt(p_, v);
        return *this;
    }
    LineBuilder& Text(const char* s)
    {
        const std::size_t n = std::strlen(s);
        std::memcpy(p_, s, n);
        p_ += n;
        return *this;
    }
    LineBuilder& Char(char c)
    {
        *p_++ = c;
        return *this;
    }
    void EndTo(QByteArray& out)
    {
        Text(Eol);
        out.append(buf_, p_ - buf_);
        p_ = buf_;
    }

private:
    char buf_[LineBufferSize];
    char* p_ = buf_;
};

// "#" and the text; a line break inside would end the line early.
void AppendTextLine(QByteArray& out, const QString& text)
{
    QString flat = text;
    flat.replace(QLatin1Char('\r'), QLatin1Char(' ')).replace(QLatin1Char('\n'), QLatin1Char(' '));
    out += '#';
    out += EncodeFileText(flat);
    out += Eol;
}

// Colours are written as signed 32-bit values, as "%d" gives them.
std::int64_t ColorValue(ColorRef c)
{
    return static_cast<std::int32_t>(c);
}

// The message of every file that cannot be opened, with the reason below.
QString UnableToOpen(const QString& path, const QString& reason)
{
    QString text = QStringLiteral("Unable to open %1!").arg(path);
    if (!reason.isEmpty())
        text += QLatin1Char('\n') + reason;
    return text;
}

SaveResult WriteWhole(const QString& path, const QByteArray& bytes)
{
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return {false, UnableToOpen(path, file.errorString())};
    if (file.write(bytes) != bytes.size() || !file.commit()) {
        // Not committed: the temporary file goes, the old file stays.
        const QString reason = file.errorString();
        return {false, reason.isEmpty()
                           ? QStringLiteral("Unable to write %1!").arg(path)
                           : QStringLiteral("Unable to write %1! (%2)").arg(path, reason)};
    }
    return {true, {}};
}

// Reads the comma-separated numbers of a line the way the scanf formats of
// the data files do: each value may be preceded by blanks, each comma must
// follow its value directly, and reading stops at the first mismatch.
class FieldScanner {
public:
    FieldScanner(QByteArrayView line, qsizetype from)
        : p_(line.data() + std::min(from, line.size())), end_(line.data() + line.size())
    {
    }

    bool Double(double& v) { return Take(ScanDouble(p_, end_, v)); }
    bool Int(std::int64_t& v) { return Take(ScanInt(p_, end_, v)); }
    bool Comma()
    {
        if (!p_ || p_ == end_ || *p_ != ',')
            return false;
        ++p_;
        return true;
    }

private:
    bool Take(const char* next)
    {
        if (!p_ || !next) {
            p_ = nullptr;
            return false;
        }
        p_ = next;
        return true;
    }

    const char* p_;
    const char* end_;
};

QString TextAfterTag(QByteArrayView line, int limit)
{
    return CutText(DecodeFileText(line.sliced(std::min<qsizetype>(1, line.size()))), limit);
}

bool IsBlankLine(QByteArrayView line)
{
    const char* end = line.data() + line.size();
    return SkipBlanks(line.data(), end) == end;
}

std::uint8_t PeakByte(std::int64_t v)
{
    if (v == 0)
        return 0;
    return v > 0 && v <= 255 ? std::uint8_t(v) : std::uint8_t(1);
}

// "#" and the four numbers of a window line.
bool IsWindowLine(QByteArrayView line)
{
    FieldScanner f(line, 1);
    double v = 0;
    return f.Double(v) && f.Comma() && f.Double(v) && f.Comma() && f.Double(v) && f.Comma() &&
           f.Double(v);
}

// A sample or a window line: what only a data file holds. Names, notes and
// labels are free text, so they tell nothing.
bool IsDataLine(QByteArrayView line)
{
    if (line.startsWith('#'))
        return IsWindowLine(line);
    FieldScanner f(line, 0);
    double time = 0, altitude = 0;
    return f.Double(time) && f.Comma() && f.Double(altitude) && std::isfinite(time) &&
           std::isfinite(altitude);
}

bool IsPlotMarker(QByteArrayView line)
{
    return line.trimmed() == QByteArrayView(PlotFileMarker);
}

// Decided before any set is made, over the lines the reader will take as
// sets: up to the first "!" line of a single-set file; the set blocks of a
// plot file, unless its marker says what it is.
bool HoldsData(QByteArrayView bytes, bool plotFile)
{
    DataFileLines in(bytes);
    QByteArrayView line;
    if (plotFile) {
        if (in.Next(line) && IsPlotMarker(line))
            return true;
        bool inSets = false;
        while (in.Next(line)) {
            if (line.startsWith('!'))
                inSets = true;
            else if (inSets && IsDataLine(line))
                return true;
        }
        return false;
    }
    while (in.Next(line) && !line.startsWith('!'))
        if (IsDataLine(line))
            return true;
    return false;
}

// The fifth value of a set block's window line; 0 unless all five read.
bool WindowLineFlag(QByteArrayView line)
{
    FieldScanner f(line, 1);
    double window[4];
    std::int64_t flag = 0;
    for (int i = 0; i < 4; ++i)
        if (!f.Double(window[i]) || !f.Comma())
            return false;
    return f.Int(flag) && flag != 0;
}

// "#C first, last": both must name samples the set already holds.
bool AddClimbMark(DataSetRecord& set, QByteArrayView line)
{
    FieldScanner f(line, 2);
    std::int64_t first = 0, last = 0;
    if (!(f.Int(first) && f.Comma() && f.Int(last)))
        return false;
    const int count = set.samples.Count();
    if (first < 0 || first >= count || last < 0 || last >= count)
        return false;
    const int slot = set.FreeClimbSlot();
    if (slot >= 0)
        set.climbMarks[std::size_t(slot)] = {int(first), int(last), true};
    return true;
}

void ApplyWindow(PlotFileHeader& plot, QByteArrayView line)
{
    PlotView& w = plot.view;
    double* targets[] = {&w.TimeMin, &w.AltitudeMin, &w.TimeMax, &w.AltitudeMax};
    double values[4] = {w.TimeMin, w.AltitudeMin, w.TimeMax, w.AltitudeMax};
    FieldScanner f(line, 1);
    for (int i = 0; i < 4; ++i)
        if (!f.Double(values[i]) || (i < 3 && !f.Comma()))
            break;
    // The mapping divides by max - min: keep an axis that would not draw.
    for (int axis = 0; axis < 2; ++axis) {
        const double low = values[axis], high = values[axis + 2];
        if (std::isfinite(low) && std::isfinite(high) && high > low) {
            *targets[axis] = low;
            *targets[axis + 2] = high;
        }
    }
}

// The "!" line before each set of a plot file: line colour, line style,
// point colour, point style, trigger point colour, trigger point style.
// Values that are missing or out of range keep what NewDataSet gave.
void ApplySetStyle(DataSetRecord& set, QByteArrayView line)
{
    FieldScanner f(line, 1);
    std::int64_t v[6];
    int read = 0;
    while (read < 6 && f.Int(v[read])) {
        ++read;
        if (!f.Comma())
            break;
    }
    auto color = [&](int i, ColorRef& c) {
        if (i < read && v[i] >= INT32_MIN && v[i] <= UINT32_MAX)
            c = ColorRef(std::uint32_t(v[i]));
    };
    auto style = [&](int i, int& s, int max) {
        if (i < read && v[i] >= 0 && v[i] <= max)
            s = int(v[i]);
    };
    color(0, set.lineColor);
    style(1, set.lineStyle, LineDashDotDot);
    color(2, set.pointColor);
    style(3, set.pointStyle, PointTriangle);
    if (set.triggers) {
        color(4, set.triggers->pointColor);
        style(5, set.triggers->pointStyle, PointTriangle);
    }
}

QString LoadWarning(const LoadResult& r, const QString& fileName)
{
    QStringList lines;
    if (r.stoppedAtCapacity)
        lines << QStringLiteral("A data set holds more than %1 samples; reading stopped there.")
                     .arg(SampleBlock::Capacity);
    if (r.stoppedAtSetLimit)
        lines << QStringLiteral(
                     "The file holds more than %1 data sets; only the first %1 were loaded.")
                     .arg(MaxSetsPerLoad);
    if (r.skippedLines == 1)
        lines << QStringLiteral("1 line could not be read and was skipped.");
    else if (r.skippedLines > 1)
        lines << QStringLiteral("%1 lines could not be read and were skipped.").arg(r.skippedLines);
    if (!lines.isEmpty() && !fileName.isEmpty())
        lines.prepend(QStringLiteral("In %1:").arg(fileName));
    return lines.join(QLatin1Char('\n'));
}

} // namespace

void WriteSetBlock(QByteArray& out, const DataSetStore& store, int k, const PlotFileHeader& plot)
{
    if (k < 0 || k >= store.SetCount())
        return;
    const DataSetRecord& set = store.Set(k);
    const SampleBlock& s = set.samples;
    const SampleBlock* triggers = set.triggers ? &set.triggers->samples : nullptr;
    const int triggerCount = triggers ? triggers->Count() : 0;
    // The flag is the one the set came with. The start-up set came with
    // none (its triggers record is merely drawn by default), so it writes
    // the three-column lines unless it has trigger points.
    const DataSetRecord* t = set.triggers;
    const bool triggerFlag = t && t->visible && (t->flagGiven || triggerCount > 0);

    for (const QString* text :
         {&set.name, &plot.XAxisLabel, &plot.YAxisLabel, &set.note1, &set.note2, &set.note3})
        AppendTextLine(out, *text);
    LineBuilder line;
    line.Char('#').General(plot.view.TimeMin).Char(',').General(plot.view.AltitudeMin).Char(',');
    line.General(plot.view.TimeMax).Char(',').General(plot.view.AltitudeMax).Char(',');
    line.Int(triggerFlag ? 1 : 0).EndTo(out);

    const int count = s.Count();
    out.reserve(out.size() + qsizetype(count) * 32 + 1024);
    int j = 0; // the next trigger to place
    for (int i = 0; i < count; ++i) {
        const std::size_t u = std::size_t(i);
        line.Fixed(s.time[u]).Text(", ").Fixed(s.altitude[u]).Text(", ");
        if (triggerFlag) {
            // Each trigger marks the first sample at or after its time.
            const bool marked = j < triggerCount && s.time[u] >= triggers->time[std::size_t(j)];
            if (marked)
                ++j;
            line.Char(marked ? '1' : '0').Text(", ");
        }
        line.Int(s.HasPeakMarks() ? s.peakMarks[u] : 0).EndTo(out);
    }
    for (const ClimbMark& m : set.climbMarks)
        if (m.used)
            line.Text("#C ").Int(m.firstSample).Text(", ").Int(m.lastSample).EndTo(out);
}

QByteArray SetFileBytes(const DataSetStore& store, int k, const PlotFileHeader& plot)
{
    QByteArray out;
    WriteSetBlock(out, store, k, plot);
    return out;
}

QByteArray PlotFileBytes(const DataSetStore& store, const PlotFileHeader& plot)
{
    qsizetype samples = 0;
    for (int k = 0; k < store.SetCount(); ++k)
        samples += store.Set(k).samples.Count();
    QByteArray out;
    out.reserve(samples * 32 + 4096);

    out += PlotFileMarker;
    out += Eol;
    for (const QString* text :
         {&plot.Title, &plot.XAxisLabel, &plot.YAxisLabel, &plot.Info1, &plot.Info2, &plot.Info3})
        AppendTextLine(out, *text);
    LineBuilder line;
    line.Char('#').General(plot.view.TimeMin).Char(',').General(plot.view.AltitudeMin).Char(',');
    line.General(plot.view.TimeMax).Char(',').General(plot.view.AltitudeMax).EndTo(out);

    for (int k = 0; k < store.SetCount(); ++k) {
        const DataSetRecord& set = store.Set(k);
        const DataSetRecord* triggers = set.triggers ? set.triggers : &set;
        line.Text("! ").Int(ColorValue(set.lineColor)).Text(", ").Int(set.lineStyle).Text(", ");
        line.Int(ColorValue(set.pointColor)).Text(", ").Int(set.pointStyle).Text(", ");
        line.Int(ColorValue(triggers->pointColor)).Text(", ").Int(triggers->pointStyle).EndTo(out);
        WriteSetBlock(out, store, k, plot);
    }
    return out;
}

SaveResult SaveActiveSet(const QString& path, const DataSetStore& store, int k,
                         const PlotFileHeader& plot)
{
    if (k < 0 || k >= store.SetCount())
        return {false, QStringLiteral("No data set is selected.")};
    return WriteWhole(path, SetFileBytes(store, k, plot));
}

SaveResult SavePlot(const QString& path, const DataSetStore& store, const PlotFileHeader& plot)
{
    return WriteWhole(path, PlotFileBytes(store, plot));
}

QString DefaultSetFileName(const QDate& today, int lastDownloadSelection)
{
    return QStringLiteral("Alt_%1_%2.csv")
        .arg(today.toString(QStringLiteral("yyyy-MM-dd")))
        .arg(lastDownloadSelection + 1);
}

QString DefaultPlotFileName(const QDate& today)
{
    return QStringLiteral("Plot_%1.csv").arg(today.toString(QStringLiteral("yyyy-MM-dd")));
}

DataFileLines::DataFileLines(QByteArrayView bytes) : bytes_(bytes) {}

bool DataFileLines::Next(QByteArrayView& line)
{
    const qsizetype size = bytes_.size();
    if (pos_ >= size)
        return false;
    const char* start = bytes_.data() + pos_;
    const auto* nl = static_cast<const char*>(std::memchr(start, '\n', std::size_t(size - pos_)));
    qsizetype length = nl ? nl - start : size - pos_;
    pos_ += nl ? length + 1 : length;
    if (length > 0 && start[length - 1] == '\r')
        --length;
    line = QByteArrayView(start, length);
    return true;
}

SetBlockResult ReadSetBlock(DataFileLines& in, DataSetStore& store)
{
    SetBlockResult result;
    DataSetRecord& set = store.NewDataSet();
    result.set = &set;
    const int k = store.SetCount() - 1;
    for (ClimbMark& m : set.climbMarks)
        m = ClimbMark{};
    SampleBlock& s = set.samples;
    SampleBlock& triggers = set.triggers->samples;
    s.Clear();
    triggers.Clear();

    bool triggerFlag = false;
    QByteArrayView line;
    qsizetype mark = in.Position();
    if (in.Next(line) && line.startsWith('#')) {
        set.name = TextAfterTag(line, NameMax);
        store.RefreshSetName(k);
        // Axis labels, three notes, the window line. A shorter header ends
        // at the first line that is not a "#" line.
        QString* notes[] = {nullptr, nullptr, &set.note1, &set.note2, &set.note3};
        for (int i = 0; i < 6; ++i) {
            mark = in.Position();
            if (!in.Next(line) || !line.startsWith('#')) {
                in.Seek(mark);
                break;
            }
            if (i < 5 && notes[i])
                *notes[i] = TextAfterTag(line, NoteMax);
            else if (i == 5)
                triggerFlag = WindowLineFlag(line);
        }
    } else {
        in.Seek(mark); // no header: the line is a sample
    }

    for (;;) {
        mark = in.Position();
        if (!in.Next(line))
            break;
        if (line.startsWith('!')) {
            in.Seek(mark); // the next set's
            break;
        }
        if (line.startsWith('#')) {
            if (line.size() >= 2 && line[1] == 'C' && !AddClimbMark(set, line))
                ++result.skippedLines;
            continue;
        }
        if (IsBlankLine(line))
            continue;
        if (s.Count() >= SampleBlock::Capacity) {
            result.overflow = true;
            break;
        }

        FieldScanner f(line, 0);
        double time = 0, altitude = 0;
        std::int64_t third = 0, fourth = 0;
        if (!(f.Double(time) && f.Comma() && f.Double(altitude)) || !std::isfinite(time) ||
            !std::isfinite(altitude)) {
            ++result.skippedLines;
            continue;
        }
        if (f.Comma() && f.Int(third) && triggerFlag && f.Comma())
            f.Int(fourth);
        s.Append(time, altitude, PeakByte(triggerFlag ? fourth : third));
        if (triggerFlag && third != 0)
            triggers.Append(time, altitude);
    }
    set.triggers->visible = triggerFlag;
    set.triggers->flagGiven = true;
    return result;
}

LoadResult LoadDataBytes(QByteArrayView bytes, DataSetStore& store, PlotFileHeader& target,
                         int maxSets, const QString& fileName)
{
    LoadResult r;
    r.firstSet = store.SetCount();
    // A byte order mark from an editor that saved the file as UTF-8.
    if (bytes.startsWith("\xEF\xBB\xBF"))
        bytes = bytes.sliced(3);
    const bool plotFile = !bytes.isEmpty() && bytes[0] == PlotFileMarker[0];
    if (!HoldsData(bytes, plotFile)) {
        r.error = UnableToOpen(fileName.isEmpty() ? QStringLiteral("the file") : fileName,
                               bytes.isEmpty() ? QStringLiteral("The file is empty.")
                                               : QStringLiteral("It is not a Vexa data file: not "
                                                                "one line of it reads as data."));
        return r;
    }
    DataFileLines in(bytes);
    QByteArrayView line;

    auto add = [&](const SetBlockResult& b) {
        ++r.setsAdded;
        r.skippedLines += b.skippedLines;
        r.stoppedAtCapacity = b.overflow;
    };

    if (!plotFile) {
        if (maxSets > 0)
            add(ReadSetBlock(in, store));
        r.warning = LoadWarning(r, fileName);
        return r;
    }

    r.plotFile = true;
    PlotFileHeader plot = target;
    in.Next(line); // the marker
    QString* texts[] = {&plot.Title, &plot.XAxisLabel, &plot.YAxisLabel,
                        &plot.Info1, &plot.Info2,      &plot.Info3};
    bool headerDone = false;
    for (int i = 0; i < 7 && !headerDone; ++i) {
        const qsizetype mark = in.Position();
        if (!in.Next(line)) {
            headerDone = true;
        } else if (line.startsWith('!')) {
            in.Seek(mark); // a short header: the sets begin
            headerDone = true;
        } else if (i < 6) {
            *texts[i] = TextAfterTag(line, PlotTextLimit);
        } else {
            ApplyWindow(plot, line);
        }
    }

    while (!r.stoppedAtCapacity && in.Next(line) && line.startsWith('!')) {
        if (r.setsAdded >= maxSets) {
            r.stoppedAtSetLimit = true;
            break;
        }
        const SetBlockResult b = ReadSetBlock(in, store);
        ApplySetStyle(*b.set, line);
        add(b);
    }
    target = plot;
    r.warning = LoadWarning(r, fileName);
    return r;
}

LoadResult LoadDataFile(const QString& path, DataSetStore& store, PlotFileHeader& plot)
{
    LoadResult r;
    r.firstSet = store.SetCount();
    // A folder dropped onto the window opens without a reason of its own.
    if (QFileInfo(path).isDir()) {
        r.error = UnableToOpen(path, QStringLiteral("It is a folder, not a file."));
        return r;
    }
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        r.error = UnableToOpen(path, file.errorString());
        return r;
    }
    // A regular file says its size; anything else is read in pieces up to
    // one byte past the limit, so even a file that never ends costs bounded
    // memory.
    const QString tooLarge =
        UnableToOpen(path, QStringLiteral("It is larger than %1 MB, too large to be a data file.")
                               .arg(MaxDataFileBytes / (1024 * 1024)));
    if (!file.isSequential() && file.size() > MaxDataFileBytes) {
        r.error = tooLarge;
        return r;
    }
    QByteArray bytes;
    if (!file.isSequential()) {
        bytes = file.readAll();
    } else {
        char chunk[65536];
        qint64 n = 0;
        while (bytes.size() <= MaxDataFileBytes && (n = file.read(chunk, sizeof chunk)) > 0)
            bytes.append(chunk, n);
    }
    if (bytes.size() > MaxDataFileBytes) {
        r.error = tooLarge;
        return r;
    }
    if (file.error() != QFileDevice::NoError) {
        r.error = UnableToOpen(path, file.errorString());
        return r;
    }
    return LoadDataBytes(bytes, store, plot, MaxSetsPerLoad, path);
}

std::uint64_t SavedContentDigest(const DataSetRecord& set)
{
    auto bits = [](const auto& v, std::size_t seed) {
        return qHashBits(v.data(), v.size() * sizeof(v[0]), seed);
    };
    std::size_t h = qHashMulti(0, set.name, set.note1, set.note2, set.note3);
    const SampleBlock& s = set.samples;
    h = bits(s.time, bits(s.altitude, bits(s.peakMarks, h)));
    if (set.triggers) {
        const SampleBlock& t = set.triggers->samples;
        h = bits(t.time, bits(t.altitude, h));
    }
    for (const ClimbMark& m : set.climbMarks)
        if (m.used)
            h = qHashMulti(h, m.firstSample, m.lastSample);
    return h;
}

} // namespace vexa
