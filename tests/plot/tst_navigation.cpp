#include "Samples.h"
#include "TestData.h"
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

Window Numbers(const QString& text)
{
    Window w;
    for (const QString& n : text.split(' '))
        w << n.toDouble();
    return w;
}

} // namespace

class TestNavigation : public QObject {
    Q_OBJECT

private slots:
    void moves_data() { vexa::test::AddRows("plot/moves.txt"); }
    void moves()
    {
        QFETCH(QStringList, f);
        PlotRecord r;
        const Window start = Numbers(f[0]);
        r.view = {start[0], start[1], start[2], start[3]};
        const QStringList pans{"left", "right", "up", "down"};
        for (const QString& step : f[1].split(' ')) {
            if (step == "in" || step == "out")
                step == "in" ? ZoomIn(r) : ZoomOut(r);
            else if (step == "home")
                GoHome(r);
            else if (pans.contains(step))
                Pan(r, PanDirection(pans.indexOf(step)));
            else {
                const QKeyCombination key = QKeySequence(QString(step).remove('~'))[0];
                QVERIFY(key.key() != Qt::Key_unknown);
                ApplyPlotKey(
                    r, PlotKeyAction(key.key(), key.keyboardModifiers(), !step.startsWith('~')));
            }
        }
        QCOMPARE(WindowOf(r.view), Numbers(f[2]));
    }

    // However often a key is held down, the mapping never sees max <= min.
    void windowNeverDegenerates()
    {
        for (const Qt::Key key : {Qt::Key_Right, Qt::Key_Up, Qt::Key_Left, Qt::Key_Down}) {
            PlotRecord r;
            for (int i = 0; i < 3000; ++i) {
                ApplyPlotKey(r, PlotKeyAction(key, Qt::ControlModifier, true));
                Pan(r, PanDirection::Right);
                ZoomOut(r);
                QVERIFY2(IsUsableWindow(r.view), qPrintable(QString("%1 x%2").arg(key).arg(i)));
            }
        }
    }

    // Taken texts become the full extent too; a refusal changes nothing.
    void scaleTexts_data() { vexa::test::AddRows("plot/scale-texts.txt", ";"); }
    void scaleTexts()
    {
        QFETCH(QStringList, f);
        const QStringList t = f[0].split('|');
        PlotRecord r;
        FullExtent full{0, 30, 0, 40};
        QCOMPARE(ApplyWindowTexts({t[0], t[1], t[2], t[3]}, r, full), f[1]);
        QCOMPARE(WindowOf(r.view), Numbers(f[2]));
        QCOMPARE(WindowOf(full), f[1].isEmpty() ? Numbers(f[2]) : (Window{0, 30, 0, 40}));
    }

    // Samples at `times` with altitude 100 + index, a peak and a climb mark
    // drawn right to left on the fourth of them, triggers at 1, 2, 2.5, 3 and
    // 3.02 s; cropped to [from, to], samples first ... last are kept and
    // moved to start at 0, with the triggers in that time.
    void crop_data()
    {
        QTest::addColumn<QList<double>>("times");
        QTest::addColumn<double>("from");
        QTest::addColumn<double>("to");
        QTest::addColumn<QList<int>>("kept"); // first, last; empty: not cropped
        QTest::addColumn<QList<double>>("triggers");
        QList<double> tenth;
        for (int i = 0; i <= 100; ++i)
            tenth << i * 0.1;
        QTest::newRow("between samples")
            << tenth << 2.05 << 3.05 << QList<int>{21, 30} << QList<double>{0.4, 0.9};
        QTest::newRow("edges on samples")
            << tenth << 2.0 << 3.0 << QList<int>{20, 30} << QList<double>{0, 0.5, 1};
        QTest::newRow("uneven times, climb cut off")
            << QList<double>{0, 1, 3, 6, 10, 15} << 2.0 << 11.0 << QList<int>{2, 4}
            << QList<double>{0, 0.02};
        for (auto [name, from, to] : {std::tuple("after the samples", 100.0, 200.0),
                                      std::tuple("before the samples", -10.0, -5.0),
                                      std::tuple("between two samples", 2.01, 2.09)})
            QTest::newRow(name) << tenth << from << to << QList<int>{}
                                << QList<double>{1, 2, 2.5, 3, 3.02};
    }

    void crop()
    {
        QFETCH(QList<double>, times);
        QFETCH(double, from);
        QFETCH(double, to);
        QFETCH(QList<int>, kept);
        QFETCH(QList<double>, triggers);
        const int n = int(times.size()), peak = n / 4;
        DataSetStore store;
        DataSetRecord& set = store.NewDataSet();
        FillWith(set.samples, n, [&](int i) { return std::pair(times[i], 100.0 + i); });
        const QList<double> triggerTimes{1, 2, 2.5, 3, 3.02};
        FillWith(set.triggers->samples, 5, [&](int j) { return std::pair(triggerTimes[j], 7.0); });
        set.samples.peakMarks[std::size_t(peak)] = 1;
        set.climbMarks[3] = ClimbMark{peak + 2, peak, true};

        QCOMPARE(CropDataSet(set, from, to), !kept.isEmpty());
        const int first = kept.value(0, 0), last = kept.value(1, n - 1);
        const double start = kept.isEmpty() ? 0 : times[first];
        const SampleBlock& s = set.samples;
        QCOMPARE(s.Count(), last - first + 1);
        for (int i = 0; i < s.Count(); ++i) {
            const std::size_t k = std::size_t(i);
            QVERIFY(std::abs(s.time[k] + start - times[first + i]) < 1e-9);
            QCOMPARE(s.altitude[k], 100.0 + first + i);
            QCOMPARE(s.peakMarks[k], std::uint8_t(first + i == peak));
        }
        QList<double> after;
        for (int j = 0; j < set.triggers->samples.Count(); ++j)
            after << std::round(set.triggers->samples.time[std::size_t(j)] * 1000) / 1000;
        QCOMPARE(after, triggers);
        const ClimbMark& m = set.climbMarks[3];
        const bool inside = peak >= first && peak + 2 <= last;
        QCOMPARE(QList<int>({m.used, m.firstSample, m.lastSample}),
                 inside ? QList<int>({1, peak + 2 - first, peak - first}) : QList<int>({0, 0, 0}));
    }

    // Crop cuts every set with samples in the window and fits the window to
    // what is left, which Reset returns to; an empty store changes nothing.
    void cropToWindow()
    {
        DataSetStore store;
        PlotRecord r;
        FullExtent full{0, 30, 0, 40};
        QCOMPARE(CropToWindow(store, r, full), 0);
        QCOMPARE(WindowOf(full), (Window{0, 30, 0, 40}));

        for (const double start : {0.0, 50.0})
            FillWith(store.NewDataSet().samples, 101,
                     [&](int i) { return std::pair(start + i * 0.1, 100.0 + i); });
        r.view = {2.05, 3.05, 0, 200};
        QCOMPARE(CropToWindow(store, r, full), 1);
        QCOMPARE(store.Set(0).samples.Count(), 10);
        QCOMPARE(store.Set(1).samples.Count(), 101);
        GoHome(r);
        ResetToFull(r, full);
        QCOMPARE(WindowOf(r.view), (Window{0, 70, 100, 300}));
        QCOMPARE(WindowOf(full), WindowOf(r.view));
    }
};

QTEST_GUILESS_MAIN(TestNavigation)
#include "tst_navigation.moc"
