// Writes a folder of sample firmware updates for the module emulator: HEX
// images and the update list that offers them from a given base address.
//   vexa-update-samples FOLDER BASE-URL
#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QString>
#include <cstdint>
#include <cstdio>
#include <vector>

namespace {

struct Sample {
    const char* version;
    int size; // bytes of code from address 0
    const char* description;
};

constexpr Sample Samples[] = {
    {"6.1.02", 6 * 1024, "Emulator sample: small image, two sectors."},
    {"6.1.03", 20 * 1024 + 100,
     "Emulator sample: larger image over six sectors, with a description long enough to wrap "
     "onto a second and a third line of the list."},
};

// Code-like bytes: a vector table of Thumb addresses, then a repeating pattern
// seeded by the version so that two images never match.
std::vector<std::uint8_t> ImageBytes(const Sample& sample)
{
    std::vector<std::uint8_t> bytes(std::size_t(sample.size));
    std::uint32_t x = 2463534242u;
    for (const char* c = sample.version; *c; ++c)
        x = x * 31 + std::uint8_t(*c);
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        x ^= x << 13;
        x ^= x >> 17;
        x ^= x << 5;
        bytes[i] = std::uint8_t(x);
    }
    for (std::size_t word = 0; word < 8; ++word) {
        const std::uint32_t value = word == 0 ? 0x10001FF0u : 0x000000C1u + 4 * std::uint32_t(word);
        for (std::size_t b = 0; b < 4; ++b)
            bytes[word * 4 + b] = std::uint8_t(value >> (8 * b));
    }
    return bytes;
}

QByteArray Record(int type, int address, const std::uint8_t* data, int count)
{
    unsigned sum =
        unsigned(count) + unsigned(address >> 8) + unsigned(address & 0xFF) + unsigned(type);
    QByteArray line = QByteArray(":") + QByteArray::number(count, 16).rightJustified(2, '0') +
                      QByteArray::number(address, 16).rightJustified(4, '0') +
                      QByteArray::number(type, 16).rightJustified(2, '0');
    for (int i = 0; i < count; ++i) {
        line += QByteArray::number(data[i], 16).rightJustified(2, '0');
        sum += data[i];
    }
    line += QByteArray::number((0x100 - (sum & 0xFF)) & 0xFF, 16).rightJustified(2, '0');
    return line.toUpper() + "\r\n";
}

QByteArray HexText(const std::vector<std::uint8_t>& bytes)
{
    QByteArray text;
    for (int at = 0; at < int(bytes.size()); at += 16) {
        const int count = std::min(16, int(bytes.size()) - at);
        text += Record(0, at, bytes.data() + at, count);
    }
    return text + Record(1, 0, nullptr, 0);
}

bool Write(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

} // namespace

int main(int argc, char* argv[])
{
    if (argc != 3) {
        std::fprintf(stderr, "usage: vexa-update-samples FOLDER BASE-URL\n");
        return 2;
    }
    const QDir folder(QString::fromLocal8Bit(argv[1]));
    QString base = QString::fromLocal8Bit(argv[2]);
    if (!base.endsWith(QLatin1Char('/')))
        base += QLatin1Char('/');
    if (!folder.mkpath(QStringLiteral(".")))
        return 1;

    QByteArray list;
    for (const Sample& sample : Samples) {
        const QString name = QStringLiteral("vexa-%1.hex").arg(QLatin1String(sample.version));
        if (!Write(folder.filePath(name), HexText(ImageBytes(sample))))
            return 1;
        list += "V6," + QByteArray(sample.version) + ',' + (base + name).toUtf8() + '\n';
        list += QByteArray(sample.description) + '\n';
    }
    return Write(folder.filePath(QStringLiteral("V6updates.txt")), list) ? 0 : 1;
}
