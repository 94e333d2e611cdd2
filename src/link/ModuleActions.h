#pragma once

#include "ModuleLink.h"

#include <QStringList>
#include <optional>

namespace vexa {

inline constexpr int IdentityTimeoutMs = 1000;
inline constexpr int SetCountTimeoutMs = 300;
inline constexpr int ResetWaitMs = 4000;
inline constexpr int RestoreDefaultsWaitMs = 3000;
inline constexpr int CalClearWaitMs = 1500;
inline constexpr int CalSetWaitMs = 200;

// The set list holds "1" to "N" for the module's sets, then "All" at position N.
inline int AllSetsPosition(int setCount)
{
    return setCount;
}

// What Download Info learned, and how the page shows it.
struct ModuleInfo {
    ModuleIdentity identity;
    int setCount = 0;
    bool identityComplete = true;
    QStringList lines;    // for the message area
    QStringList setItems; // "1".."N", then "All"
};

// Asks the module for its identity ("SV") and its number of data sets ("NS").
ModuleInfo DownloadModuleInfo(ModuleLink& link);
// The four identity lines that follow the acknowledgement of "SV"; true when
// all four arrived.
bool ReadIdentityLines(SerialPort& port, ModuleIdentity& id);
// The same information built from given answers (Simulate Target).
ModuleInfo BuildModuleInfo(const ModuleIdentity& identity, int setCount, bool identityComplete);

// Erases one set (position counted from 0; the module is sent position - 1,
// as it expects) or, with all, every set.
void EraseSet(ModuleLink& link, int position);
void EraseAllSets(ModuleLink& link);

// "*", then the module's restart time.
void ResetModule(ModuleLink& link);
// "CR", then the module's time to restore its defaults.
void RestoreDefaults(ModuleLink& link);

// The altitude typed for calibration; nothing when the text holds no number.
std::optional<int> ParseCalibrationAltitude(const QString& text);
// "CalClr" CR, a pause, "CalSet <altitude>" LF, a pause.
void Calibrate(ModuleLink& link, int altitude);

} // namespace vexa
