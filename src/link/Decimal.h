#pragma once

#include <QString>
#include <optional>

namespace vexa {

// The program's one reading of a decimal number in text, as scanf's "%d"
// and "%ld" read one: leading blanks, an optional sign, digits; the first
// other character ends it. Used for the module's replies and for numbers
// typed into fields.

// The number at the start of text into value. Returns where it ends, or
// nullptr when no digit comes first. Saturates far beyond 32 bits instead
// of overflowing.
const char* ScanDecimal(const char* text, long long& value);
// The leading number, limited to the int range; nothing without a digit.
std::optional<int> ScanInt(const char* text);
// ScanInt, with 0 for a text without a number.
inline int LeadingInt(const char* text)
{
    return ScanInt(text).value_or(0);
}
int LeadingInt(const QString& text);

} // namespace vexa
