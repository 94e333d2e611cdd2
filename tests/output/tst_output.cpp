// Exported images read back by decoders other than their writers, and a
// printed PDF rendered back to pixels by a separate renderer.
#include "output/PlotOutput.h"

#include <QBuffer>
#include <QImageReader>
#include <QPrinter>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QtTest>
#include <gif_lib.h>

using namespace vexa;

namespace {

constexpr ColorRef LineColor = Rgb(220, 20, 60);

// One level line at altitude 10 in the default window, in colours of its own.
struct Scene {
    DataSetStore store;
    PlotRecord plot;
    OutputSettings out;
    ShowFlags show;

    Scene()
    {
        plot.store = &store;
        plot.GridColor = Rgb(90, 90, 200);
        plot.BGColor = Rgb(255, 255, 224);
        DataSetRecord& r = store.NewDataSet();
        r.lineColor = LineColor;
        r.samples.count = 2;
        r.samples.time = {0, 20};
        r.samples.altitude = {10, 10};
        out.color = false;
    }
};

// giflib's own reader, independent of Qt's.
QImage ReadGif(const QString& path)
{
    int error = 0;
    GifFileType* gif = DGifOpenFileName(QFile::encodeName(path).constData(), &error);
    if (!gif || DGifSlurp(gif) != GIF_OK || gif->ImageCount != 1) {
        DGifCloseFile(gif, &error);
        return {};
    }
    const SavedImage& frame = gif->SavedImages[0];
    const ColorMapObject* map =
        frame.ImageDesc.ColorMap ? frame.ImageDesc.ColorMap : gif->SColorMap;
    QImage image(frame.ImageDesc.Width, frame.ImageDesc.Height, QImage::Format_RGB32);
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x) {
            const GifColorType c = map->Colors[frame.RasterBits[y * image.width() + x]];
            image.setPixel(x, y, qRgb(c.Red, c.Green, c.Blue));
        }
    DGifCloseFile(gif, &error);
    return image;
}

} // namespace

class TestOutput : public QObject {
    Q_OBJECT

private slots:
    void imageSizes_data()
    {
        QTest::addColumn<double>("width");
        QTest::addColumn<double>("height");
        QTest::addColumn<QSize>("pixels");
        QTest::newRow("default") << 7.0 << 3.5 << QSize(700, 350);
        QTest::newRow("quarter inch") << 7.25 << 3.5 << QSize(725, 350);
        QTest::newRow("truncated") << 7.255 << 3.505 << QSize(725, 350);
        QTest::newRow("smallest") << 0.01 << 0.01 << QSize(1, 1);
        QTest::newRow("no pixel") << 0.005 << 3.5 << QSize(0, 0);
    }

    void imageSizes()
    {
        QFETCH(double, width);
        QFETCH(double, height);
        QFETCH(QSize, pixels);
        Scene s;
        s.out.width = width;
        s.out.height = height;
        s.out.left = 2; // an export always starts at the corner
        QCOMPARE(RenderExportImage(s.plot, s.out, s.show, nullptr).size(), pixels);
    }

    void formatsReadBack_data()
    {
        QTest::addColumn<int>("type");
        QTest::addColumn<QByteArray>("format");
        QTest::addColumn<QColor>("title"); // titles keep their colour in black and white
        QTest::addColumn<bool>("exact");
        QTest::addColumn<int>("tolerance"); // grey levels a line or background pixel may be off
        const QColor orange(200, 100, 0);
        QTest::newRow("bitmap") << int(ImageType::Bitmap) << QByteArray("bmp") << orange << true
                                << 0;
        QTest::newRow("jpeg") << int(ImageType::Jpeg) << QByteArray("jpeg") << orange << false
                              << 60;
        // Black text smoothed on white stays within 256 colours; an orange title does not.
        QTest::newRow("gif, exact")
            << int(ImageType::Gif) << QByteArray("gif") << QColor(Qt::black) << true << 0;
        QTest::newRow("gif, quantized")
            << int(ImageType::Gif) << QByteArray("gif") << orange << false << 8;
    }

