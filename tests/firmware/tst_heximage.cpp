// HEX files into the firmware image, and the UU lines the image goes out in.
#include "firmware/Isp.h"

#include <QtTest>

using namespace vexa;

namespace {

// A plain bit-stream UU decoder, written apart from the encoder.
QByteArray UuDecode(const QByteArray& line)
{
    QByteArray out;
    std::uint32_t acc = 0;
    int bits = 0;
    for (qsizetype i = 1; i < line.size(); ++i) {
        acc = acc << 6 | (static_cast<std::uint32_t>(line[i] - 32) & 63);
        bits += 6;
        if (bits >= 8) {
            bits -= 8;
            out += static_cast<char>(acc >> bits & 0xFF);
        }
    }
    return out.left((line[0] - 32) & 63);
}

std::uint32_t Word(const ProgrammingState& s, int i)
{
    std::uint32_t w = 0;
    for (int b = 3; b >= 0; --b)
        w = w << 8 | s.FirmwareImage[static_cast<std::size_t>(4 * i + b)];
    return w;
}

} // namespace

class TestHexImage : public QObject {
    Q_OBJECT

private slots:
    void load_data();
    void load();
    void uuLinesDecode();
};

void TestHexImage::load_data()
{
    QTest::addColumn<QString>("file");
    QTest::addColumn<QString>("refusal"); // start of the message; empty: loads
    QTest::addColumn<int>("top");
    QTest::addColumn<int>("endSector");
    QTest::addColumn<int>("probeAt");
    QTest::addColumn<int>("probeValue");

    const auto row = [](const char* name, const char* file, const char* refusal, int top = 0,
                        int end = 0, int at = 0, int value = 0) {
        QTest::newRow(name) << QString(file) << QString(refusal) << top << end << at << value;
    };
    row("one block", "top01ff.hex", "", 0x1FF, 1, 0x1FF, 0xDA);
    row("CR LF, end sector 1", "top0fff.hex", "", 0xFFF, 1, 0, 0x79);
    row("end sector 2", "top1000.hex", "", 0x1000, 2, 0x1000, 0x56);
    row("lower case, last code byte", "top7fff_crlf_lower.hex", "", 0x7FFF, 7, 0x7FFF, 0x4E);
    row("200-byte record read whole", "long_record.hex", "", 0x1C7, 1, 0x1C7, 199);
    row("zero extended address", "ext_linear_zero.hex", "", 0x101, 1, 0x100, 0x11);
    row("end record without line end", "eof_no_newline.hex", "", 15, 1, 15, 0xAA);
    row("lines after the end ignored", "after_eof_ignored.hex", "", 15, 1, 15, 0xAA);

    row("missing file", "no_such.hex", "Unable to open file.");
    row("bad checksum", "bad_checksum.hex", "Line 2 of the hex file is damaged");
    row("non-hex digit", "bad_digit.hex", "Line 1 of the hex file is not a valid");
    row("count disagrees with length", "count_mismatch.hex", "Line 1 of the hex file is not a");
    row("unknown record type", "unknown_type.hex", "Line 2 of the hex file is not a valid");
    row("beyond the code space", "beyond_code_space.hex", "Hex file exceeds code space");
    row("extended linear address", "ext_linear_high.hex", "Line 2 of the hex file places data");
    row("extended segment address", "ext_segment_high.hex", "Line 2 of the hex file places");
    row("web page instead of an image", "no_data.hex", "The file holds no firmware data.");
    row("end record alone", "only_eof.hex", "The file holds no firmware data.");
    row("cut short", "truncated.hex", "The hex file has no end record");
}

void TestHexImage::load()
{
    QFETCH(QString, file);
    QFETCH(QString, refusal);
    QFETCH(int, top);
    QFETCH(int, endSector);
    QFETCH(int, probeAt);
    QFETCH(int, probeValue);

    ProgrammingState state;
    state.IspState = 9; // left over from an earlier update
    const HexLoadResult r = LoadHexFile(QStringLiteral(VEXA_FIRMWARE_DATA "/") + file, state);
    QVERIFY2(r.ok == refusal.isEmpty(), qPrintable(r.message));
    if (!r.ok) {
        QVERIFY2(r.message.startsWith(refusal), qPrintable(r.message));
        return;
    }
    QCOMPARE(int(state.ImageTop), top);
    QCOMPARE(state.ImageLength, top + 1);
    QCOMPARE(state.Remaining, top + 1);
    QCOMPARE(state.EndSector, endSector);
    QCOMPARE(state.IspState, 0);
    if (probeAt >= 28) // below that the vector checksum may have rewritten it
        QCOMPARE(int(state.FirmwareImage[static_cast<std::size_t>(probeAt)]), probeValue);
    std::uint32_t sum = 0;
    for (int i = 0; i < 7; ++i)
        sum += Word(state, i);
    QCOMPARE(sum, 0u);
}

// Every length a block and the restart use, over all byte values.
void TestHexImage::uuLinesDecode()
{
    std::vector<std::uint8_t> bytes(512);
    for (std::size_t i = 0; i < bytes.size(); ++i)
        bytes[i] = static_cast<std::uint8_t>(i * 7 + i / 256);
    for (const int n : {1, 2, 16, 17, 44, 45}) {
        for (std::size_t at = 0; at + 45 <= bytes.size(); at += 45) {
            const std::string line = UuEncodeLine(bytes.data() + at, n);
            QVERIFY(line.find(' ') == std::string::npos);
            QCOMPARE(UuDecode(QByteArray::fromStdString(line)),
                     QByteArray(reinterpret_cast<const char*>(bytes.data() + at), n));
        }
    }
}

QTEST_GUILESS_MAIN(TestHexImage)
#include "tst_heximage.moc"
