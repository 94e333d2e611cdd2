// Exported images read back by decoders other than their writers, a printed
// PDF rendered back to pixels by a separate renderer, and the "Output" dialog.
#include "output/PlotOutput.h"
#include "outputui/TPrtLocForm.h"
#include "widgets/Choosers.h"

#include <QPrinter>
#include <QtTest>
#include <QtWidgets>

using namespace vexa;

namespace {

// One level line at altitude 10 in the default window, in black and white.
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
        r.lineColor = Rgb(220, 20, 60);
        r.samples.Append(0, 10);
        r.samples.Append(20, 10);
        out.color = false;
    }
};

} // namespace

class TestOutput : public QObject {
    Q_OBJECT

private slots:
    void imageSizes()
    {
        const std::pair<OutputSettings, QSize> cases[] = {
            {{7.0, 3.5}, {700, 350}}, {{7.25, 3.5}, {725, 350}}, {{7.255, 3.505}, {725, 350}}};
        for (const auto& [out, pixels] : cases)
            QCOMPARE(ExportImageSize(out), pixels);
        Scene s;
        s.out = {7.0, 3.5, 2, 2, false}; // an export starts at the corner, wherever print goes
        QCOMPARE(RenderExportImage(s.plot, s.out, s.show, nullptr).size(), QSize(700, 350));
        s.out.width = 0.005;
        QVERIFY(RenderExportImage(s.plot, s.out, s.show, nullptr).isNull());
    }

    // Black text smoothed on white stays within 256 colours; an orange title
    // (titles keep their colour in black and white) does not, by a few shades.
    void formatsReadBack_data()
    {
        QTest::addColumn<int>("type");
        QTest::addColumn<QByteArray>("format");
        QTest::addColumn<ColorRef>("title");
        QTest::addColumn<int>("tolerance"); // grey levels a pixel may be off; 0: all exact
        const ColorRef orange = Rgb(200, 100, 0), black = Rgb(0, 0, 0);
        QTest::newRow("bitmap") << int(ImageType::Bitmap) << QByteArray("bmp") << orange << 0;
        QTest::newRow("jpeg") << int(ImageType::Jpeg) << QByteArray("jpeg") << orange << 60;
        QTest::newRow("gif, exact") << int(ImageType::Gif) << QByteArray("gif") << black << 0;
        QTest::newRow("gif, commonest colours")
            << int(ImageType::Gif) << QByteArray("gif") << orange << 8;
    }

    // With colour off the frame and the data line come out black on white.
    void formatsReadBack()
    {
        QFETCH(int, type);
        QFETCH(QByteArray, format);
        QFETCH(ColorRef, title);
        QFETCH(int, tolerance);
        Scene s;
        s.plot.LabelColor = title;
        QTemporaryDir dir;
        const QString path = dir.filePath("plot");
        QCOMPARE(ExportPlot(path, ImageType(type), s.plot, s.out, s.show, nullptr), QString());
        QImageReader reader(path);
        QCOMPARE(reader.format(), format); // by content, not by name
        const QImage image = reader.read();
        QCOMPARE(image.size(), QSize(700, 350));
        if (tolerance == 0)
            QCOMPARE(image.convertToFormat(QImage::Format_RGB32),
                     RenderExportImage(s.plot, s.out, s.show, nullptr));

        const PlotRect r = ComputePlotRect(ExportDpi, ExportDpi, s.out);
        const int x = (r.plotLeft + r.plotRight) / 2,
                  y = r.plotTop + MapAltitude(s.plot.view, r, 10);
        for (const QPoint& p : {QPoint(x, y), QPoint(r.plotLeft, y + 20), QPoint(x, r.plotBottom)})
            QVERIFY(qGray(image.pixel(p)) <= tolerance);
        for (const QPoint& p : {QPoint(x + 5, y + 20), QPoint(x + 5, y - 20)})
            QVERIFY(qGray(image.pixel(p)) >= 255 - tolerance);
    }