    // Colour off: the frame and the data line come out black on white.
    void formatsReadBack()
    {
        QFETCH(int, type);
        QFETCH(QByteArray, format);
        QFETCH(QColor, title);
        QFETCH(bool, exact);
        QFETCH(int, tolerance);
        Scene s;
        s.plot.LabelColor = Rgb(title.red(), title.green(), title.blue());
        QTemporaryDir dir;
        const QString path = dir.filePath("plot");
        QCOMPARE(ExportPlot(path, ImageType(type), s.plot, s.out, s.show, nullptr), QString());
        const QImage expected = RenderExportImage(s.plot, s.out, s.show, nullptr);

        QImageReader reader(path);
        QCOMPARE(reader.format(), format); // by content, not by name
        const QImage image = type == int(ImageType::Gif) ? ReadGif(path) : reader.read();
        QCOMPARE(image.size(), QSize(700, 350));
        if (exact)
            QCOMPARE(image.convertToFormat(QImage::Format_RGB32), expected);

        const PlotRect r = ComputePlotRect(ExportDpi, ExportDpi, s.out);
        const int mid = (r.plotLeft + r.plotRight) / 2;
        const int lineY = r.plotTop + MapAltitude(s.plot.view, r, 10);
        const QList<QPoint> black = {{mid, lineY}, {r.plotLeft, lineY + 20}, {mid, r.plotBottom}};
        const QList<QPoint> white = {{mid + 5, lineY + 20}, {mid + 5, lineY - 20}};
        for (const QPoint& p : black)
            QVERIFY2(qGray(image.pixel(p)) <= tolerance, qPrintable(QString::number(p.y())));
        for (const QPoint& p : white)
            QVERIFY2(qGray(image.pixel(p)) >= 255 - tolerance, qPrintable(QString::number(p.y())));
    }

    void gifQuantizesBeyond256Colours()
    {
        QImage image(128, 64, QImage::Format_RGB32);
        for (int y = 0; y < 64; ++y)
            for (int x = 0; x < 128; ++x)
                image.setPixel(x, y, qRgb(x * 2, y * 4, 128));
        QTemporaryDir dir;
        QFile file(dir.filePath("g.gif"));
        QVERIFY(file.open(QIODevice::WriteOnly));
        GifPalette palette = GifPalette::Exact;
        QCOMPARE(WriteGif(image, file, &palette), QString());
        file.close();
        QCOMPARE(palette, GifPalette::Quantized);
        const QImage back = ReadGif(file.fileName());
        QCOMPARE(back.size(), image.size());
        qint64 error = 0;
        for (int y = 0; y < 64; ++y)
            for (int x = 0; x < 128; ++x)
                error += std::abs(qRed(back.pixel(x, y)) - x * 2) +
                         std::abs(qGreen(back.pixel(x, y)) - y * 4);
        QVERIFY2(error / (128 * 64) < 16, qPrintable(QString::number(error / (128 * 64))));
    }

    void failedExportKeepsOldFile()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath("plot.gif");
        QFile old(path);
        QVERIFY(old.open(QIODevice::WriteOnly) && old.write("old") == 3);
        old.close();
        const QImage tooWide(70000, 1, QImage::Format_RGB32); // beyond what a GIF can hold
        QVERIFY(!SaveImage(tooWide, ImageType::Gif, path).isEmpty());
        QVERIFY(old.open(QIODevice::ReadOnly));
        QCOMPARE(old.readAll(), QByteArray("old"));
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files), QStringList{"plot.gif"});
        QVERIFY(!SaveImage(QImage(8, 8, QImage::Format_RGB32), ImageType::Bitmap,
                           dir.filePath("missing/plot.bmp"))
                     .isEmpty());
    }

    // A 4 x 2 inch plot 1 inch from the left and half an inch from the top of
    // a printable area with half-inch margins.
    void pdfShowsPlotAtOffset()
    {
        const QString renderer = QStandardPaths::findExecutable("pdftoppm");
        if (renderer.isEmpty())
            QSKIP("pdftoppm (poppler-utils) is not installed");
        QTemporaryDir dir;
        QPrinter printer(QPrinter::HighResolution);
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(dir.filePath("page.pdf"));
        printer.setResolution(300);
        printer.setPageMargins(QMarginsF(0.5, 0.5, 0.5, 0.5), QPageLayout::Inch);
        Scene s;
        s.out = OutputSettings{4.0, 2.0, 1.0, 0.5, false};
        QCOMPARE(PrintPlot(printer, s.plot, s.out, s.show, nullptr), QString());
        QCOMPARE(QProcess::execute(renderer, {"-r", "100", "-png", "-singlefile",
                                              dir.filePath("page.pdf"), dir.filePath("page")}),
                 0);
        const QImage page(dir.filePath("page.png"));
        QVERIFY(!page.isNull());
        QRect ink;
        for (int y = 0; y < page.height(); ++y)
            for (int x = 0; x < page.width(); ++x)
                if (qGray(page.pixel(x, y)) < 200)
                    ink |= QRect(x, y, 1, 1);
        QVERIFY2(std::abs(ink.left() - 150) <= 1 && std::abs(ink.top() - 100) <= 1 &&
                     std::abs(ink.width() - 400) <= 2 && std::abs(ink.height() - 200) <= 2,
                 qPrintable(QString("%1,%2 %3x%4")
                                .arg(ink.left())
                                .arg(ink.top())
                                .arg(ink.width())
                                .arg(ink.height())));
    }
};

QTEST_MAIN(TestOutput)
#include "tst_output.moc"
