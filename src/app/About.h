#pragma once

#include <QString>
#include <QStringList>
#include <QUrl>

namespace vexa {

// The version shown on the About page holds at most this many characters.
inline constexpr int VersionTextCapacity = 39;

inline constexpr const char* ManualFileName = "V6R-Manual.pdf";

// The version the program was built as, cut to VersionTextCapacity.
QString GetVersionText();
// raw cut to VersionTextCapacity characters.
QString LimitVersionText(const QString& raw);

// "Mar 19 2012, 22:44:31" from the compiler's date and time. The compiler
// pads a one-digit day with a blank ("Mar  9 2012"); that blank is dropped.
QString BuildDateText(const char* date = __DATE__, const char* time = __TIME__);

// Where the manual may be, in the order it is looked for: beside the program
// file (where the build writes it too), the data folder of an installation
// under the program's own prefix, then each of dataDirs (the system's data
// folders). Relative to the program file, whatever the working directory.
QStringList ManualCandidates(const QString& programDir, const QStringList& dataDirs);
// The first candidate that is a file, or empty.
QString FindManual(const QStringList& candidates);
// What a missing manual tells the user: every place that was looked in.
QString ManualMissingText(const QStringList& candidates);

// A new mail to address.
QUrl MailUrl(const QString& address);

} // namespace vexa
