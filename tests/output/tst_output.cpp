// Exported images read back by decoders other than their writers, the plot
// placed on a page, and the "Output" dialog.
#include "TestData.h"
#include "output/ExportFormats.h"
#include "output/PlotOutput.h"
#include "outputui/TPrtLocForm.h"

#include <QtTest>
#include <QtWidgets>

using namespace vexa;

namespace {

// A level line in the default window, in black and white.
struct Scene {
    DataSetStore store;
    PlotRecord plot;
    OutputSettings out;
    ShowFlags show;

    Scene()
    {
        plot.store = &store;
        DataSetRecord& r = store.NewDataSet();
        r.samples.Append(0, 10);
        r.samples.Append(20, 10);
        out.color = false;
    }
    // The plot printed on a white page of w x h pixels at 100 dpi.
    QImage Page(int w, int h) const
    {
        QImage page(w, h, QImage::Format_RGB32);
        page.setDotsPerMeterX(3937);
        page.setDotsPerMeterY(3937);
        page.fill(Qt::white);
        return PrintPlot(page, plot, out, show, nullptr).isEmpty() ? page : QImage();
    }
};

} // namespace

class TestOutput : public QObject {
    Q_OBJECT

private slots:
    // Sizes truncate to whole pixels. An export starts at the corner whatever
    // the place; a page puts the plot at it.
    void sizeAndPlace()
    {
        QCOMPARE(ExportImageSize({7.259, 3.5}), QSize(725, 350));
        Scene s;
        const QImage corner = s.Page(700, 350);
        s.out.left = 1.0;
        s.out.top = 0.5;
        QCOMPARE(RenderExportImage(s.plot, s.out, s.show, nullptr), corner);
        QCOMPARE(s.Page(800, 400).copy(100, 50, 700, 350), corner);
    }

    // Each format read back by content, within what it may lose.
    void formatsReadBack_data() { vexa::test::AddRows("output/read-back.txt", " | "); }

    void formatsReadBack()
    {
        QFETCH(QStringList, f); // format, title colour, grey levels a pixel may be off
        const QByteArray format = f[0].toLatin1();
        const auto type =
            ImageType(QByteArrayList{"bmp", "jpeg", "gif", "png"}.indexOf(format) + 1);
        Scene s;
        s.plot.LabelColor = f[1] == "black" ? Rgb(0, 0, 0) : Rgb(200, 100, 0);
        QTemporaryDir dir;
        const QString path = dir.filePath("plot");
        QCOMPARE(ExportPlot(path, type, s.plot, s.out, s.show, nullptr), QString());
        QImageReader reader(path);
        QCOMPARE(reader.format(), format); // by content, not by name
        const QImage got = reader.read();
        const QImage want = RenderExportImage(s.plot, s.out, s.show, nullptr);
        int worst = 0;
        for (int y = 0; y < want.height(); ++y)
            for (int x = 0; x < want.width(); ++x)
                worst = std::max(worst, std::abs(qGray(got.pixel(x, y)) - qGray(want.pixel(x, y))));
        QVERIFY2(worst <= f[2].toInt(), qPrintable(QString::number(worst)));
    }

    // What the user typed decides the format when it names one of ours.
    void exportNames_data() { vexa::test::AddRows("output/export-names.txt", " | "); }
    void exportNames()
    {
        QFETCH(QStringList, f); // typed, filter, written, format
        QTemporaryDir dir;
        const ExportTarget target = ExportTargetFor(dir.filePath(f[0]), f[1].toInt());
        QCOMPARE(target.path, dir.filePath(f[2]));
        Scene s;
        QCOMPARE(ExportPlot(target.path, target.type, s.plot, s.out, s.show, nullptr), QString());
        QImageReader reader(target.path);
        reader.setDecideFormatFromContent(true);
        QCOMPARE(reader.format(), f[3].toLatin1());
    }

    // Thousands of colours, each as common as the next: median cut. An image
    // beyond what a GIF can hold is refused and leaves the old file.
    void gifLimits()
    {
        QImage ramp(64, 64, QImage::Format_RGB32);
        for (int i = 0; i < 64 * 64; ++i)
            ramp.setPixel(i % 64, i / 64, qRgb(i % 64 * 4, i / 64 * 4, 128));
        QTemporaryDir dir;
        const QString path = dir.filePath("plot.gif");
        QCOMPARE(SaveImage(ramp, ImageType::Gif, path), QString());
        QVERIFY(!SaveImage(QImage(70000, 1, QImage::Format_RGB32), ImageType::Gif, path).isEmpty());
        QCOMPARE(QImage(path).size(), ramp.size());
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files), QStringList{"plot.gif"});
        // Byte for byte: headers, rows padded to four bytes, a four-colour table.
        const QImage tiny(vexa::test::TestDataPath("output/tiny.bmp"));
        for (const auto& [type, name] : {std::pair{ImageType::Bitmap, "output/tiny.bmp"},
                                         std::pair{ImageType::Gif, "output/tiny.gif"}}) {
            QCOMPARE(SaveImage(tiny, type, path), QString());
            QCOMPARE(vexa::test::ReadAll(path), vexa::test::TestData(name));
        }
    }

    void outputChecks_data() { vexa::test::AddRows("output/entries.txt", " | "); }

    void outputChecks()
    {
        QFETCH(QStringList, f); // print or export, typed, taken
        OutputSettings out;
        out.color = false;
        TPrtLocForm form(out);
        QStringList warnings;
        form.SetWarn([&](const QString& text) { warnings << text; });
        QTimer::singleShot(0, &form, [&] {
            int i = 0;
            for (const char* name : {"WidthEdit", "HeightEdit", "LeftEdit", "TopEdit"})
                form.findChild<QLineEdit*>(name)->setText(f[1].split(',')[i++]);
            form.findChild<QCheckBox*>("ColorChk")->setChecked(true);
            form.accept();
            if (form.isVisible()) // refused: still open
                form.reject();
        });
        const bool accepted =
            (f[0] == "print" ? form.ExecForPrint() : form.ExecForExport()) == QDialog::Accepted;
        QCOMPARE(warnings.size(), accepted ? 0 : 1);
        QCOMPARE(QString::asprintf("%g,%g,%g,%g", out.width, out.height, out.left, out.top),
                 accepted ? f[2].trimmed() : "7,3.5,0,0");
        QCOMPARE(out.color, accepted);
        QVERIFY(out.colorBox); // the box stays as left, either way
    }
};

QTEST_MAIN(TestOutput)
#include "tst_output.moc"
