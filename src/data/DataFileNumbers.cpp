#include "DataFileNumbers.h"

#include <charconv>
#include <cmath>
#include <cstring>

namespace vexa {
namespace {

constexpr int FixedWidth = 9;

int PadLeft(char* out, int length, int width)
{
    if (length >= width)
        return length;
    const int pad = width - length;
    std::memmove(out + pad, out, std::size_t(length));
    std::memset(out, ' ', std::size_t(pad));
    return width;
}

bool IsBlank(char c)
{
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

} // namespace

int FormatFixed9_4(char* out, double v)
{
    // Below 1e8 the scaled value carries an error under 2^-12, so unless it
    // sits within 1e-3 of a rounding tie, rounding it gives printf's digits.
    // Near a tie (and for large or odd values) the exact formatter decides.
    const double m = std::fabs(v);
    if (m < 1e8) {
        const double scaled = m * 10000.0;
        const double whole = std::floor(scaled);
        const double frac = scaled - whole;
        if (std::fabs(frac - 0.5) > 1e-3) {
            const auto n = static_cast<std::uint64_t>(frac > 0.5 ? whole + 1 : whole);
            char digits[24];
            char* d = digits + sizeof digits;
            std::uint64_t rest = n;
            for (int i = 0; i < 4; ++i) {
                *--d = char('0' + rest % 10);
                rest /= 10;
            }
            *--d = '.';
            do {
                *--d = char('0' + rest % 10);
                rest /= 10;
            } while (rest);
            if (std::signbit(v))
                *--d = '-';
            const int length = int(digits + sizeof digits - d);
            std::memcpy(out, d, std::size_t(length));
            return PadLeft(out, length, FixedWidth);
        }
    }
    const auto r = std::to_chars(out, out + NumberBufferSize, v, std::chars_format::fixed, 4);
    return PadLeft(out, int(r.ptr - out), FixedWidth);
}

int FormatGeneral(char* out, double v)
{
    const auto r = std::to_chars(out, out + NumberBufferSize, v, std::chars_format::general, 6);
    return int(r.ptr - out);
}

int FormatInt(char* out, std::int64_t v)
{
    const auto r = std::to_chars(out, out + NumberBufferSize, v);
    return int(r.ptr - out);
}

const char* SkipBlanks(const char* p, const char* end)
{
    while (p < end && IsBlank(*p))
        ++p;
    return p;
}

const char* ScanDouble(const char* p, const char* end, double& value)
{
    p = SkipBlanks(p, end);
    // from_chars takes no plus sign; scanf does, but not before a minus.
    if (p < end && *p == '+' && !(end - p > 1 && p[1] == '-'))
        ++p;
    const auto r = std::from_chars(p, end, value, std::chars_format::general);
    if (r.ec != std::errc())
        return nullptr;
    return r.ptr;
}

const char* ScanInt(const char* p, const char* end, std::int64_t& value)
{
    p = SkipBlanks(p, end);
    bool negative = false;
    if (p < end && (*p == '+' || *p == '-'))
        negative = *p++ == '-';
    if (p == end || *p < '0' || *p > '9')
        return nullptr;
    constexpr std::uint64_t Limit = std::uint64_t(INT64_MAX);
    std::uint64_t v = 0;
    for (; p < end && *p >= '0' && *p <= '9'; ++p)
        v = v > Limit / 10 ? Limit + 1 : v * 10 + std::uint64_t(*p - '0');
    if (v > Limit)
        value = negative ? INT64_MIN : INT64_MAX;
    else
        value = negative ? -std::int64_t(v) : std::int64_t(v);
    return p;
}

} // namespace vexa
