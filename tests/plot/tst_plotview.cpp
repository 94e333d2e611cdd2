#include "TestData.h"
#include "plot/PlotRecord.h"

#include <QtTest>

using namespace vexa;

namespace {

QList<double> Numbers(const QString& text)
{
    QList<double> w;
    for (const QString& n : text.split(' '))
        w << n.toDouble();
    return w;
}

} // namespace

class TestPlotView : public QObject {
    Q_OBJECT

private slots:
    void layout_data() { vexa::test::AddRows("plot/layout.txt"); }
    void layout()
    {
        QFETCH(QStringList, f);
        const QList<double> page = Numbers(f[0]);
        const int dpi = int(page[0]);
        const PlotRect r = ComputePlotRect(dpi, dpi, {page[1], page[2], page[3], page[4]});
        QCOMPARE((QList<double>{double(r.labelLeft), double(r.titleTop), double(r.plotLeft),
                                double(r.plotTop), double(r.plotRight), double(r.plotBottom),
                                double(r.xLabelTop)}),
                 Numbers(f[1]));
    }

    void map_data() { vexa::test::AddRows("plot/map.txt"); }
    void map()
    {
        QFETCH(QStringList, f);
        const PlotRect r = ComputePlotRect(96, 96, {750.0 / 96, 461.0 / 96});
        const QList<double> w = Numbers(f[0]);
        const PlotView v{w[0], w[1], w[2], w[3]};
        const double value = f[2].toDouble();
        QCOMPARE(f[1] == "t" ? MapTime(v, r, value) : MapAltitude(v, r, value), f[3].toInt());
    }

    void emptyRect() { QCOMPARE(PixelToTime(PlotView{}, PlotRect{}, 0), 0.0); }
};

QTEST_APPLESS_MAIN(TestPlotView)
#include "tst_plotview.moc"
