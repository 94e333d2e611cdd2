// The "Output" dialog's checks, and the export file dialog's extension.
#include "outputui/TPrtLocForm.h"
#include "widgets/Choosers.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QFileDialog>
#include <QLineEdit>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>

using namespace vexa;

class TestOutputUi : public QObject {
    Q_OBJECT

private slots:
    void outputChecks_data()
    {
        QTest::addColumn<bool>("print");
        QTest::addColumn<QStringList>("texts"); // width, height, left, top
        QTest::addColumn<bool>("accepted");
        QTest::addColumn<QList<double>>("result"); // width, height, left, top
        const QList<double> kept{7, 3.5, 0, 0};
        QTest::newRow("placed") << true << QStringList{"8.5", "4", "1", "-0.25"} << true
                                << QList<double>{8.5, 4, 1, -0.25};
        QTest::newRow("largest") << false << QStringList{"100", "1e2", "x", "x"} << true
                                 << QList<double>{100, 100, 0, 0};
        QTest::newRow("not a number keeps")
            << true << QStringList{"abc", " 5x", "", "x"} << true << QList<double>{7, 5, 0, 0};
        QTest::newRow("zero") << true << QStringList{"0", "3", "0", "0"} << false << kept;
        QTest::newRow("negative") << false << QStringList{"7", "-1", "0", "0"} << false << kept;
        QTest::newRow("too wide") << false << QStringList{"100.5", "3", "0", "0"} << false << kept;
        QTest::newRow("nan") << false << QStringList{"nan", "3", "0", "0"} << false << kept;
        QTest::newRow("overflow") << false << QStringList{"7", "1e999", "0", "0"} << false << kept;
        QTest::newRow("left endless") << true << QStringList{"7", "3", "inf", "0"} << false << kept;
        QTest::newRow("export ignores place")
            << false << QStringList{"7", "3", "inf", "nan"} << true << QList<double>{7, 3, 0, 0};
    }

    void outputChecks()
    {
        QFETCH(bool, print);
        QFETCH(QStringList, texts);
        QFETCH(bool, accepted);
        QFETCH(QList<double>, result);
        OutputSettings out;
        out.color = false;
        TPrtLocForm form(out);
        QStringList warnings;
        form.SetWarn([&](const QString& text) { warnings << text; });
        QTimer::singleShot(0, &form, [&] {
            const char* names[] = {"WidthEdit", "HeightEdit", "LeftEdit", "TopEdit"};
            for (int i = 0; i < 4; ++i)
                form.findChild<QLineEdit*>(names[i])->setText(texts[i]);
            QCOMPARE(form.findChild<QLineEdit*>("LeftEdit")->isEnabled(), print);
            form.findChild<QCheckBox*>("ColorChk")->setChecked(true);
            form.accept();
            if (form.isVisible()) // refused: still open
                form.reject();
        });
        const int code = print ? form.ExecForPrint() : form.ExecForExport();
        QCOMPARE(code == QDialog::Accepted, accepted);
        QCOMPARE(warnings.size(), accepted ? 0 : 1);
        QCOMPARE((QList<double>{out.width, out.height, out.left, out.top}), result);
        QCOMPARE(out.color, accepted);
        QVERIFY(out.colorBox); // the box stays as left, either way
    }

    // A name typed without extension takes the one of the chosen filter.
    void exportSuffixFollowsFilter_data()
    {
        QTest::addColumn<int>("first");
        QTest::addColumn<int>("chosen");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("file");
        QTest::newRow("as opened") << 1 << 1 << "plot"
                                   << "plot.jpg";
        QTest::newRow("changed") << 0 << 2 << "plot"
                                 << "plot.gif";
        QTest::newRow("typed extension kept") << 2 << 0 << "plot.png"
                                              << "plot.png";
    }

    void exportSuffixFollowsFilter()
    {
        QFETCH(int, first);
        QFETCH(int, chosen);
        QFETCH(QString, typed);
        QFETCH(QString, file);
        QTemporaryDir dir;
        FileDialogSetup setup;
        setup.filter = "Bitmap (*.bmp);;JPEG (*.jpg);;GIF (*.gif)";
        setup.filterIndex = first;
        setup.file = dir.filePath("x");
        QTimer::singleShot(0, [&] {
            auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
            QVERIFY(dialog);
            auto* types = dialog->findChild<QComboBox*>("fileTypeCombo");
            while (types->currentIndex() != chosen) // picked with the keyboard, as a user would
                QTest::keyClick(types, types->currentIndex() < chosen ? Qt::Key_Down : Qt::Key_Up);
            dialog->findChild<QLineEdit*>("fileNameEdit")->setText(typed);
            QMetaObject::invokeMethod(dialog, "accept");
        });
        DialogFileChooser chooser;
        const SaveChoice choice = chooser.SaveFileAndFilter(nullptr, setup);
        QCOMPARE(choice.file, dir.filePath(file));
        QCOMPARE(choice.filterIndex, chosen);
    }
};

QTEST_MAIN(TestOutputUi)
#include "tst_outputui.moc"
