#include "Decimal.h"

#include <climits>

namespace vexa {
namespace {

constexpr long long Saturation = 1'000'000'000'000'000'000LL;

bool IsBlank(char c)
{
    return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\f' || c == '\v';
}

bool IsDigit(char c)
{
    return c >= '0' && c <= '9';
}

} // namespace

const char* ScanDecimal(const char* p, long long& value)
{
    while (IsBlank(*p))
        ++p;
    bool negative = false;
    if (*p == '+' || *p == '-')
        negative = *p++ == '-';
    if (!IsDigit(*p))
        return nullptr;
    long long v = 0;
    for (; IsDigit(*p); ++p)
        v = v >= Saturation / 10 ? Saturation : v * 10 + (*p - '0');
    value = negative ? -v : v;
    return p;
}

std::optional<int> ScanInt(const char* text)
{
    long long v = 0;
    if (!ScanDecimal(text, v))
        return std::nullopt;
    return static_cast<int>(v < INT_MIN ? INT_MIN : v > INT_MAX ? INT_MAX : v);
}

int LeadingInt(const QString& text)
{
    // Characters outside Latin-1 end the number as any other non-digit does.
    return LeadingInt(text.toLatin1().constData());
}

} // namespace vexa
