#include "TextCodec.h"

#include <array>

namespace vexa {
namespace {

// 0x80 to 0x9F; 0xA0 to 0xFF are the same as Latin-1.
constexpr std::array<char16_t, 32> HighControls{
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

// The Windows-1252 byte of a character, or -1 when the code page lacks it.
int ToWindows1252(char16_t c)
{
    if (c < 0x80 || (c >= 0xA0 && c <= 0xFF))
        return c;
    for (std::size_t i = 0; i < HighControls.size(); ++i)
        if (HighControls[i] == c)
            return int(0x80 + i);
    return -1;
}

bool IsAscii(QByteArrayView bytes)
{
    for (char b : bytes)
        if (static_cast<unsigned char>(b) >= 0x80)
            return false;
    return true;
}

} // namespace

char16_t Windows1252ToUnicode(unsigned char byte)
{
    if (byte >= 0x80 && byte < 0xA0)
        return HighControls[std::size_t(byte - 0x80)];
    return byte;
}

bool IsValidUtf8(QByteArrayView bytes)
{
    const auto* p = reinterpret_cast<const unsigned char*>(bytes.data());
    const auto* end = p + bytes.size();
    while (p < end) {
        const unsigned char b = *p++;
        if (b < 0x80)
            continue;
        // Lead byte: how many continuation bytes follow, the smallest value
        // that needs that many, and the value bits it carries.
        int more = 0;
        unsigned min = 0;
        unsigned cp = 0;
        if ((b & 0xE0) == 0xC0) {
            more = 1;
            min = 0x80;
            cp = b & 0x1F;
        } else if ((b & 0xF0) == 0xE0) {
            more = 2;
            min = 0x800;
            cp = b & 0x0F;
        } else if ((b & 0xF8) == 0xF0) {
            more = 3;
            min = 0x10000;
            cp = b & 0x07;
        } else {
            return false;
        }
        if (end - p < more)
            return false;
        for (int i = 0; i < more; ++i) {
            if ((p[i] & 0xC0) != 0x80)
                return false;
            cp = cp << 6 | (p[i] & 0x3F);
        }
        p += more;
        // Overlong forms, surrogates and values past Unicode are not UTF-8.
        if (cp < min || (cp >= 0xD800 && cp <= 0xDFFF) || cp > 0x10FFFF)
            return false;
    }
    return true;
}

QByteArray EncodeFileText(const QString& text)
{
    QByteArray out;
    out.reserve(text.size());
    for (QChar c : text) {
        const int b = ToWindows1252(c.unicode());
        if (b < 0)
            return text.toUtf8();
        out.append(char(b));
    }
    return out;
}

QString DecodeFileText(QByteArrayView bytes)
{
    if (IsAscii(bytes))
        return QString::fromLatin1(bytes);
    if (IsValidUtf8(bytes))
        return QString::fromUtf8(bytes);
    QString out(bytes.size(), Qt::Uninitialized);
    QChar* d = out.data();
    for (char b : bytes)
        *d++ = QChar(Windows1252ToUnicode(static_cast<unsigned char>(b)));
    return out;
}

QString CutText(const QString& text, int max)
{
    if (text.size() <= max)
        return text;
    int n = max;
    if (n > 0 && text.at(n - 1).isHighSurrogate() && text.at(n).isLowSurrogate())
        --n;
    return text.left(n);
}

} // namespace vexa
