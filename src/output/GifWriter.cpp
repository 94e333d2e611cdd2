// GIF through giflib: Qt reads GIF but cannot write it.
#include "ImageWriters.h"

#include <QIODevice>
#include <QImage>
#include <algorithm>
#include <cstdint>
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

using Histogram = std::unordered_map<QRgb, std::uint32_t>;
// Past this many colours the picture is photographic; counting them is no help.
constexpr std::size_t MaxCounted = 1 << 16;
// The commonest 256 colours stand for the picture when the rest cover at most
// one pixel in this many: the shades text smoothing leaves around letters.
constexpr std::size_t RareShare = 100;

bool CountColors(const QImage& image, Histogram& counts)
{
    for (int y = 0; y < image.height(); ++y) {
        const QRgb* row = reinterpret_cast<const QRgb*>(image.constScanLine(y));
        for (int x = 0; x < image.width(); ++x)
            if (++counts[row[x] & 0xffffff] == 1 && counts.size() > MaxCounted)
                return false;
    }
    return true;
}

int Distance(QRgb a, QRgb b)
{
    const int r = qRed(a) - qRed(b), g = qGreen(a) - qGreen(b), bl = qBlue(a) - qBlue(b);
    return r * r + g * g + bl * bl;
}

// Each pixel becomes the index of its own colour in the palette or, when the
// palette lacks it, of the nearest one.
void MapToPalette(const QImage& image, const std::vector<QRgb>& palette, Indexed& out)
{
    std::unordered_map<QRgb, GifByteType> index;
    for (std::size_t i = 0; i < palette.size(); ++i) {
        index.emplace(palette[i], GifByteType(i));
        out.colors.push_back({GifByteType(qRed(palette[i])), GifByteType(qGreen(palette[i])),
                              GifByteType(qBlue(palette[i]))});
    }
    out.pixels.resize(std::size_t(image.width()) * std::size_t(image.height()));
    GifByteType* dst = out.pixels.data();
    for (int y = 0; y < image.height(); ++y) {
        const QRgb* row = reinterpret_cast<const QRgb*>(image.constScanLine(y));
        for (int x = 0; x < image.width(); ++x) {
            const QRgb c = row[x] & 0xffffff;
            auto it = index.find(c);
            if (it == index.end()) {
                std::size_t best = 0;
                for (std::size_t i = 1; i < palette.size(); ++i)
                    if (Distance(c, palette[i]) < Distance(c, palette[best]))
                        best = i;
                it = index.emplace(c, GifByteType(best)).first;
            }
            *dst++ = it->second;
        }
    }
}

// The palette from the image's own colours, when they allow it.
bool CountedPalette(const QImage& image, Indexed& out, GifPalette& kind)
{
    Histogram counts;
    if (!CountColors(image, counts))
        return false;
    std::vector<std::pair<std::uint32_t, QRgb>> byCount;
    byCount.reserve(counts.size());
    for (const auto& [color, n] : counts)
        byCount.emplace_back(n, color);
    // Commonest first; equal counts in colour order, so the file is the same every time.
    std::sort(byCount.begin(), byCount.end(), [](const auto& a, const auto& b) {
        return a.first != b.first ? a.first > b.first : a.second < b.second;
    });
    std::size_t rare = 0;
    for (std::size_t i = MaxColors; i < byCount.size(); ++i)
        rare += byCount[i].first;
    const std::size_t pixels = std::size_t(image.width()) * std::size_t(image.height());
    if (rare * RareShare > pixels)
        return false;
    std::vector<QRgb> palette;
    for (std::size_t i = 0; i < byCount.size() && i < MaxColors; ++i)
        palette.push_back(byCount[i].second);
    MapToPalette(image, palette, out);
    kind = byCount.size() <= MaxColors ? GifPalette::Exact : GifPalette::Commonest;
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
    GifPalette kind = GifPalette::Quantized;
    if (!CountedPalette(image, indexed, kind)) {
        indexed = {};
        if (QString error = QuantizedPalette(image, indexed); !error.isEmpty())
            return error;
    }
    if (palette)
        *palette = kind;

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
