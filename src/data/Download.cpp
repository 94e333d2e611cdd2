#include "Download.h"

namespace vexa {
namespace {

QString Shortest(double v)
{
    // Six significant digits, shortest form, independent of the user's locale.
    return QString::number(v, 'g', 6);
}

} // namespace

std::optional<DownloadHeader> ParseDownloadHeader(const char* line)
{
    long long fields[5] = {};
    int parsed = 0;
    const char* p = line;
    while (parsed < 5) {
        p = ScanDecimal(p, fields[parsed]);
        if (!p)
            break;
        ++parsed;
        if (*p != ',')
            break;
        ++p;
    }
    if (parsed < 4)
        return std::nullopt;
    DownloadHeader h;
    h.intervalMs = static_cast<std::uint16_t>(fields[1]);
    h.recordCount = static_cast<std::uint16_t>(fields[2]);
    h.triggerFlag = static_cast<std::uint8_t>(fields[3]);
    return h;
}

std::optional<std::int32_t> ParseRecordLine(const char* line)
{
    return ScanInt(line);
}

QString AltitudeAxisLabel(int units)
{
    switch (units) {
    case 0:
        return QStringLiteral("Altitude (feet)");
    case 1:
        return QStringLiteral("Altitude (yards)");
    case 2:
        return QStringLiteral("Altitude (meters)");
    default:
        return {};
    }
}

std::vector<int> SetsToDownload(int position, int setCount)
{
    if (position < 0)
        return {};
    position = position > MaxSetPosition ? MaxSetPosition : position;
    if (position != AllSetsPosition(setCount))
        return {position};
    std::vector<int> all;
    for (int k = 0; k < setCount; ++k)
        all.push_back(k);
    return all;
}

SetDownloadResult DownloadSet(ModuleLink& link, DataSetStore& store, int k, const QDate& today,
                              const DownloadProgress& progress)
{
    SerialPort& port = link.port();
    SetDownloadResult result;
    char line[LineMax + 1];

    port.DrainInput();
    link.SetValue(Cmd::Download, k);
    std::optional<DownloadHeader> header;
    if (port.ReadLine(line, LineMax, HeaderTimeoutMs) > 0)
        header = ParseDownloadHeader(line);
    if (!header) {
        result.infoLines << QString() << QStringLiteral("Set %1: Corrupted data set.").arg(k + 1);
        return result;
    }

    DataSetRecord& set = store.NewDataSet();
    SampleBlock& samples = set.samples;
    SampleBlock& triggers = set.triggers->samples;
    samples.Clear();
    triggers.Clear();
    double maximum = -99999.0;
    const int interval = header->intervalMs;
    const int announced = header->recordCount;
    samples.Reserve(announced);
    int n = 0;
    int markers = 0;
    int linesSeen = 0;
    int shown = -1;
    if (progress)
        progress(0);

    bool silent = false;
    while (n < MaxDownloadSamples && (announced == 0 || linesSeen < announced)) {
        if (port.ReadLine(line, LineMax, RecordTimeoutMs) == 0) {
            silent = true;
            break;
        }
        ++linesSeen;
        std::optional<std::int32_t> v = ParseRecordLine(line);
        bool triggered = false;
        if (v && *v == TriggerMarker) {
            if (port.ReadLine(line, LineMax, RecordTimeoutMs) == 0) {
                silent = true;
                break;
            }
            ++markers;
            ++linesSeen;
            triggered = true;
            v = ParseRecordLine(line);
        }
        if (!v)
            continue; // never store a value that did not arrive
        const double time = double(n) * interval * 0.001;
        samples.Append(time, *v);
        if (triggered)
            triggers.Append(time, *v);
        if (*v > maximum)
            maximum = *v;
        ++n;
        if (progress) {
            const int position = announced ? int(100LL * n / announced) : 0;
            if (position != shown || n % 256 == 0) {
                shown = position;
                progress(position > 100 ? 100 : position);
            }
        }
    }

    for (ClimbMark& m : set.climbMarks)
        m = ClimbMark{};

    result.created = true;
    result.samples = n;
    result.infoLines << QString()
                     << QStringLiteral("Set %1: Downloaded %2 data samples.").arg(k + 1).arg(n);
    // The markers seen are not samples; those still to come cannot be known.
    result.complete = !(silent && announced > 0 && linesSeen < announced);
    if (!result.complete) {
        const QString stopped = QStringLiteral("the module stopped after %1 of %2 samples.")
                                    .arg(n)
                                    .arg(announced - markers);
        result.infoLines << QStringLiteral("Set %1: ").arg(k + 1) + stopped;
        set.note1 = QStringLiteral("Incomplete: ") + stopped;
    }
    set.note2 = QStringLiteral("%1  Set %2, %3 samples")
                    .arg(today.toString(QStringLiteral("yyyy-MM-dd")))
                    .arg(k + 1)
                    .arg(n);
    set.triggers->visible = header->triggerFlag != 0;
    set.triggers->flagGiven = true;
    set.note3 = QStringLiteral("%1 sec, interval=%2 sec, max=%3")
                    .arg(Shortest(double(interval) * n * 0.001), Shortest(interval * 0.001),
                         Shortest(maximum));
    return result;
}

void DownloadSets(ModuleLink& link, DataSetStore& store, int position, int setCount,
                  const QDate& today, const DownloadProgress& progress, const SetFinished& finished)
{
    for (int k : SetsToDownload(position, setCount)) {
        const SetDownloadResult result = DownloadSet(link, store, k, today, progress);
        if (finished)
            finished(result);
    }
}

} // namespace vexa
