#include "Samples.h"
#include "plot/Navigation.h"

#include <QKeySequence>
#include <QtTest>
#include <cmath>
#include <tuple>

using namespace vexa;
using vexa::test::FillWith;

using Window = QList<double>; // time min, time max, altitude min, altitude max

namespace {

Window WindowOf(const PlotView& v)
{
    return {v.TimeMin, v.TimeMax, v.AltitudeMin, v.AltitudeMax};
}

Window WindowOf(const PlotRecord& r)
{
    return WindowOf(r.view);
}

void Put(PlotRecord& r, const Window& w)
{
    r.view = {w[0], w[1], w[2], w[3]};
}

// n samples every `step` seconds from `start`; altitude 100 + index.
DataSetRecord& AddSet(DataSetStore& store, int n, double step = 0.1, double start = 0.0)
{
    DataSetRecord& r = store.NewDataSet();
    FillWith(r.samples, n, [&](int i) { return std::pair(start + i * step, 100.0 + i); });
    return r;
}

} // namespace

class TestNavigation : public QObject {
    Q_OBJECT

private slots:
    // Steps are buttons (in, out, home, left, right, up, down) or keys on the
    // plot page; a key after "~" is pressed on another page.
    void moves_data()
    {
        QTest::addColumn<Window>("start");
        QTest::addColumn<QString>("steps");
        QTest::addColumn<Window>("expected");

        const Window home{0, 20, 0, 20}, away{100, 500, -50, 1500};
        QTest::newRow("zoom in") << home << "in" << Window{5, 15, 5, 15};
        QTest::newRow("zoom in stops at 10") << home << "in in" << Window{5, 15, 5, 15};
        QTest::newRow("zoom out") << home << "out" << Window{-10, 30, -10, 30};
        QTest::newRow("zoom out of 3 gives 10")
            << Window{0, 3, 0, 3} << "out" << Window{-3.5, 6.5, -3.5, 6.5};
        QTest::newRow("each axis on its own")
            << Window{0, 100, 0, 20} << "in" << Window{25, 75, 5, 15};
        QTest::newRow("pan right, up") << home << "right up" << Window{4, 24, 4, 24};
        QTest::newRow("pan left, down") << home << "left down" << Window{-4, 16, -4, 16};
        QTest::newRow("home") << away << "home" << home;
        QTest::newRow("Shift pans a tenth")
            << home << "Shift+Right Shift+Up" << Window{2, 22, 2, 22};
        QTest::newRow("Shift back") << home << "Shift+Left Shift+Down" << Window{-2, 18, -2, 18};
        QTest::newRow("Ctrl shrinks") << home << "Ctrl+Right Ctrl+Up" << Window{0, 10, 0, 10};
        QTest::newRow("Ctrl stretches") << home << "Ctrl+Left Ctrl+Down" << Window{0, 40, 0, 40};
        QTest::newRow("Ctrl wins over Shift") << home << "Ctrl+Shift+Right" << Window{0, 10, 0, 20};
        QTest::newRow("keypad arrow") << home << "Shift+Num+Right" << Window{2, 22, 0, 20};
        QTest::newRow("keys passed on") << home << "Right Alt+Right Shift+A ~Shift+Right" << home;
        QTest::newRow("Home key") << away << "Alt+Home" << home;
        QTest::newRow("Home on another page") << away << "~Home" << away;
    }

    void moves()
    {
        QFETCH(Window, start);
        QFETCH(QString, steps);
        QFETCH(Window, expected);
        const QHash<QString, PanDirection> pans = {{"right", PanDirection::Right},
                                                   {"left", PanDirection::Left},
                                                   {"up", PanDirection::Up},
                                                   {"down", PanDirection::Down}};
        PlotRecord r;
        Put(r, start);
        for (QString step : steps.split(' ')) {
            if (step == "in")
                ZoomIn(r);
            else if (step == "out")
                ZoomOut(r);
            else if (step == "home")
                GoHome(r);
            else if (pans.contains(step))
                Pan(r, pans[step]);
            else {
                const bool plotPage = !step.startsWith('~');
                const QKeyCombination key = QKeySequence(step.remove('~'))[0];
                QVERIFY(key.key() != Qt::Key_unknown);
                const PlotKey action = PlotKeyAction(key.key(), key.keyboardModifiers(), plotPage);
                QCOMPARE(action == PlotKey::None, start == expected);
                ApplyPlotKey(r, action);
            }
        }
        QCOMPARE(WindowOf(r), expected);
    }

    // Home is the fixed 0 ... 20, Reset the extent of the data.
    void resetAfterDownload()
    {
        DataSetStore store;
        DataSetRecord& set = AddSet(store, 1001, 0.1);
        set.samples.altitude[500] = 1500;
        PlotRecord r;
        FullExtent full;
        FitWindowToData(store, r, full);
        QCOMPARE(WindowOf(full), (Window{0, 200, 0, 2000}));
        GoHome(r);
        ResetToFull(r, full);
        QCOMPARE(WindowOf(r), (Window{0, 200, 0, 2000}));
    }

