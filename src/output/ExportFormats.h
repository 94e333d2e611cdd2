#pragma once

#include "ImageWriters.h"

#include <QString>
#include <array>

namespace vexa {

// One entry of the export dialog: the format, its filter and the file name
// endings that mean it; the first ending is the one added to a bare name.
struct ExportFormat {
    ImageType type;
    const char* filter;
    std::array<const char*, 2> suffixes;
};

// The export dialog's filters in their order. The stored export type is the
// position plus one, so new formats go at the end.
inline constexpr std::array<ExportFormat, 4> ExportFormats{{
    {ImageType::Bitmap, "Bitmap (*.bmp)", {"bmp", nullptr}},
    {ImageType::Jpeg, "JPEG (*.jpg)", {"jpg", "jpeg"}},
    {ImageType::Gif, "GIF (*.gif)", {"gif", nullptr}},
    {ImageType::Png, "PNG (*.png)", {"png", nullptr}},
}};

// Every filter, in the file dialog's form.
QString ExportFilter();

// A stored export type as it is used: one that names no format is the first.
int ValidExportType(int stored);

// What an export writes: the name the user typed when its ending is one of
// ours, and then in that format; otherwise the chosen filter's ending is
// added and its format written.
struct ExportTarget {
    QString path;
    ImageType type = ImageType::Bitmap;
};
ExportTarget ExportTargetFor(const QString& chosen, int exportType);

} // namespace vexa
