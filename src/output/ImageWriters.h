#pragma once

#include <QString>

class QImage;
class QIODevice;

namespace vexa {

// The export formats, numbered as the export dialog's filters and the
// stored export type.
enum class ImageType { Bitmap = 1, Jpeg = 2, Gif = 3, Png = 4 };

inline constexpr int JpegQuality = 90;

// How a GIF's palette was made: every colour of the image; its 256 commonest
// with the rare rest (smoothed text edges) drawn in the nearest of them; or
// giflib's median cut for pictures of many colours.
enum class GifPalette { Exact, Commonest, Quantized };

// Each writer encodes the whole image onto the device and returns an empty
// text, or why it could not.
QString WriteBitmap(const QImage& image, QIODevice& device); // 24 bits a pixel
QString WriteJpeg(const QImage& image, QIODevice& device);
QString WritePng(const QImage& image, QIODevice& device);
// One image at (0, 0), not interlaced, its palette the screen's colour table.
QString WriteGif(const QImage& image, QIODevice& device, GifPalette* palette = nullptr);

// Writes the image under path in the given format. Nothing is replaced
// until all of it is written, so a failure leaves an existing file as it was.
QString SaveImage(const QImage& image, ImageType type, const QString& path);

} // namespace vexa