    // However often a key is held down, the mapping never sees max <= min.
    void windowNeverDegenerates()
    {
        for (const Qt::Key key : {Qt::Key_Right, Qt::Key_Up, Qt::Key_Left, Qt::Key_Down}) {
            PlotRecord r;
            Put(r, {5, 25, 5, 25});
            const PlotKey action = PlotKeyAction(key, Qt::ControlModifier, true);
            for (int i = 0; i < 3000; ++i) {
                ApplyPlotKey(r, action);
                Pan(r, PanDirection::Right);
                ZoomOut(r);
                QVERIFY2(IsUsableWindow(r.view), qPrintable(QString("%1 x%2").arg(key).arg(i)));
            }
        }
    }

    void numberTexts_data()
    {
        QTest::addColumn<double>("value");
        QTest::addColumn<QString>("text");
        QTest::newRow("whole") << -10.0 << "-10";
        QTest::newRow("15 digits") << 0.1 + 0.2 << "0.3";
        QTest::newRow("large") << 1e20 << "1e+20";
        QTest::newRow("many digits") << 123456789.123456 << "123456789.123456";
    }

    void numberTexts()
    {
        QFETCH(double, value);
        QFETCH(QString, text);
        QCOMPARE(WindowNumberText(value), text);
    }

    // Typed over the window 0 ... 20 by 0 ... 20 and the full extent 0 ... 30 by 0 ... 40.
    // Taken texts become the full extent too; a refusal changes nothing.
    void scaleTexts_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("problem");
        QTest::addColumn<Window>("window");

