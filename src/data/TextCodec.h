#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

namespace vexa {

// Texts in data files are 8-bit. Files from Windows users hold Windows-1252,
// so that is what we write whenever the text fits in it; a text that does not
// fit is written as UTF-8 rather than losing characters.
QByteArray EncodeFileText(const QString& text);

// Bytes that are valid UTF-8 (and not plain ASCII) read as UTF-8, anything
// else as Windows-1252. Every byte sequence decodes; none is dropped.
QString DecodeFileText(QByteArrayView bytes);

// At most max UTF-16 units, never splitting a surrogate pair.
QString CutText(const QString& text, int max);

// One Windows-1252 byte as Unicode; the five bytes the code page leaves open
// map to the C1 controls of the same value, so every byte round-trips.
char16_t Windows1252ToUnicode(unsigned char byte);

bool IsValidUtf8(QByteArrayView bytes);

} // namespace vexa
