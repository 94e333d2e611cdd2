// The main window's handlers end to end, byte for byte against a scripted
// module in virtual time. The exchanges themselves are tested in the link
// and data libraries; here each handler once, with what the window shows.
#include "MainFormRig.h"
#include "TestData.h"
#include "TextRecorder.h"
#include "plotui/TPlotBox.h"

#include <QApplication>
#include <QComboBox>
#include <QDialog>
#include <QDir>
#include <QImageReader>
#include <QLineEdit>
#include <QPainter>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSettings>
#include <QSpinBox>
#include <QStandardPaths>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTimer>

using namespace vexa;
using namespace vexa::test;

namespace {

struct Rig : MainFormRig {
    // The module of module.txt; registers given here replace its values.
    explicit Rig(const QMap<QString, int>& registers = {}, const QString& programDir = {})
        : MainFormRig({{"ttyUSB0", "USB Serial", "USB"}}, programDir)
    {
        form->show();
        for (const QStringList& row : Table("app/module.txt"))
            if (!registers.contains(row[0].left(2)))
                line->ReplyTo(row[0].toLatin1(), row[1].toLatin1());
        for (auto it = registers.begin(); it != registers.end(); ++it)
            line->ReplyTo(it.key().toLatin1() + "\r",
                          QString("%1\r\n%2\r\n").arg(it.key()).arg(it.value()).toLatin1());
    }
    QString info() const { return find<QPlainTextEdit>("InfoText")->toPlainText(); }
    QString edit(const char* name) const { return find<QLineEdit>(name)->text(); }
    void page(const char* name) const
    {
        find<QTabWidget>("PageControl1")->setCurrentWidget(find(name));
    }
    void connect()
    {
        click("ConnectBtn");
        line->ClearWrites();
    }
    // Clicks the button and accepts the modal dialog it opens, doing `inside` first.
    void modal(const char* button, const std::function<void(QWidget*)>& inside = {})
    {
        QTimer::singleShot(0, [inside] {
            auto* d = qobject_cast<QDialog*>(QApplication::activeModalWidget());
            if (inside)
                inside(d);
            d->accept();
        });
        click(button);
    }
};

} // namespace

