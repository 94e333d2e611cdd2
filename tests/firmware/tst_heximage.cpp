// HEX files into the firmware image.
#include "firmware/Isp.h"

#include <QtEndian>
#include <QtTest>

using namespace vexa;

class TestHexImage : public QObject {
    Q_OBJECT

private slots:
    void load_data()
    {
        QTest::addColumn<QString>("file");
        QTest::addColumn<QString>("expect"); // what the image holds, or the refusal's start

        const auto row = [](const char* name, const char* file, const char* expect) {
            QTest::newRow(name) << file << expect;
        };
        row("one block", "top01ff.hex", "top 1ff, sectors 0-1, ends da");
        row("CR LF, end sector 1", "top0fff.hex", "top fff, sectors 0-1, ends 42");
        row("end sector 2", "top1000.hex", "top 1000, sectors 0-2, ends 56");
        row("lower case, last code byte", "top7fff_crlf_lower.hex",
            "top 7fff, sectors 0-7, ends 4e");
        row("200-byte record read whole", "long_record.hex", "top 1c7, sectors 0-1, ends c7");
        row("zero extended address", "ext_linear_zero.hex", "top 101, sectors 0-1, ends 22");
        row("end record without line end", "eof_no_newline.hex", "top f, sectors 0-1, ends aa");
        row("lines after the end ignored", "after_eof_ignored.hex", "top f, sectors 0-1, ends aa");

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

    // A loaded image starts a new update; its first seven vector words sum to 0.
    void load()
    {
        QFETCH(QString, file);
        QFETCH(QString, expect);

        ProgrammingState state;
        state.IspState = 9; // left over from an earlier update
        const HexLoadResult r = LoadHexFile(QStringLiteral(VEXA_FIRMWARE_DATA "/") + file, state);
        const QString got =
            r.ok ? QString::asprintf("top %x, sectors 0-%d, ends %02x", unsigned(state.ImageTop),
                                     state.EndSector,
                                     state.FirmwareImage[std::size_t(state.ImageTop)])
                 : r.message;
        QVERIFY2(got.startsWith(expect) && r.ok == expect.startsWith("top"), qPrintable(got));
        if (!r.ok)
            return;
        QCOMPARE(QList<int>({state.ImageLength, state.Remaining, state.IspState}),
                 QList<int>({int(state.ImageTop) + 1, int(state.ImageTop) + 1, 0}));
        quint32 sum = 0;
        for (std::size_t i = 0; i < 28; i += 4)
            sum += qFromLittleEndian<quint32>(state.FirmwareImage.data() + i);
        QCOMPARE(sum, 0u);
    }
};

QTEST_GUILESS_MAIN(TestHexImage)
#include "tst_heximage.moc"
