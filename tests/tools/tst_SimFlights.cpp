#include "FlightFile.h"
#include "FlightGenerator.h"
#include "TestData.h"

#include <QtTest>
#include <algorithm>
#include <set>

using namespace vexa::sim;
using vexa::test::TestData;

Q_DECLARE_METATYPE(std::vector<int>)

class TestSimFlights : public QObject {
    Q_OBJECT

private slots:
    void flightShape_data()
    {
        QTest::addColumn<quint64>("seed");
        QTest::addColumn<int>("index");
        for (quint64 seed : {1ull, 7ull, 12345ull, 0xDEADBEEFull})
            for (int index = 0; index < 4; ++index)
                QTest::addRow("seed %llu flight %d", seed, index) << seed << index;
    }

    void flightShape()
    {
        QFETCH(quint64, seed);
        QFETCH(int, index);
        const GeneratedFlight f = GenerateFlight(seed, index);
        const FlightSet& s = f.set;
        const FlightProfile& p = f.profile;
        const int n = static_cast<int>(s.altitudes.size());
        const double secPerSample = s.intervalMs * 0.001;
        auto metres = [&](int i) {
            return s.altitudes[static_cast<std::size_t>(i)] / MetresTo(s.units, 1.0);
        };

        QVERIFY(s.intervalMs > 0);
        QVERIFY(n + static_cast<int>(s.triggerSamples.size()) <= MaxRecordLines);
        QVERIFY(0 < p.launchSample && p.launchSample < p.apogeeSample &&
                p.apogeeSample < p.landingSample && p.landingSample < n);
        if (p.mainSample >= 0)
            QVERIFY(p.apogeeSample < p.mainSample && p.mainSample < p.landingSample);

        // Quiet on the pad and after landing: only noise.
        for (int i = 0; i < n; ++i)
            if (i < p.launchSample || i > p.landingSample)
                QVERIFY2(std::fabs(metres(i)) < 6, qPrintable(QString("sample %1").arg(i)));

        // The recorded peak is the flown apogee, where the profile says.
        QVERIFY(p.apogeeM > 50);
        const auto peak = std::max_element(s.altitudes.begin(), s.altitudes.end());
        const int peakAt = static_cast<int>(peak - s.altitudes.begin());
        QVERIFY(std::fabs(metres(peakAt) - p.apogeeM) < 0.02 * p.apogeeM + 6);
        QVERIFY(std::abs(peakAt - p.apogeeSample) * secPerSample <= 3.0);

        // Under the last parachute it comes down at a steady, plausible rate.
        const int chuteOpen = std::max(p.apogeeSample, p.mainSample);
        const int from = chuteOpen + static_cast<int>(3.0 / secPerSample);
        const int to = p.landingSample - 1;
        if ((to - from) * secPerSample >= 5.0) {
            const double rate = (metres(from) - metres(to)) / ((to - from) * secPerSample);
            QVERIFY2(rate > 0.8 * p.mainRateMps && rate < 1.2 * p.mainRateMps,
                     qPrintable(QString("descent %1 m/s, chute %2").arg(rate).arg(p.mainRateMps)));
            QVERIFY(p.mainRateMps >= 3 && p.mainRateMps <= 10);
        }

        // Triggers: launch and deployment at least, in order, inside the set.
        const auto& t = s.triggerSamples;
        QVERIFY(t.empty() || s.triggerInput);
        if (s.triggerInput)
            QVERIFY(std::is_sorted(t.begin(), t.end()) &&
                    std::adjacent_find(t.begin(), t.end()) == t.end() && t.front() >= 0 &&
                    t.back() < n && std::binary_search(t.begin(), t.end(), p.launchSample) &&
                    std::binary_search(t.begin(), t.end(), p.apogeeSample));
    }

    void seedDecides()
    {
        const FlightSet a = GenerateFlight(99, 2).set;
        QCOMPARE(GenerateFlight(99, 2).set.altitudes, a.altitudes);
        QVERIFY(GenerateFlight(100, 2).set.altitudes != a.altitudes);
        // Neighbouring flights differ in interval and units; the first has trigger input.
        std::set<int> intervals, units;
        for (int i = 0; i < 3; ++i) {
            const FlightSet s = GenerateFlight(1, i).set;
            intervals.insert(s.intervalMs);
            units.insert(s.units);
        }
        QCOMPARE(intervals.size() + units.size(), std::size_t(6));
        QVERIFY(GenerateFlight(1, 0).set.triggerInput);
    }

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
