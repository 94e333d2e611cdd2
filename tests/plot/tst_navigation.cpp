#include "Samples.h"
#include "plot/Navigation.h"

#include <QtTest>
#include <cmath>
#include <tuple>

using namespace vexa;
using vexa::test::FillWith;

using Window = QList<double>; // time min, time max, altitude min, altitude max

namespace {

Window WindowOf(const PlotRecord& r)
{
    return {r.view.TimeMin, r.view.TimeMax, r.view.AltitudeMin, r.view.AltitudeMax};
}

Window WindowOf(const FullExtent& f)
{
    return {f.TimeMin, f.TimeMax, f.AltitudeMin, f.AltitudeMax};
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
    void buttons_data()
    {
        QTest::addColumn<Window>("start");
        QTest::addColumn<QStringList>("steps");
        QTest::addColumn<Window>("expected");

        const Window home{0, 20, 0, 20};
        QTest::newRow("zoom in") << home << QStringList{"in"} << Window{5, 15, 5, 15};
        QTest::newRow("zoom in stops at a span of 10")
            << home << QStringList{"in", "in"} << Window{5, 15, 5, 15};
        QTest::newRow("zoom out") << home << QStringList{"out"} << Window{-10, 30, -10, 30};
        QTest::newRow("zoom out of 3 units gives 10")
            << Window{0, 3, 0, 3} << QStringList{"out"} << Window{-3.5, 6.5, -3.5, 6.5};
        QTest::newRow("each axis on its own")
            << Window{0, 100, 0, 20} << QStringList{"in"} << Window{25, 75, 5, 15};
        QTest::newRow("pan right") << home << QStringList{"right"} << Window{4, 24, 0, 20};
        QTest::newRow("pan left") << home << QStringList{"left"} << Window{-4, 16, 0, 20};
        QTest::newRow("pan up") << home << QStringList{"up"} << Window{0, 20, 4, 24};
        QTest::newRow("pan down") << home << QStringList{"down"} << Window{0, 20, -4, 16};
        QTest::newRow("home") << Window{100, 500, -50, 1500} << QStringList{"home"} << home;
    }

    void buttons()
    {
        QFETCH(Window, start);
        QFETCH(QStringList, steps);
        QFETCH(Window, expected);
        PlotRecord r;
        Put(r, start);
        for (const QString& step : steps) {
            if (step == "in")
                ZoomIn(r);
            else if (step == "out")
                ZoomOut(r);
            else if (step == "home")
                GoHome(r);
            else
                Pan(r, step == "right"  ? PanDirection::Right
                       : step == "left" ? PanDirection::Left
                       : step == "up"   ? PanDirection::Up
                                        : PanDirection::Down);
        }
        QCOMPARE(WindowOf(r), expected);
    }

    void keys_data()
    {
        QTest::addColumn<int>("key");
        QTest::addColumn<int>("modifiers");
        QTest::addColumn<bool>("plotPage");
        QTest::addColumn<bool>("consumed");
        QTest::addColumn<Window>("expected");

        const int ctrl = Qt::ControlModifier, shift = Qt::ShiftModifier;
        const Window home{0, 20, 0, 20};
        QTest::newRow("Shift+Right")
            << int(Qt::Key_Right) << shift << true << true << Window{2, 22, 0, 20};
        QTest::newRow("Shift+Left")
            << int(Qt::Key_Left) << shift << true << true << Window{-2, 18, 0, 20};
        QTest::newRow("Shift+Up") << int(Qt::Key_Up) << shift << true << true
                                  << Window{0, 20, 2, 22};
        QTest::newRow("Shift+Down")
            << int(Qt::Key_Down) << shift << true << true << Window{0, 20, -2, 18};
        QTest::newRow("Ctrl+Right")
            << int(Qt::Key_Right) << ctrl << true << true << Window{0, 10, 0, 20};
        QTest::newRow("Ctrl+Left")
            << int(Qt::Key_Left) << ctrl << true << true << Window{0, 40, 0, 20};
        QTest::newRow("Ctrl+Up") << int(Qt::Key_Up) << ctrl << true << true << Window{0, 20, 0, 10};
        QTest::newRow("Ctrl+Down")
            << int(Qt::Key_Down) << ctrl << true << true << Window{0, 20, 0, 40};
        QTest::newRow("Ctrl wins over Shift")
            << int(Qt::Key_Right) << (ctrl | shift) << true << true << Window{0, 10, 0, 20};
        QTest::newRow("keypad arrow with Shift")
            << int(Qt::Key_Right) << (shift | int(Qt::KeypadModifier)) << true << true
            << Window{2, 22, 0, 20};
        QTest::newRow("plain arrow passes on") << int(Qt::Key_Right) << 0 << true << false << home;
        QTest::newRow("Alt+arrow passes on")
            << int(Qt::Key_Right) << int(Qt::AltModifier) << true << false << home;
        QTest::newRow("Shift+letter passes on") << int(Qt::Key_A) << shift << true << false << home;
        QTest::newRow("other page") << int(Qt::Key_Right) << shift << false << false << home;
        QTest::newRow("Home on another page") << int(Qt::Key_Home) << 0 << false << false << home;
    }

    void keys()
    {
        QFETCH(int, key);
        QFETCH(int, modifiers);
        QFETCH(bool, plotPage);
        QFETCH(bool, consumed);
        QFETCH(Window, expected);
        PlotRecord r;
        const PlotKey action = PlotKeyAction(key, Qt::KeyboardModifiers(modifiers), plotPage);
        QCOMPARE(action != PlotKey::None, consumed);
        ApplyPlotKey(r, action);
        QCOMPARE(WindowOf(r), expected);
    }

    // Home is the fixed 0 ... 20, Reset the extent of the data.
    void homeAfterDownload()
    {
        DataSetStore store;
        DataSetRecord& set = AddSet(store, 1001, 0.1);
        set.samples.altitude[500] = 1500;
        PlotRecord r;
        FullExtent full;
        FitWindowToData(store, r, full);
        QCOMPARE(WindowOf(full), (Window{0, 200, 0, 2000}));

        const PlotKey home = PlotKeyAction(Qt::Key_Home, Qt::AltModifier, true);
        QCOMPARE(home, PlotKey::Home);
        ApplyPlotKey(r, home);
        QCOMPARE(WindowOf(r), (Window{0, 20, 0, 20}));
        ResetToFull(r, full);
        QCOMPARE(WindowOf(r), (Window{0, 200, 0, 2000}));
    }

    // However often a key is held down, the mapping never sees max <= min.
    void windowNeverDegenerates_data()
    {
        QTest::addColumn<int>("key");
        QTest::addColumn<int>("modifiers");
        QTest::newRow("shrink time") << int(Qt::Key_Right) << int(Qt::ControlModifier);
        QTest::newRow("shrink altitude") << int(Qt::Key_Up) << int(Qt::ControlModifier);
        QTest::newRow("stretch time") << int(Qt::Key_Left) << int(Qt::ControlModifier);
        QTest::newRow("stretch altitude") << int(Qt::Key_Down) << int(Qt::ControlModifier);
    }

    void windowNeverDegenerates()
    {
        QFETCH(int, key);
        QFETCH(int, modifiers);
        PlotRecord r;
        Put(r, {5, 25, 5, 25});
        const PlotKey action = PlotKeyAction(key, Qt::KeyboardModifiers(modifiers), true);
        for (int i = 0; i < 3000; ++i) {
            ApplyPlotKey(r, action);
            Pan(r, PanDirection::Right);
            ZoomOut(r);
            QVERIFY2(IsUsableWindow(r.view), qPrintable(QString("press %1").arg(i)));
        }
    }

    void numberTexts_data()
    {
        QTest::addColumn<double>("value");
        QTest::addColumn<QString>("text");
        QTest::newRow("whole") << 20.0 << "20";
        QTest::newRow("fraction") << 3.5 << "3.5";
        QTest::newRow("15 digits") << 0.1 + 0.2 << "0.3";
        QTest::newRow("negative") << -10.0 << "-10";
        QTest::newRow("large") << 1e20 << "1e+20";
        QTest::newRow("many digits") << 123456789.123456 << "123456789.123456";
    }

    void numberTexts()
    {
        QFETCH(double, value);
        QFETCH(QString, text);
        QCOMPARE(WindowNumberText(value), text);
    }

    void scaleTexts_data()
    {
        QTest::addColumn<QStringList>("typed");
        QTest::addColumn<QString>("problem");
        QTest::addColumn<Window>("window");
        QTest::addColumn<Window>("full");

        // The window starts at 0 ... 20 by 0 ... 20, the full extent at 0 ... 30 by 0 ... 40.
        const Window before{0, 20, 0, 20}, fullBefore{0, 30, 0, 40};
        QTest::newRow("abc keeps Time Min, copies the window")
            << QStringList{"abc", "20", "0", "20"} << "" << before << before;
        QTest::newRow("leading numbers") << QStringList{"  5.5xyz", "+30", "-1e1", "2E2"} << ""
                                         << Window{5.5, 30, -10, 200} << Window{5.5, 30, -10, 200};
        QTest::newRow("empty texts keep every value")
            << QStringList{"", "", "", ""} << "" << before << before;
        QTest::newRow("only 39 characters are read")
            << QStringList{QString(39, ' ') + "7", "20", "0", "20"} << "" << before << before;
        QTest::newRow("time min equal to max")
            << QStringList{"10", "10", "0", "20"} << "Time Min must be less than Time Max."
            << before << fullBefore;
        QTest::newRow("altitude inverted")
            << QStringList{"0", "20", "50", "-50"} << "Altitude Min must be less than Altitude Max."
            << before << fullBefore;
        QTest::newRow("kept min above a typed max")
            << QStringList{"x", "-5", "0", "20"} << "Time Min must be less than Time Max." << before
            << fullBefore;
        QTest::newRow("too large") << QStringList{"0", "1e999", "0", "20"}
                                   << "Time Max is not a usable number." << before << fullBefore;
        QTest::newRow("not a number")
            << QStringList{"0", "20", "nan", "20"} << "Altitude Min is not a usable number."
            << before << fullBefore;
        QTest::newRow("too far apart")
            << QStringList{"-1e308", "1e308", "0", "20"}
            << "Time Min and Time Max are too far apart." << before << fullBefore;
    }

    void scaleTexts()
    {
        QFETCH(QStringList, typed);
        QFETCH(QString, problem);
        QFETCH(Window, window);
        QFETCH(Window, full);
        PlotRecord r;
        FullExtent f{0, 30, 0, 40};
        const QString said = ApplyWindowTexts({typed[0], typed[1], typed[2], typed[3]}, r, f);
        QCOMPARE(said, problem);
        QCOMPARE(WindowOf(r), window);
        QCOMPARE(WindowOf(f), full);
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

    void cropClimbMarks_data()
    {
        QTest::addColumn<int>("markFirst");
        QTest::addColumn<int>("markLast");
        QTest::addColumn<int>("keepFirst");
        QTest::addColumn<int>("keepLast");
        QTest::addColumn<bool>("used");
        QTest::addColumn<int>("newFirst");
        QTest::addColumn<int>("newLast");

        QTest::newRow("inside from sample 0") << 5 << 40 << 0 << 50 << true << 5 << 40;
        QTest::newRow("start cut off") << 5 << 40 << 10 << 50 << false << 0 << 0;
        QTest::newRow("end cut off") << 5 << 40 << 0 << 39 << false << 0 << 0;
        QTest::newRow("exactly the kept samples") << 5 << 40 << 5 << 40 << true << 0 << 35;
        QTest::newRow("right to left mark") << 40 << 5 << 2 << 50 << true << 38 << 3;
    }

    void cropClimbMarks()
    {
        QFETCH(int, markFirst);
        QFETCH(int, markLast);
        QFETCH(int, keepFirst);
        QFETCH(int, keepLast);
        QFETCH(bool, used);
        QFETCH(int, newFirst);
        QFETCH(int, newLast);
        DataSetStore store;
        DataSetRecord& set = AddSet(store, 101);
        set.climbMarks[3] = ClimbMark{markFirst, markLast, true};
        QVERIFY(CropDataSet(set, keepFirst * 0.1 - 0.05, keepLast * 0.1 + 0.05));
        const ClimbMark& m = set.climbMarks[3];
        QCOMPARE(m.used, used);
        if (used)
            QCOMPARE(QList<int>({m.firstSample, m.lastSample}), QList<int>({newFirst, newLast}));
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
