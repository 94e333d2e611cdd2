#include "Samples.h"
#include "TestData.h"
#include "plot/Navigation.h"

#include <QKeySequence>
#include <QtTest>
#include <cmath>

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
    for (const QString& n : text.split(' ', Qt::SkipEmptyParts))
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

    // Taken texts become the full extent too; a refusal changes nothing.
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
    void crop_data() { vexa::test::AddRows("plot/crop.txt"); }
    void crop()
    {
        QFETCH(QStringList, f);
        QList<double> times = Numbers(f[0]);
        if (f[0] == "tenth") {
            times.clear();
            for (int i = 0; i <= 100; ++i)
                times << i * 0.1;
        }
        const QList<double> window = Numbers(f[1]), kept = Numbers(f[2]);
        const int n = int(times.size()), peak = n / 4;
        DataSetStore store;
        DataSetRecord& set = store.NewDataSet();
        FillWith(set.samples, n, [&](int i) { return std::pair(times[i], 100.0 + i); });
        const QList<double> triggerTimes{1, 2, 2.5, 3, 3.02};
        FillWith(set.triggers->samples, 5, [&](int j) { return std::pair(triggerTimes[j], 7.0); });
        set.samples.peakMarks[std::size_t(peak)] = 1;
        set.climbMarks[3] = ClimbMark{peak + 2, peak, true};

        QCOMPARE(CropDataSet(set, window[0], window[1]), !kept.isEmpty());
        const int first = int(kept.value(0, 0)), last = int(kept.value(1, n - 1));
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
        QCOMPARE(after, Numbers(f[3]));
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
