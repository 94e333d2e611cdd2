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

    // A loaded image starts a new update; its first seven vector words sum to 0.
    void load()
    {
        QFETCH(QStringList, f); // the file; what the image holds, or the refusal's start

        ProgrammingState state;
        state.IspState = 9; // left over from an earlier update
        const HexLoadResult r = LoadHexFile(vexa::test::TestDataPath("firmware/" + f[0]), state);
        const QString got =
            r.ok ? QString::asprintf("top %x, sectors 0-%d, ends %02x", unsigned(state.ImageTop),
                                     state.EndSector,
                                     state.FirmwareImage[std::size_t(state.ImageTop)])
                 : r.message;
        QVERIFY2(got.startsWith(f[1]) && r.ok == f[1].startsWith("top"), qPrintable(got));
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
