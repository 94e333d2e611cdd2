#include "FlightFile.h"
#include "TestData.h"

#include <QtTest>

using namespace vexa::sim;
using vexa::test::TestData;

class TestSimFlights : public QObject {
    Q_OBJECT

private slots:
    // The count of sets read, then the last one: interval, units (feet 0, yards 1, meters 2),
    // trigger input, altitudes and trigger samples.
    void parseFile_data()
    {
        QTest::addColumn<QByteArray>("text");
        QTest::addColumn<QString>("last");

        QTest::newRow("plain list")
            << QByteArray("10\n20.6\n\n-3\n") << "1: 100 0 false QList(10, 21, -3) QList()";
        QTest::newRow("marker value cannot be a sample")
            << QByteArray("-1535\r\n7\r\n") << "1: 100 0 false QList(-1534, 7) QList()";
        QTest::newRow("single set with triggers")
            << TestData("files/sim-one-set.csv") << "1: 50 2 true QList(10, 20, 30) QList(1)";
        QTest::newRow("plot file, two sets, CR LF")
            << TestData("files/sim-two-sets-plot.csv") << "2: 250 1 false QList(4, 5) QList()";
        QTest::newRow("headerless three columns")
            << QByteArray("0.0, 5, 0\n0.5, 6, 1\n") << "1: 500 0 false QList(5, 6) QList()";
        QTest::newRow("nothing to read") << QByteArray("#only\n#headers\n") << "0";
    }

    void parseFile()
    {
        QFETCH(QByteArray, text);
        const std::vector<FlightSet> got = ParseFlightText(text.toStdString());
        QString last = QString::number(got.size());
        if (const auto* f = got.empty() ? nullptr : &got.back())
            QDebug(&last).nospace()
                << ": " << f->intervalMs << ' ' << f->units << ' ' << f->triggerInput << ' '
                << QList<int>(f->altitudes.begin(), f->altitudes.end()) << ' '
                << QList<int>(f->triggerSamples.begin(), f->triggerSamples.end());
        QTEST(last, "last");
    }
};

QTEST_APPLESS_MAIN(TestSimFlights)
#include "tst_SimFlights.moc"
