#include "FlightFile.h"
#include "TestData.h"

#include <QtTest>

using namespace vexa::sim;
using vexa::test::TestData;

Q_DECLARE_METATYPE(std::vector<int>)

class TestSimFlights : public QObject {
    Q_OBJECT

private slots:
    void parseFile_data()
    {
        QTest::addColumn<QByteArray>("text");
        QTest::addColumn<int>("sets");
        // Of the last set:
        QTest::addColumn<int>("interval");
        QTest::addColumn<int>("units");
        QTest::addColumn<bool>("triggerInput");
        QTest::addColumn<std::vector<int>>("altitudes");
        QTest::addColumn<std::vector<int>>("triggers");

        QTest::newRow("plain list") << QByteArray("10\n20.6\n\n-3\n") << 1 << 100 << int(Feet)
                                    << false << std::vector<int>{10, 21, -3} << std::vector<int>{};
        QTest::newRow("marker value cannot be a sample")
            << QByteArray("-1535\r\n7\r\n") << 1 << 100 << int(Feet) << false
            << std::vector<int>{-1534, 7} << std::vector<int>{};
        QTest::newRow("single set with triggers")
            << TestData("sim-one-set.csv") << 1 << 50 << int(Meters) << true
            << std::vector<int>{10, 20, 30} << std::vector<int>{1};
        QTest::newRow("plot file, two sets, CR LF")
            << TestData("sim-two-sets-plot.csv") << 2 << 250 << int(Yards) << false
            << std::vector<int>{4, 5} << std::vector<int>{};
        QTest::newRow("headerless three columns")
            << QByteArray("0.0, 5, 0\n0.5, 6, 1\n") << 1 << 500 << int(Feet) << false
            << std::vector<int>{5, 6} << std::vector<int>{};
        QTest::newRow("nothing to read") << QByteArray("#only\n#headers\n") << 0 << 0 << 0 << false
                                         << std::vector<int>{} << std::vector<int>{};
    }

    void parseFile()
    {
        QFETCH(QByteArray, text);
        QFETCH(int, sets);
        const std::vector<FlightSet> got = ParseFlightText(text.toStdString());
        QCOMPARE(static_cast<int>(got.size()), sets);
        if (got.empty())
            return;
        const FlightSet& s = got.back();
        QTEST(s.intervalMs, "interval");
        QTEST(s.units, "units");
        QTEST(s.triggerInput, "triggerInput");
        QTEST(s.altitudes, "altitudes");
        QTEST(s.triggerSamples, "triggers");
    }
};

QTEST_APPLESS_MAIN(TestSimFlights)
#include "tst_SimFlights.moc"
