#include "link/LiveLog.h"

#include <QImage>
#include <QPainter>
#include <QtTest>

using namespace vexa;

namespace {

QImage Chart(const LiveRing& ring, int w = 100, int h = 50)
{
    QImage image(w, h, QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter p(&image);
    DrawLiveChart(p, w, h, ring);
    return image;
}

int RedColumns(const QImage& image)
{
    int columns = 0;
    for (int x = 0; x < image.width(); ++x)
        for (int y = 0; y < image.height(); ++y)
            if (image.pixelColor(x, y).red() > 200 && image.pixelColor(x, y).green() < 50) {
                ++columns;
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
        QCOMPARE(ring.count, 4);
        QCOMPARE(ring.head, 2);
        QCOMPARE(ring.tail, 2);
        QCOMPARE(ring.samples[std::size_t(ring.head)], 3.0);
        LiveRing none;
        none.Append(1); // no slots: nothing to keep, nothing to break
        QCOMPARE(none.count, 0);
    }

    void chartDrawsTheNewestAtTheRightEdge()
    {
        LiveRing ring(50);
        ring.Append(5000);
        QImage image = Chart(ring); // one sample: nothing to join yet, only the grid
        QCOMPARE(RedColumns(image), 0);
        QCOMPARE(image.pixelColor(50, 3), QColor(Qt::black));
        QCOMPARE(image.pixelColor(50, 25), QColor(128, 128, 128));
        for (int i = 1; i < 10; ++i)
            ring.Append(5000);
        image = Chart(ring);
        QVERIFY(image.pixelColor(97, 25).red() > 200);
        QVERIFY(image.pixelColor(70, 25).red() < 200);
        // A full ring is drawn too.
        LiveRing full(8);
        for (int i = 0; i < 20; ++i)
            full.Append(2000);
        QVERIFY(RedColumns(Chart(full)) >= 14);
    }
};

QTEST_MAIN(TestLiveLog)
#include "tst_livelog.moc"