        const Window before{0, 20, 0, 20};
        QTest::newRow("abc keeps Time Min") << "abc|20|0|20"
                                            << "" << before;
        QTest::newRow("leading numbers") << "  5.5xyz|+30|-1e1|2E2"
                                         << "" << Window{5.5, 30, -10, 200};
        QTest::newRow("empty texts keep every value") << "|||"
                                                      << "" << before;
        QTest::newRow("only 39 characters are read") << QString(39, ' ') + "7|20|0|20"
                                                     << "" << before;
        QTest::newRow("time min equal to max") << "10|10|0|20"
                                               << "Time Min must be less than Time Max." << before;
        QTest::newRow("altitude inverted")
            << "0|20|50|-50"
            << "Altitude Min must be less than Altitude Max." << before;
        QTest::newRow("kept min above a typed max")
            << "x|-5|0|20"
            << "Time Min must be less than Time Max." << before;
        QTest::newRow("too large") << "0|1e999|0|20"
                                   << "Time Max is not a usable number." << before;
        QTest::newRow("not a number") << "0|20|nan|20"
                                      << "Altitude Min is not a usable number." << before;
        QTest::newRow("too far apart") << "-1e308|1e308|0|20"
                                       << "Time Min and Time Max are too far apart." << before;
    }

    void scaleTexts()
    {
        QFETCH(QString, typed);
        QFETCH(QString, problem);
        QFETCH(Window, window);
        const QStringList t = typed.split('|');
        PlotRecord r;
        FullExtent f{0, 30, 0, 40};
        QCOMPARE(ApplyWindowTexts({t[0], t[1], t[2], t[3]}, r, f), problem);
        QCOMPARE(WindowOf(r), window);
        QCOMPARE(WindowOf(f), problem.isEmpty() ? window : (Window{0, 30, 0, 40}));
    }

    // Samples at `times` with altitude 100 + index, triggers at `triggers`
    // with altitude 7 + index, a peak on sample `peak`; cropped to [from, to].
    void crop_data()
    {
        QTest::addColumn<QList<double>>("times");
        QTest::addColumn<QList<double>>("triggers");
        QTest::addColumn<int>("peak");
        QTest::addColumn<double>("from");
        QTest::addColumn<double>("to");
        QTest::addColumn<QList<double>>("kept"); // times after; empty: not cropped
        QTest::addColumn<double>("firstAltitude");
        QTest::addColumn<QList<double>>("keptTriggers");
        QTest::addColumn<int>("peakAfter");

        QList<double> tenth, shifted;
        for (int i = 0; i <= 100; ++i) {
            tenth << i * 0.1;
            shifted << 5 + i * 0.1;
        }
        const QList<double> ten{0, 0.1, 0.2, 0.3, 0.4, 0.5, 0.6, 0.7, 0.8, 0.9};
        QTest::newRow("between samples") << tenth << QList<double>{1.0, 2.5, 3.02} << 25 << 2.05
                                         << 3.05 << ten << 121.0 << QList<double>{0.4} << 4;
        QTest::newRow("edges on samples")
            << tenth << QList<double>{2.0, 3.0} << 20 << 2.0 << 3.0 << (ten + QList<double>{1.0})
            << 120.0 << QList<double>{0, 1.0} << 0;
        QTest::newRow("set moved by an offset")
            << shifted << QList<double>{shifted[25]} << -1 << 7.05 << 8.05 << ten << 121.0
            << QList<double>{0.4} << -1;
        QTest::newRow("uneven times")
            << QList<double>{0, 1, 3, 6, 10, 15} << QList<double>{} << -1 << 2.0 << 11.0
            << QList<double>{0, 3, 7} << 102.0 << QList<double>{} << -1;
        for (auto [name, from, to] : {std::tuple("after the samples", 100.0, 200.0),
                                      std::tuple("before the samples", -10.0, -5.0),
                                      std::tuple("between two samples", 2.01, 2.09)})
            QTest::newRow(name) << tenth << QList<double>{2.5} << -1 << from << to
                                << QList<double>{} << 100.0 << QList<double>{2.5} << -1;
    }

    void crop()
    {
        QFETCH(QList<double>, times);
        QFETCH(QList<double>, triggers);
        QFETCH(int, peak);
        QFETCH(double, from);
        QFETCH(double, to);
        QFETCH(QList<double>, kept);
        QFETCH(double, firstAltitude);
        QFETCH(QList<double>, keptTriggers);
        QFETCH(int, peakAfter);
        DataSetStore store;
        DataSetRecord& set = store.NewDataSet();
        FillWith(set.samples, int(times.size()),
                 [&](int i) { return std::pair(times[i], 100.0 + i); });
        FillWith(set.triggers->samples, int(triggers.size()),
                 [&](int j) { return std::pair(triggers[j], 7.0 + j); });
        if (peak >= 0)
            set.samples.peakMarks[std::size_t(peak)] = 1;

        QCOMPARE(CropDataSet(set, from, to), !kept.isEmpty());
        const SampleBlock& s = set.samples;
        const QList<double> after = kept.isEmpty() ? times : kept;
        QCOMPARE(s.Count(), after.size());
        for (int i = 0; i < s.Count(); ++i)
            QVERIFY2(std::abs(s.time[std::size_t(i)] - after[i]) < 1e-9,
                     qPrintable(QString::number(i)));
        QCOMPARE(s.altitude[0], firstAltitude);
        const SampleBlock& t = set.triggers->samples;
        QCOMPARE(t.Count(), keptTriggers.size());
        for (int j = 0; j < t.Count(); ++j)
            QVERIFY(std::abs(t.time[std::size_t(j)] - keptTriggers[j]) < 1e-9);
        for (int i = 0; i < s.Count(); ++i)
            QCOMPARE(s.peakMarks[std::size_t(i)], std::uint8_t(i == peakAfter));
    }

    // A mark on samples 0 ... 100, the samples kept, the mark after (-1: dropped).
    void cropClimbMarks_data()
    {
        QTest::addColumn<QList<int>>("mark");
        QTest::addColumn<QList<int>>("kept");
        QTest::addColumn<QList<int>>("after");
        QTest::newRow("start cut off") << QList<int>{5, 40} << QList<int>{10, 50} << QList<int>{-1};
        QTest::newRow("end cut off") << QList<int>{5, 40} << QList<int>{0, 39} << QList<int>{-1};
        QTest::newRow("exactly kept")
            << QList<int>{5, 40} << QList<int>{5, 40} << QList<int>{0, 35};
        QTest::newRow("right to left")
            << QList<int>{40, 5} << QList<int>{2, 50} << QList<int>{38, 3};
    }

    void cropClimbMarks()
    {
        QFETCH(QList<int>, mark);
        QFETCH(QList<int>, kept);
        QFETCH(QList<int>, after);
        DataSetStore store;
        DataSetRecord& set = AddSet(store, 101);
        set.climbMarks[3] = ClimbMark{mark[0], mark[1], true};
        QVERIFY(CropDataSet(set, kept[0] * 0.1 - 0.05, kept[1] * 0.1 + 0.05));
        const ClimbMark& m = set.climbMarks[3];
        QCOMPARE(m.used ? QList<int>({m.firstSample, m.lastSample}) : QList<int>{-1}, after);
    }

    // Crop cuts every set with samples in the window and fits the window to
    // what is left; an empty store changes nothing.
    void cropToWindow()
    {
        DataSetStore store;
        PlotRecord r;
        FullExtent full{0, 30, 0, 40};
        QCOMPARE(CropToWindow(store, r, full), 0);
        QCOMPARE(WindowOf(full), (Window{0, 30, 0, 40}));

        AddSet(store, 101);
        AddSet(store, 101, 0.1, 50);
        Put(r, {2.05, 3.05, 0, 200});
        QCOMPARE(CropToWindow(store, r, full), 1);
        QCOMPARE(store.Set(0).samples.Count(), 10);
        QCOMPARE(store.Set(1).samples.Count(), 101);
        QCOMPARE(WindowOf(r), (Window{0, 70, 100, 300}));
        QCOMPARE(WindowOf(full), WindowOf(r));
    }
};

QTEST_GUILESS_MAIN(TestNavigation)
#include "tst_navigation.moc"
