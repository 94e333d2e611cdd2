#include "FlightFile.h"
#include "TestData.h"

#include <QtTest>

using namespace vexa::sim;
using namespace vexa::test;

class TestSimFlights : public QObject {
    Q_OBJECT

private slots:
    void parseFile_data() { AddRows("tools/sim-flights.txt"); }

    void parseFile()
    {
        QFETCH(QStringList, f);
        const QByteArray text = f[0].startsWith('@') ? TestData(f[0].mid(1)) : f[0].toUtf8();
        const std::vector<FlightSet> got = ParseFlightText(text.toStdString());
        QString last = QString::number(got.size());
        if (const auto* s = got.empty() ? nullptr : &got.back())
            QDebug(&last).nospace()
                << ": " << s->intervalMs << ' ' << s->units << ' ' << s->triggerInput << ' '
                << QList<int>(s->altitudes.begin(), s->altitudes.end()) << ' '
                << QList<int>(s->triggerSamples.begin(), s->triggerSamples.end());
        QCOMPARE(last, f[1]);
    }
};

QTEST_APPLESS_MAIN(TestSimFlights)
#include "tst_SimFlights.moc"
