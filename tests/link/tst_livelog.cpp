#include "link/LiveLog.h"

#include <QImage>
#include <QPainter>
#include <QtTest>

using namespace vexa;

namespace {

// The columns of a 100 x 50 chart the red trace touches.
QList<int> RedColumns(const LiveRing& ring)
{
    QImage image(100, 50, QImage::Format_RGB32);
    QPainter p(&image);
    DrawLiveChart(p, image.width(), image.height(), ring);
    QList<int> columns;
    for (int x = 0; x < image.width(); ++x)
        for (int y = 0; y < image.height(); ++y)
            if (image.pixelColor(x, y).red() > 200 && image.pixelColor(x, y).green() < 50) {
                columns << x;
                break;
            }
    return columns;
}

} // namespace

class TestLiveLog : public QObject {
    Q_OBJECT

private slots:
    void ringKeepsTheNewest()
    {
        LiveRing ring(4);
        for (int i = 1; i <= 6; ++i)
            ring.Append(i);
        const int oldest = int(ring.samples[std::size_t(ring.head)]);
        QCOMPARE(QList<int>({ring.count, ring.head, ring.tail, oldest}), QList<int>({4, 2, 2, 3}));
        LiveRing none;
        none.Append(1); // no slots: nothing to keep, nothing to break
        QCOMPARE(none.count, 0);
    }

    // Two pixels a sample, the newest at the right edge; one sample draws no line.
    void chartDrawsTheNewestAtTheRightEdge()
    {
        LiveRing ring(8);
        ring.Append(5000);
        QVERIFY(RedColumns(ring).isEmpty());
        for (int i = 0; i < 20; ++i)
            ring.Append(2000);
        const QList<int> columns = RedColumns(ring);
        QVERIFY2(columns.size() >= 14 && columns.first() <= 85 && columns.last() >= 97,
                 qPrintable(QString("%1 to %2").arg(columns.first()).arg(columns.last())));
    }
};

QTEST_MAIN(TestLiveLog)
#include "tst_livelog.moc"