class TestMainFormModule : public QObject {
    Q_OBJECT

private slots:
    // A test that moved the user's settings store puts it back, even when it fails.
    void cleanup()
    {
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope,
                           QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation));
    }

    void connectAndDisconnect()
    {
        Rig r;
        r.line->FailOpen("Permission denied");
        r.click("ConnectBtn");
        QCOMPARE(r.prompts.warned,
                 QStringList({"Error: Unable to open Serial Port\nttyUSB0: Permission denied"}));
        r.line->FailOpen({});
        r.click("ConnectBtn");
        QCOMPARE(r.text("ConnectStatusDisp") + '|' + r.info(),
                 "Connected|Reading Configuration...\nConfiguration loaded.");
        r.click("ConnectBtn");
        QVERIFY(r.text("ConnectStatusDisp") == "Not Connected" && !r.line->IsOpen());
    }

    // Nothing answers: the page keeps its values and the port is let go.
    void silentPort()
    {
        MainFormRig r;
        r.form->show();
        r.click("ConnectBtn");
        QCOMPARE(r.find<QPlainTextEdit>("InfoText")->toPlainText().toLatin1(),
                 TestData("app/silent-port.txt"));
        QCOMPARE(r.text("ConnectStatusDisp") + '|' + r.find<QLineEdit>("AutoStartSecEdit")->text(),
                 QString("Not Connected|10"));
        QVERIFY(!r.line->IsOpen());
    }

    // The line's port goes away; the list follows the ports by itself and
    // chooses the lost one again when it is back.
    void portGoesAwayAndComesBack()
    {
        Rig r;
        r.connect();
        r.line->Unplug();
        QCoreApplication::processEvents();
        QVERIFY(r.text("ConnectStatusDisp") == "Not Connected" && !r.line->IsOpen());
        QVERIFY2(r.info().contains("\nThe port ttyUSB0 went away\n"), qPrintable(r.info()));
        for (const QStringList& row : Table("app/port-watch.txt")) {
            r.ports.ports.clear();
            for (const QString& name : row[1].split(' '))
                r.ports.ports.push_back({name, name, "USB"});
            QVERIFY(QMetaObject::invokeMethod(r.find<QTimer>("PortWatchTimer"), "timeout"));
            QCOMPARE(r.find<QComboBox>("CommPortBox")->currentIndex(), row[2].toInt());
        }
    }

    // The interval read, shown as h:m:s.ms, stepped with a spinner and written.
    void interval_data() { AddRows("app/interval.txt"); }
    void interval()
    {
        QFETCH(QStringList, f);
        Rig r({{"SR", f[0].toInt()}, {"SI", f[1].toInt()}});
        r.connect();
        for (int i = 0, steps = f[3].toInt(); i < std::abs(steps); ++i)
            r.find<QSpinBox>(qPrintable(f[2]))->stepBy(steps > 0 ? 1 : -1);
        QCOMPARE(QString("%1:%2:%3.%4")
                     .arg(r.text("HourPanel"), r.text("MinutePanel"), r.text("SecondPanel"),
                          r.text("mSecPanel")),
                 f[4]);
        r.find<QLineEdit>("AutoStartSecEdit")->setText("65536");
        r.click("WriteCfgBtn");
        QCOMPARE(QString::fromLatin1(r.line->Written()), f[5]);
        QCOMPARE(r.edit("AutoStartSecEdit"), QString("65535"));
    }

    // A set chosen from the list or typed; text that names no item of the
    // list selects nothing, and typing adds no item.
    void infoThenErase_data() { AddRows("app/erase.txt"); }
    void infoThenErase()
    {
        QFETCH(QStringList, f);
        Rig r;
        r.connect();
        r.click("DLInfoBtn");
        QCOMPARE(r.edit("FirmwareVersionDisp"), QString("1.07"));
        auto* sets = r.find<QComboBox>("SetList");
        r.line->ClearWrites();
        sets->setCurrentIndex(f[1].toInt());
        if (!f[0].isEmpty()) {
            sets->lineEdit()->selectAll();
            QTest::keyClicks(sets->lineEdit(), f[0]);
            QTest::keyClick(sets->lineEdit(), Qt::Key_Return);
        }
        r.line->Queue("stray\r\n");
        r.prompts.answer = f[2] == "yes";
        r.click("EraseDataBtn");
        QCOMPARE(r.prompts.asked.size(), f[1] == "3" ? 1 : 0);
        QCOMPARE(r.prompts.warned.size(), f[3].isEmpty() && r.prompts.answer ? 1 : 0);
        QCOMPARE(QString::fromLatin1(r.line->Written()), f[3]);
        QCOMPARE(sets->count(), f[4].toInt());
    }

    // The waits between the commands, measured on the virtual clock.
    void resetCalibrateAndDefaults_data() { AddRows("app/timelines.txt"); }
    void resetCalibrateAndDefaults()
    {
        QFETCH(QStringList, f);
        Rig r;
        r.connect();
        r.find<QLineEdit>("AltCalEdit")->setText(f[1]);
        r.prompts.answer = f[2] == "yes";
        r.click(qPrintable(f[0]));
        QStringList timeline;
        for (const auto& w : r.line->Writes())
            timeline << QString::fromLatin1(w.bytes) + "@" +
                            QString::number(w.atMs - r.line->Writes().front().atMs);
        QCOMPARE(timeline.mid(0, f.size() - 3), f.mid(3));
        QCOMPARE(timeline.isEmpty(), f.size() == 3);
    }

    // Hidden buttons still act when clicked.
    void notConnectedResponses()
    {
        Rig r;
        for (const QStringList& button : Table("app/not-connected.txt")) {
            r.page("DataPage");
            r.find<QPlainTextEdit>("InfoText")->setPlainText("old");
            r.click(qPrintable(button[0]));
            QCOMPARE(r.info(), QString("Not Connected"));
            QVERIFY2(r.find("DataPage")->isVisible() == (button[1] == "1"), qPrintable(button[0]));
        }
        QVERIFY(r.line->Written().isEmpty() && r.prompts.asked.isEmpty());

        // The simulated target answers without a line.
        r.find<QAbstractButton>("SimulateChk")->setChecked(true);
        r.click("DLInfoBtn");
        QVERIFY(r.info().endsWith("Memory contains 0 data sets."));
    }

    void downloadSets_data() { AddRows("app/download.txt"); }
    void downloadSets()
    {
        QFETCH(QStringList, f);
        Rig r;
        r.connect();
        if (f[0] != "-1")
            r.click("DLInfoBtn");
        r.line->ClearWrites();
        r.find<QComboBox>("SetList")->setCurrentIndex(f[0].toInt());
        r.click("DLDataBtn");
        QCOMPARE(QString::fromLatin1(r.line->Written()), f[1]);
        QVERIFY2(r.info().endsWith(f[2]), qPrintable(r.info()));
        QCOMPARE(r.find<QComboBox>("ActiveSetCombo")->currentText(), f[3]);
        QCOMPARE(r.prompts.warned.size(), f[1].isEmpty() ? 1 : 0);
        QVERIFY(r.find("ProgressBar1")->isHidden() && r.find("DataPage")->isEnabled());
    }

    // Fix Offset in the properties dialog moves the altitudes; the window's
    // altitude axis is fitted to them again.
    void fixOffsetRefitsTheAltitudeAxis()
    {
        Rig r;
        r.files.answers = {TestDataPath("files/low-set.csv")};
        r.click("LoadBtn");
        r.click("PanUpBtn"); // the window no longer starts at 0
        r.modal("DataPropBtn", [](QWidget* d) {
            d->findChild<QPushButton*>("DelSetBtn")->click(); // the start-up set
            d->findChild<QPushButton*>("OffsetBtn")->click();
        });
        QStringList window;
        r.modal("ScaleBtn", [&window](QWidget* d) {
            window << d->findChild<QLineEdit*>("YMinEdit")->text()
                   << d->findChild<QLineEdit*>("YMaxEdit")->text();
        });
        QCOMPARE(window, QStringList({"0", "500"}));
    }

    // Keys reach the plot before any control on the Recorded Data page.
    void plotKeysComeFirst()
    {
        Rig r;
        r.page("DataPage");
        auto* box = r.find("PlotBox");
        auto* combo = r.find("ActiveSetCombo");
        combo->setFocus();
        const QImage before = box->grab().toImage();
        QTest::keyClick(combo, Qt::Key_Right, Qt::ShiftModifier);
        QVERIFY(box->grab().toImage() != before);
        QTest::keyClick(combo, Qt::Key_Home);
        QCOMPARE(box->grab().toImage(), before);
    }

    // The manual found is opened; a failing opener or a missing manual is told.
    void manualOpensOrSaysWhy()
    {
        QTemporaryDir root;
        const QString manual = root.filePath("share/vexa/V6R-Manual.pdf");
        QFile file(manual);
        QVERIFY(QDir(root.path()).mkpath("share/vexa") && file.open(QFile::WriteOnly));
        Rig r({}, root.filePath("bin"));
        r.shell.result = false;
        r.click("ManualBtn");
        QCOMPARE(r.shell.opened, QList<QUrl>{QUrl::fromLocalFile(manual)});
        QVERIFY(file.remove());
        r.click("ManualBtn");
        QCOMPARE(r.prompts.warned.size(), 2);
        QCOMPARE(r.prompts.warned[0], "Vexa: Unable to open " + manual +
                                          "!\nNo PDF viewer is installed, or none is set to open "
                                          "PDF files. Install one to read the manual.");
        QVERIFY(r.prompts.warned[1].startsWith("Vexa: The manual V6R-Manual.pdf was not found"));
    }

    // The active set is set 0 at start-up: saved as it is, byte for byte.
    // Export and print draw their own copy of the plot; the screen's stays as
    // it was. A file that cannot be made is told.
    void saveExportAndPrint()
    {
        Rig r;
        QTemporaryDir dir;
        r.page("DataPage");
        const QImage screen = r.find("PlotBox")->grab().toImage();
        r.files.answers = {dir.filePath("set.csv"), dir.filePath("plot.bmp")};
        r.modal("SaveBtn");
        QCOMPARE(ReadAll(dir.filePath("set.csv")), TestData("files/fresh-set.csv"));
        r.modal("ExportBtn");
        QImageReader image(dir.filePath("plot.bmp")); // by content: the first filter's format
        QCOMPARE(image.format() + ' ' + QByteArray::number(image.size().width()), "bmp 700");
        r.printers.file = dir.filePath("page.pdf");
        r.modal("PrtBtn");
        QVERIFY(QFileInfo(r.printers.file).size() > 1000);
        QCOMPARE(r.find("PlotBox")->grab().toImage(), screen);

        r.files.answers = {dir.filePath("missing/set.csv"), dir.filePath("missing/plot.bmp")};
        r.modal("SaveBtn");
        r.modal("ExportBtn");
        QCOMPARE(r.prompts.warned.size(), 2);
        QVERIFY(r.prompts.warned[0].startsWith("Error: Unable to open "));
        QVERIFY(r.prompts.warned[1].startsWith("Error: Unable to write " +
                                               dir.filePath("missing/plot.bmp") + "! ("));

        // The type exported last (a GIF in these settings) is offered first, and written.
        const auto fmt = QSettings::NativeFormat;
        QSettings::setPath(fmt, QSettings::UserScope, dir.path());
        QVERIFY(QDir(dir.path()).mkdir("DorvelSystems"));
        QFile::copy(TestDataPath("settings/full.ini"), dir.filePath("DorvelSystems/Vexa6.conf"));
        Rig gif;
        gif.files.answers = {dir.filePath("plot")};
        gif.modal("ExportBtn");
        QCOMPARE(QImageReader(dir.filePath("plot.gif")).format(), "gif");
    }

    // The plot's texts are drawn in the faces they were laid out for, each in
    // its own place. Fails without fonts-liberation2.
    void plotTextsDoNotOverlap()
    {
        Rig r;
        r.connect();
        r.click("DLInfoBtn");
        r.click("DLDataBtn");
        r.page("DataPage");
        auto* box = r.find<TPlotBox>("PlotBox");
        TextRecorder page(box->width(), box->height());
        QPainter painter(&page);
        box->Draw(painter);
        QVERIFY(page.texts.size() > 20);
        for (const auto& t : page.texts) {
            QVERIFY2(QStringList({"Arial", "Liberation Sans", "MS Sans Serif"}).contains(t.family),
                     qPrintable(t.text + " in " + t.family));
            for (const auto& u : page.texts)
                QVERIFY2(&t == &u || !t.box.intersects(u.box.adjusted(1, 1, -1, -1)),
                         qPrintable(t.text + " | " + u.text));
        }
    }
};

QTEST_MAIN(TestMainFormModule)
#include "tst_mainform_module.moc"
