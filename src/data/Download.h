#pragma once

#include "DataSetStore.h"
#include "link/ModuleActions.h"
#include "link/ModuleLink.h"

#include <QDate>
#include <QStringList>
#include <cstdint>
#include <functional>
#include <optional>

namespace vexa {

inline constexpr int HeaderTimeoutMs = 2500;
inline constexpr int RecordTimeoutMs = 500;
inline constexpr int TriggerMarker = -1535;
inline constexpr int MaxDownloadSamples = 65535;
inline constexpr int MaxSetPosition = 512;

// The first line of a set's transfer.
struct DownloadHeader {
    std::uint16_t intervalMs = 0;
    std::uint16_t recordCount = 0; // 0 when the module does not say
    std::uint8_t triggerFlag = 0;
};

// "a,interval,count,trigger,b"; nothing when it does not hold at least the
// four fields the program uses.
std::optional<DownloadHeader> ParseDownloadHeader(const char* line);
// One record line: a 32-bit signed integer; nothing for a line without one.
std::optional<std::int32_t> ParseRecordLine(const char* line);

// "Altitude (feet)" and its kin; empty for units outside the list.
QString AltitudeAxisLabel(int units);
inline const QString DownloadTimeAxisLabel = QStringLiteral("Time (seconds)");

struct SetDownloadResult {
    bool created = false; // false: no usable header, no set added
    int samples = 0;
    // False when the transfer stopped before the header's count.
    bool complete = true;
    QStringList infoLines; // for the message area
};

// Called after every stored sample with the bar position 0..100, so the
// window can show progress.
using DownloadProgress = std::function<void(int position)>;

// Fetches module set k (counted from 0) into a new set of the store. A
// transfer that falls silent keeps the samples that arrived, and says so
// when the header announced more; a record line that does not parse is
// skipped.
SetDownloadResult DownloadSet(ModuleLink& link, DataSetStore& store, int k, const QDate& today,
                              const DownloadProgress& progress);

// The module sets a Download Data click fetches for list position p of a
// list whose last item ("All") sits at AllSetsPosition(setCount).
std::vector<int> SetsToDownload(int position, int setCount);

// Called after each set of a download with what that set brought.
using SetFinished = std::function<void(const SetDownloadResult&)>;

// Fetches, one after the other, the sets that SetsToDownload names for
// list position p; progress restarts at 0 for each set.
void DownloadSets(ModuleLink& link, DataSetStore& store, int position, int setCount,
                  const QDate& today, const DownloadProgress& progress,
                  const SetFinished& finished);

} // namespace vexa
