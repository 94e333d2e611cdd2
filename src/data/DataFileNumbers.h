#pragma once

#include <cstdint>

namespace vexa {

// Number text for data files, the same in every locale and on every
// platform. Each writer gives exactly what printf gives in the C locale.

// Room for any double written with four decimals, plus padding.
inline constexpr int NumberBufferSize = 400;

// printf "%9.4f"; returns the length written (no terminating zero).
int FormatFixed9_4(char* out, double v);
// printf "%g".
int FormatGeneral(char* out, double v);
// printf "%d".
int FormatInt(char* out, std::int64_t v);

// The readers follow scanf's rules for "%lf" and "%d": leading blanks are
// skipped and a sign is allowed. They return the position after the number,
// or nullptr when no number starts at p. They never read at or past end.
const char* ScanDouble(const char* p, const char* end, double& value);
// Saturates at the 64-bit limits instead of failing on overflow.
const char* ScanInt(const char* p, const char* end, std::int64_t& value);
// Blanks as scanf sees them.
const char* SkipBlanks(const char* p, const char* end);

} // namespace vexa