    // Thousands of colours, each as common as the next: median cut. An image
    // beyond what a GIF can hold is refused and leaves the old file.
    void gifLimits()
    {
        QImage ramp(64, 64, QImage::Format_RGB32);
        for (int i = 0; i < 64 * 64; ++i)
            ramp.setPixel(i % 64, i / 64, qRgb(i % 64 * 4, i / 64 * 4, 128));
        QBuffer gif;
        gif.open(QIODevice::WriteOnly);
        GifPalette kind = GifPalette::Exact;
        QCOMPARE(WriteGif(ramp, gif, &kind), QString());
        QCOMPARE(kind, GifPalette::Quantized);
        QCOMPARE(QImage::fromData(gif.data(), "GIF").size(), ramp.size());

        QTemporaryDir dir;
        QFile old(dir.filePath("plot.gif"));
        QVERIFY(old.open(QIODevice::WriteOnly) && old.write("old") == 3);
        old.close();
        QVERIFY(!SaveImage(QImage(70000, 1, QImage::Format_RGB32), ImageType::Gif, old.fileName())
                     .isEmpty());
        QVERIFY(old.open(QIODevice::ReadOnly));
        QCOMPARE(old.readAll(), QByteArray("old"));
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files), QStringList{"plot.gif"});
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
        QRect ink;
        for (int y = 0; y < page.height(); ++y)
            for (int x = 0; x < page.width(); ++x)
                if (qGray(page.pixel(x, y)) < 200)
                    ink |= QRect(x, y, 1, 1);
        // Within two pixels of 400 x 200 at (150, 100).
        QVERIFY(QRect(148, 98, 404, 204).contains(ink) && ink.contains(QRect(152, 102, 396, 196)));
    }

    // Width, height, left and top as typed and as taken; refused entries keep 7, 3.5, 0, 0.
    void outputChecks_data()
    {
        QTest::addColumn<bool>("print");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("taken");
        auto row = [](const char* name, bool print, const char* typed, const char* taken) {
            QTest::newRow(name) << print << QString(typed) << QString(taken);
        };
        row("placed", true, "8.5|4|1|-0.25", "8.5|4|1|-0.25");
        row("largest", false, "100|1e2|x|x", "100|100|0|0");
        row("not a number keeps", true, "abc| 5x||x", "7|5|0|0");
        row("export ignores place", false, "7|3|inf|nan", "7|3|0|0");
        row("zero", true, "0|3|0|0", "");
        row("too wide", false, "100.5|3|0|0", "");
        row("nan", false, "nan|3|0|0", "");
        row("overflow", false, "7|1e999|0|0", "");
        row("left endless", true, "7|3|inf|0", "");
    }

    void outputChecks()
    {
        QFETCH(bool, print);
        QFETCH(QString, typed);
        QFETCH(QString, taken);
        OutputSettings out;
        out.color = false;
        TPrtLocForm form(out);
        QStringList warnings;
        form.SetWarn([&](const QString& text) { warnings << text; });
        QTimer::singleShot(0, &form, [&] {
            const QStringList texts = typed.split('|');
            const char* names[] = {"WidthEdit", "HeightEdit", "LeftEdit", "TopEdit"};
            for (int i = 0; i < 4; ++i)
                form.findChild<QLineEdit*>(names[i])->setText(texts[i]);
            QCOMPARE(form.findChild<QLineEdit*>("LeftEdit")->isEnabled(), print);
            form.findChild<QCheckBox*>("ColorChk")->setChecked(true);
            form.accept();
            if (form.isVisible()) // refused: still open
                form.reject();
        });
        const bool accepted =
            (print ? form.ExecForPrint() : form.ExecForExport()) == QDialog::Accepted;
        QCOMPARE(accepted, !taken.isEmpty());
        QCOMPARE(warnings.size(), accepted ? 0 : 1);
        QCOMPARE(QString::asprintf("%g|%g|%g|%g", out.width, out.height, out.left, out.top),
                 accepted ? taken : "7|3.5|0|0");
        QCOMPARE(out.color, accepted);
        QVERIFY(out.colorBox); // the box stays as left, either way
    }

    // A name typed without extension takes the one of the chosen filter.
    void exportSuffixFollowsFilter_data()
    {
        QTest::addColumn<QList<int>>("filters"); // as opened, as chosen
        QTest::addColumn<QStringList>("names");  // as typed, as taken
        QTest::newRow("as opened") << QList<int>{1, 1} << QStringList{"plot", "plot.jpg"};
        QTest::newRow("changed") << QList<int>{0, 2} << QStringList{"plot", "plot.gif"};
        QTest::newRow("typed extension kept") << QList<int>{2, 0} << QStringList{"a.png", "a.png"};
    }

    void exportSuffixFollowsFilter()
    {
        QFETCH(QList<int>, filters);
        QFETCH(QStringList, names);
        QTemporaryDir dir;
        FileDialogSetup setup;
        setup.filter = "Bitmap (*.bmp);;JPEG (*.jpg);;GIF (*.gif)";
        setup.filterIndex = filters[0];
        const int chosen = filters[1];
        setup.file = dir.filePath("x");
        QTimer::singleShot(0, [&] {
            auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
            auto* types = dialog->findChild<QComboBox*>("fileTypeCombo");
            while (types->currentIndex() != chosen) // picked with the keyboard, as a user would
                QTest::keyClick(types, types->currentIndex() < chosen ? Qt::Key_Down : Qt::Key_Up);
            dialog->findChild<QLineEdit*>("fileNameEdit")->setText(names[0]);
            QMetaObject::invokeMethod(dialog, "accept");
        });
        const SaveChoice choice = DialogFileChooser().SaveFileAndFilter(nullptr, setup);
        QCOMPARE(choice.file, dir.filePath(names[1]));
        QCOMPARE(choice.filterIndex, chosen);
    }
};

QTEST_MAIN(TestOutput)
#include "tst_output.moc"
