#pragma once

#include <QString>
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

// The manual sits next to the program file, whatever the working directory.
QString ManualPath(const QString& programDir);

// A new mail to address.
QUrl MailUrl(const QString& address);

} // namespace vexa
