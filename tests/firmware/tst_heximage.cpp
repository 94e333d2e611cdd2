// HEX files into the firmware image.
#include "TestData.h"
#include "firmware/Isp.h"

#include <QtEndian>
#include <QtTest>

using namespace vexa;
using vexa::test::TestData;

class TestHexImage : public QObject {
    Q_OBJECT

private slots:
    void load_data() { vexa::test::AddRows("firmware/loads.txt", " | "); }

    // A loaded image starts a new update; its first eight vector words sum to 0.
    void load()
    {
        QFETCH(QStringList, f); // the file; what the image holds, or the refusal's start

        ProgrammingState state;
        state.IspState = IspState::ProgramBlocks; // left over from an earlier update
        const HexLoadResult r = LoadHexFile(vexa::test::TestDataPath("firmware/" + f[0]), state);
        const QString got =
            r.ok ? QString::asprintf("top %x, sectors 0-%d, ends %02x", unsigned(state.ImageTop),
                                     state.EndSector,
                                     state.FirmwareImage[std::size_t(state.ImageTop)])
                 : r.message;
        QVERIFY2(got.startsWith(f[1]) && r.ok == f[1].startsWith("top"), qPrintable(got));
        if (!r.ok)
            return;
        QCOMPARE(QList<int>({state.ImageLength, state.Remaining, int(state.IspState)}),
                 QList<int>({int(state.ImageTop) + 1, int(state.ImageTop) + 1, 0}));
        // Words 0 to 7 sum to 0; words 0 to 6 too where word 7 is 0.
        quint32 sum = 0;
        for (std::size_t i = 0; i < 28; i += 4)
            sum += qFromLittleEndian<quint32>(state.FirmwareImage.data() + i);
        const quint32 word7 = qFromLittleEndian<quint32>(state.FirmwareImage.data() + 28);
        QCOMPARE(sum + word7, 0u);
        QCOMPARE(sum == 0, word7 == 0);
    }
};

QTEST_GUILESS_MAIN(TestHexImage)
#include "tst_heximage.moc"
