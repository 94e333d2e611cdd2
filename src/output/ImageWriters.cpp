#include "ImageWriters.h"

#include <QImage>
#include <QImageWriter>
#include <QSaveFile>
#include <QtEndian>
#include <array>

namespace vexa {

namespace {

constexpr int BmpHeaderBytes = 14 + 40;
// 100 pixels per inch, the export resolution, as pixels per metre.
constexpr quint32 PixelsPerMetre = 3937;

void Put16(char*& p, quint16 v)
{
    qToLittleEndian(v, p);
    p += 2;
}

void Put32(char*& p, quint32 v)
{
    qToLittleEndian(v, p);
    p += 4;
}

} // namespace

QString WriteBitmap(const QImage& source, QIODevice& device)
{
    const QImage image = source.convertToFormat(QImage::Format_RGB32);
    const int w = image.width(), h = image.height();
    if (w <= 0 || h <= 0)
        return QStringLiteral("the image is empty");
    const qint64 rowBytes = (qint64(w) * 3 + 3) & ~qint64(3);
    const qint64 total = BmpHeaderBytes + rowBytes * h;
    if (total > 0xffffffffLL)
        return QStringLiteral("the image is too large for a bitmap file");

    std::array<char, BmpHeaderBytes> header{};
    char* p = header.data();
    *p++ = 'B';
    *p++ = 'M';
    Put32(p, quint32(total));
    Put32(p, 0); // reserved
    Put32(p, BmpHeaderBytes);
    Put32(p, 40); // BITMAPINFOHEADER
    Put32(p, quint32(w));
    Put32(p, quint32(h)); // positive: rows run bottom-up
    Put16(p, 1);          // planes
    Put16(p, 24);         // bits per pixel
    Put32(p, 0);          // no compression
    Put32(p, quint32(rowBytes * h));
    Put32(p, PixelsPerMetre);
    Put32(p, PixelsPerMetre);
    Put32(p, 0); // colours used
    Put32(p, 0); // colours important
    if (device.write(header.data(), BmpHeaderBytes) != BmpHeaderBytes)
        return device.errorString();

    QByteArray row(rowBytes, '\0');
    for (int y = h - 1; y >= 0; --y) {
        const QRgb* in = reinterpret_cast<const QRgb*>(image.constScanLine(y));
        char* out = row.data();
        for (int x = 0; x < w; ++x) {
            *out++ = char(qBlue(in[x]));
            *out++ = char(qGreen(in[x]));
            *out++ = char(qRed(in[x]));
        }
        if (device.write(row) != row.size())
            return device.errorString();
    }
    return {};
}

QString WriteJpeg(const QImage& image, QIODevice& device)
{
    if (image.isNull())
        return QStringLiteral("the image is empty");
    QImageWriter writer(&device, "jpeg");
    writer.setQuality(JpegQuality);
    if (!writer.write(image))
        return writer.errorString();
    return {};
}

QString WritePng(const QImage& image, QIODevice& device)
{
    if (image.isNull())
        return QStringLiteral("the image is empty");
    QImageWriter writer(&device, "png");
    if (!writer.write(image))
        return writer.errorString();
    return {};
}

QString SaveImage(const QImage& image, ImageType type, const QString& path)
{
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return file.errorString();
    QString error;
    switch (type) {
    case ImageType::Bitmap:
        error = WriteBitmap(image, file);
        break;
    case ImageType::Jpeg:
        error = WriteJpeg(image, file);
        break;
    case ImageType::Gif:
        error = WriteGif(image, file);
        break;
    case ImageType::Png:
        error = WritePng(image, file);
        break;
    }
    if (error.isEmpty() && file.error() != QFileDevice::NoError)
        error = file.errorString();
    if (!error.isEmpty()) {
        file.cancelWriting();
        return error;
    }
    if (!file.commit())
        return file.errorString();
    return {};
}

} // namespace vexa
