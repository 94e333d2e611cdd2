// GIF through giflib: Qt reads GIF but cannot write it.
#include "ImageWriters.h"

#include <QIODevice>
#include <QImage>
#include <algorithm>
#include <gif_lib.h>
#include <memory>
#include <unordered_map>
#include <vector>

namespace vexa {

namespace {

constexpr int MaxGifSide = 65535;
constexpr int MaxColors = 256;

struct Indexed {
    std::vector<GifByteType> pixels;
    std::vector<GifColorType> colors;
};

// Every colour of the image with its index, or false beyond 256 of them.
bool ExactPalette(const QImage& image, Indexed& out)
{
    const int w = image.width(), h = image.height();
    std::unordered_map<QRgb, GifByteType> index;
    out.pixels.resize(std::size_t(w) * std::size_t(h));
    GifByteType* dst = out.pixels.data();
    QRgb last = 0;
    GifByteType lastIndex = 0;
    bool haveLast = false;
    for (int y = 0; y < h; ++y) {
        const QRgb* row = reinterpret_cast<const QRgb*>(image.constScanLine(y));
        for (int x = 0; x < w; ++x) {
            const QRgb c = row[x] & 0xffffff;
            if (!haveLast || c != last) {
                auto it = index.find(c);
                if (it == index.end()) {
                    if (index.size() == MaxColors)
                        return false;
                    const auto next = GifByteType(index.size());
                    it = index.emplace(c, next).first;
                    out.colors.push_back(
                        {GifByteType(qRed(c)), GifByteType(qGreen(c)), GifByteType(qBlue(c))});
                }
                last = c;
                lastIndex = it->second;
                haveLast = true;
            }
            *dst++ = lastIndex;
        }
    }
    return true;
}

QString QuantizedPalette(const QImage& image, Indexed& out)
{
    const int w = image.width(), h = image.height();
    const std::size_t n = std::size_t(w) * std::size_t(h);
    std::vector<GifByteType> r(n), g(n), b(n);
    std::size_t i = 0;
    for (int y = 0; y < h; ++y) {
        const QRgb* row = reinterpret_cast<const QRgb*>(image.constScanLine(y));
        for (int x = 0; x < w; ++x, ++i) {
            r[i] = GifByteType(qRed(row[x]));
            g[i] = GifByteType(qGreen(row[x]));
            b[i] = GifByteType(qBlue(row[x]));
        }
    }
    out.pixels.assign(n, 0);
    out.colors.assign(MaxColors, GifColorType{0, 0, 0});
    int size = MaxColors;
    if (GifQuantizeBuffer(unsigned(w), unsigned(h), &size, r.data(), g.data(), b.data(),
                          out.pixels.data(), out.colors.data()) != GIF_OK)
        return QStringLiteral("the GIF colour reduction failed");
    out.colors.resize(std::size_t(std::clamp(size, 1, MaxColors)));
    return {};
}

int WriteToDevice(GifFileType* gif, const GifByteType* data, int length)
{
    auto* device = static_cast<QIODevice*>(gif->UserData);
    return int(device->write(reinterpret_cast<const char*>(data), length));
}

QString GifError(int code)
{
    const char* text = GifErrorString(code);
    return text ? QString::fromLatin1(text) : QStringLiteral("GIF error %1").arg(code);
}

struct MapDeleter {
    void operator()(ColorMapObject* m) const { GifFreeMapObject(m); }
};

} // namespace

QString WriteGif(const QImage& source, QIODevice& device, GifPalette* palette)
{
    const QImage image = source.convertToFormat(QImage::Format_RGB32);
    const int w = image.width(), h = image.height();
    if (w <= 0 || h <= 0)
        return QStringLiteral("the image is empty");
    if (w > MaxGifSide || h > MaxGifSide)
        return QStringLiteral("the image is too large for a GIF file");

    Indexed indexed;
    const bool exact = ExactPalette(image, indexed);
    if (!exact) {
        indexed = {};
        if (QString error = QuantizedPalette(image, indexed); !error.isEmpty())
            return error;
    }
    if (palette)
        *palette = exact ? GifPalette::Exact : GifPalette::Quantized;

    // A colour table holds a power of two entries, at least two.
    std::size_t tableSize = 2;
    while (tableSize < indexed.colors.size())
        tableSize *= 2;
    indexed.colors.resize(tableSize, GifColorType{0, 0, 0});
    const std::unique_ptr<ColorMapObject, MapDeleter> map(
        GifMakeMapObject(int(tableSize), indexed.colors.data()));
    if (!map)
        return QStringLiteral("out of memory for the GIF colour table");

    int error = 0;
    GifFileType* gif = EGifOpen(&device, WriteToDevice, &error);
    if (!gif)
        return GifError(error);
    bool ok = EGifPutScreenDesc(gif, w, h, 8, 0, map.get()) == GIF_OK &&
              EGifPutImageDesc(gif, 0, 0, w, h, false, nullptr) == GIF_OK;
    for (int y = 0; ok && y < h; ++y)
        ok = EGifPutLine(gif, indexed.pixels.data() + std::size_t(y) * std::size_t(w), w) == GIF_OK;
    if (!ok)
        error = gif->Error;
    int closeError = 0;
    // Frees gif whatever happens; it also writes the trailer.
    if (EGifCloseFile(gif, &closeError) != GIF_OK && ok) {
        ok = false;
        error = closeError;
    }
    if (ok)
        return {};
    // A failed write is the device's story (no space, no permission).
    const bool writeFailed = error == E_GIF_ERR_WRITE_FAILED || error == E_GIF_ERR_DISK_IS_FULL;
    return writeFailed ? device.errorString() : GifError(error);
}

} // namespace vexa
