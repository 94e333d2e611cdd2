#pragma once

#include "DataSetStore.h"

#include <QString>
#include <optional>

namespace vexa {

// Shifts below this size are typing noise and move nothing.
inline constexpr double MinShift = 0.00001;
// Auto Offset moves set k by k times this many seconds.
inline constexpr double AutoOffsetStep = 5.0;

// What a correction did, for the window to show.
struct CorrectionResult {
    bool changed = false;          // samples or properties were rewritten: repaint
    bool altitudesChanged = false; // the altitude window must be fitted again
    QString reason;                // why nothing was done, when nothing was
};

// The properties dialog's boxes as the user left them.
struct SetProperties {
    QString name;
    ColorRef lineColor = 0;
    ColorRef pointColor = 0;
    ColorRef trigColor = 0;
    // -1 (nothing chosen) keeps the record's style.
    int lineStyle = -1;
    int pointStyle = -1;
    int trigStyle = -1;
    QString timeOffset;
    QString altitudeOffset;
    QString timeScale;
    QString altitudeScale;
    QString note1, note2, note3;
};

// A number box read the way "%lf" reads it: leading blanks, a sign, then the
// longest number at the start; anything after it is ignored. Nothing when the
// text does not start with a finite number. Independent of the user's locale.
std::optional<double> ReadNumber(const QString& text);

// Six decimals, as the number boxes show their fields.
QString BoxNumber(double v);

// At most max characters, never splitting a surrogate pair.
QString CutTo(const QString& text, int max);

// Adds dt to every time and da to every altitude of set k and its trigger points.
void ShiftSet(DataSetStore& store, int k, double dt, double da);

// Apply: styles, colours, scales, name and notes into set k, and the offset
// boxes' amounts added to its samples and trigger points. The offset fields
// themselves stay as they are, so every press shifts again.
CorrectionResult ApplyProperties(DataSetStore& store, int k, const SetProperties& p);

// Removes a linear pressure drift: the lowest points of the first and last
// tenth are brought to the same altitude. Rewrites "max=" in info3 (the
// plot's third info line) with the new maximum.
CorrectionResult FixDrift(DataSetStore& store, int k, QString& info3);

// Moves set k so that its lowest point is 0; rewrites "max=" in its note3.
CorrectionResult FixOffset(DataSetStore& store, int k);

// Staggers every set in time: set k moves AutoOffsetStep * k seconds later.
// True when anything moved.
bool AutoOffset(DataSetStore& store);

// text with everything from its first "max=" replaced by "max=<maximum>";
// unchanged when it holds no "max=". Cut to max characters.
QString ReplaceMaximum(const QString& text, double maximum, int max);

// The photo list of set k: the plot's three texts, the set's notes, a heading
// and one numbered line per trigger point, every line ended by CR LF.
QString PhotoList(const DataSetStore& store, int k, const QString& title, const QString& xAxisLabel,
                  const QString& yAxisLabel);

// Writes the photo list to path; false when the file cannot be written, in
// which case an existing file is left as it was.
bool WritePhotoList(const QString& path, const QString& list);

} // namespace vexa
