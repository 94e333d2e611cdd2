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
#include <QFile>
#include <QImageReader>
#include <QLineEdit>
#include <QPainter>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QSpinBox>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

using namespace vexa;
using vexa::test::FakeSerialDevice;

namespace {

using Registers = QMap<QByteArray, int>;

const Registers Module{{"SR", 15}, {"SI", 100}, {"SA", 20}, {"PA", 15}, {"ST", 10}, {"PT", 60},
                       {"UA", 1},  {"AS", 2},   {"AP", 1},  {"AZ", 3},  {"RT", 1},  {"RV", 0}};

// A module as the fake line plays it.
void PlayModule(FakeSerialDevice& line, const Registers& registers)
{
    for (auto it = registers.begin(); it != registers.end(); ++it)
        line.ReplyTo(it.key() + "\r", it.key() + "\r\n" + QByteArray::number(it.value()) + "\r\n");
    // Writes, commits and erases get an acknowledgement line.
    line.OnWrite([](FakeSerialDevice& device, const QByteArray& stream) {
        if (!stream.endsWith('\r'))
            return;
        const QByteArray command = stream.chopped(1).split('\r').last();
        if ((command.contains('=') && !command.startsWith("DL=")) || command == "CW" ||
            command == "CR")
            device.Queue(command + "\r\n");
    });
    // Identity, set count and the sets, CR and LF written as \r and \n; set 3 has no header.
    const auto bytes = [](QByteArray t) { return t.replace("\\r", "\r").replace("\\n", "\n"); };
    for (const QByteArray& reply : vexa::test::TestData("module-replies.txt").split('\n'))
        if (const qsizetype tab = reply.indexOf('\t'); tab > 0)
            line.ReplyTo(bytes(reply.left(tab)), bytes(reply.mid(tab + 1)));
}

struct Rig : vexa::test::MainFormRig {
    explicit Rig(const Registers& registers = Module, const QString& programDir = {})
        : MainFormRig({{"ttyUSB0", "USB Serial", "USB"}}, programDir)
    {
        form->show();
        PlayModule(*line, registers);
    }
    QString info() const { return find<QPlainTextEdit>("InfoText")->toPlainText(); }
    QString page() const { return find<QTabWidget>("PageControl1")->currentWidget()->objectName(); }
    QString edit(const char* name) const { return find<QLineEdit>(name)->text(); }
    void connect()
    {
        click("ConnectBtn");
        line->ClearWrites();
    }
    // Runs a modal dialog of the window, doing `inside` once it is up.
    template <typename F> void modal(const char* button, const char* dialog, F inside)
    {
        auto* d = find<QDialog>(dialog);
        QTimer::singleShot(0, d, [d, inside] { inside(d); });
        click(button);
    }
};

} // namespace

class TestMainFormModule : public QObject {
    Q_OBJECT

private slots:
    void connectReadsTheConfiguration()
    {
        Rig r;
        r.click("ConnectBtn");
        QCOMPARE(r.line->OpenedPath(), QString("/dev/ttyUSB0"));
        QCOMPARE(r.line->Written(), QByteArray("SR\rSI\rSA\rPA\rST\rPT\rUA\rAS\rAP\rAZ\rRT\rRV\r"));
        QCOMPARE(r.text("ConnectStatusDisp"), QString("Connected"));
        QCOMPARE(r.info(), QString("Reading Configuration...\nConfiguration loaded."));
        QCOMPARE(r.edit("AutoStopSecEdit"), QString("60"));
        QCOMPARE(r.text("Msg1"), QString("Approximate Record Time: 13 hours 20 min 00.000 sec"));

        // Disconnect, then connect again: the configuration is read again.
        r.click("ConnectBtn");
        QCOMPARE(r.text("ConnectStatusDisp"), QString("Not Connected"));
        QVERIFY(!r.line->IsOpen());
        r.line->ClearWrites();
        r.click("ConnectBtn");
        QVERIFY(r.line->Written().startsWith("SR\rSI\r"));
    }

    // Panels as h:m:s.ms after connecting and stepping the milliseconds up.
    void intervalPanels_data()
    {
        QTest::addColumn<int>("sr");
        QTest::addColumn<int>("si");
        QTest::addColumn<int>("steps");
        QTest::addColumn<QString>("shown");
        QTest::newRow("1.5 s") << 15 << 100 << 0 << "0:00:01.500";
        QTest::newRow("under 100 ms") << 1 << 50 << 0 << "0:00:00.050";
        QTest::newRow("under 10 ms") << 1 << 5 << 0 << "0:00:00.005";
        QTest::newRow("over an hour is an hour") << 61 << 60000 << 0 << "1:00:00.000";
        QTest::newRow("SI 25 up to 975") << 36 << 25 << 5 << "0:00:00.975";
        QTest::newRow("SI 50 stays at 950") << 19 << 50 << 5 << "0:00:00.950";
    }
    void intervalPanels()
    {
        QFETCH(int, sr);
        QFETCH(int, si);
        QFETCH(int, steps);
        Registers registers = Module;
        registers["SR"] = sr;
        registers["SI"] = si;
        Rig r(registers);
        r.click("ConnectBtn");
        for (int i = 0; i < steps; ++i)
            r.find<QSpinBox>("mSecSpin")->stepUp();
        QTEST(QString("%1:%2:%3.%4")
                  .arg(r.text("HourPanel"), r.text("MinutePanel"), r.text("SecondPanel"),
                       r.text("mSecPanel")),
              "shown");
    }

    void connectFailureSaysWhy()
    {
        Rig r;
        r.line->FailOpen("Permission denied");
        r.click("ConnectBtn");
        QCOMPARE(r.prompts.warned,
                 QStringList({"Error: Unable to open Serial Port\nPermission denied"}));
        QCOMPARE(r.text("ConnectStatusDisp"), QString("Not Connected"));
    }

    void spinnersChangeTheIntervalWritten()
    {
        Rig r;
        r.connect();
        auto* ms = r.find<QSpinBox>("mSecSpin");
        for (int i = 0; i < 7; ++i)
            ms->stepUp();
        QCOMPARE(r.text("mSecPanel"), QString("900"));
        r.find<QSpinBox>("SecSpin")->stepDown();
        QCOMPARE(r.text("SecondPanel"), QString("00"));
        QCOMPARE(r.text("Msg1"), QString("Approximate Record Time: 08 hours 00 min 00.000 sec"));
        r.find<QLineEdit>("AutoStartSecEdit")->setText("65536");
        r.click("WriteCfgBtn");
        QCOMPARE(r.line->Written(), QByteArray("SR=9\rSI=100\rSA=20\rPA=15\rST=65535\rPT=60\r"
                                               "UA=1\rAS=2\rAP=1\rAZ=3\rRT=1\rRV=0\rCW\r"));
        QCOMPARE(r.edit("AutoStartSecEdit"), QString("65535"));
    }

    // A set chosen from the list or typed; text that names no item of the
    // list selects nothing, and typing adds no item.
    void infoThenErase_data()
    {
        QTest::addColumn<QString>("typed"); // empty: item chosen from the list
        QTest::addColumn<int>("item");
        QTest::addColumn<bool>("yes");
        QTest::addColumn<QByteArray>("sent");
        QTest::addColumn<int>("itemsAfter");
        QTest::newRow("set 2") << "" << 1 << true << QByteArray("ES=0\rSV\rNS\r") << 4;
        QTest::newRow("all, answered No") << "" << 3 << false << QByteArray() << 4;
        QTest::newRow("all, answered Yes") << "" << 3 << true << QByteArray("EA=1\r") << 0;
        QTest::newRow("3 typed") << "3" << 0 << true << QByteArray("ES=1\rSV\rNS\r") << 4;
        QTest::newRow("7 typed") << "7" << 0 << true << QByteArray() << 4;
    }
    void infoThenErase()
    {
        QFETCH(QString, typed);
        QFETCH(int, item);
        QFETCH(bool, yes);
        QFETCH(QByteArray, sent);
        Rig r;
        r.connect();
        r.click("DLInfoBtn");
        QVERIFY(r.info().endsWith("Memory contains 3 data sets."));
        QCOMPARE(r.edit("FirmwareVersionDisp"), QString("1.07"));
        auto* sets = r.find<QComboBox>("SetList");
        QCOMPARE(sets->currentText(), QString("1"));
        r.line->ClearWrites();
        sets->setCurrentIndex(item);
        if (!typed.isEmpty()) {
            sets->lineEdit()->selectAll();
            QTest::keyClicks(sets->lineEdit(), typed);
            QTest::keyClick(sets->lineEdit(), Qt::Key_Return);
        }
        r.line->Queue("stray\r\n");
        r.prompts.answer = yes;
        r.click("EraseDataBtn");
        QCOMPARE(r.prompts.asked.size(), item == 3 ? 1 : 0);
        QCOMPARE(r.prompts.warned.size(), sent.isEmpty() && yes ? 1 : 0);
        QCOMPARE(r.line->Written(), sent);
        QTEST(sets->count(), "itemsAfter");
    }

    // The waits between the commands, measured on the virtual clock.
    void resetCalibrateAndDefaults_data()
    {
        QTest::addColumn<QString>("button");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<bool>("yes");
        QTest::addColumn<QStringList>("timeline");
        QTest::newRow("calibrate")
            << "CalBtn"
            << "1250" << true << QStringList{"CalClr%0D@0", "CalSet%201250%0A@1500", "SR%0D@1720"};
        QTest::newRow("calibrate without a number") << "CalBtn"
                                                    << "sea level" << true << QStringList{};
        QTest::newRow("defaults") << "BitBtn1"
                                  << "" << true << QStringList{"CR%0D@0", "SR%0D@3020"};
        QTest::newRow("defaults, answered No") << "BitBtn1"
                                               << "" << false << QStringList{};
    }
    void resetCalibrateAndDefaults()
    {
        QFETCH(QString, button);
        QFETCH(QString, typed);
        QFETCH(bool, yes);
        QFETCH(QStringList, timeline);
        Rig r;
        r.connect();
        r.find<QLineEdit>("AltCalEdit")->setText(typed);
        r.prompts.answer = yes;
        r.click(qPrintable(button));
        QStringList t;
        for (const auto& w : r.line->Writes())
            t << QString::fromLatin1(w.bytes.toPercentEncoding()) + "@" +
                     QString::number(w.atMs - r.line->Writes().front().atMs);
        QCOMPARE(t.mid(0, timeline.size()), timeline);
        QCOMPARE(t.isEmpty(), timeline.isEmpty());
    }

    void notConnectedResponses_data()
    {
        QTest::addColumn<QString>("button");
        QTest::addColumn<QString>("page");
        for (const char* b : {"DLInfoBtn", "EraseDataBtn", "DLDataBtn"})
            QTest::newRow(b) << b << "DataPage";
        for (const char* b :
             {"ResetModuleBtn", "CalBtn", "ReadCfgBtn", "WriteCfgBtn", "BitBtn1", "StartBtn"})
            QTest::newRow(b) << b << "ConnectPage";
    }
    void notConnectedResponses()
    {
        QFETCH(QString, button);
        QFETCH(QString, page);
        Rig r;
        r.find<QTabWidget>("PageControl1")->setCurrentWidget(r.find("DataPage"));
        r.find<QPlainTextEdit>("InfoText")->setPlainText("old");
        r.click(qPrintable(button)); // hidden buttons still act when clicked
        QCOMPARE(r.info(), QString("Not Connected"));
        QCOMPARE(r.page(), page);
        QVERIFY(r.line->Written().isEmpty());
        QVERIFY(r.prompts.asked.isEmpty());
    }

    void simulateTargetNeedsNoLine()
    {
        Rig r;
        r.find<QAbstractButton>("SimulateChk")->setChecked(true);
        r.click("DLInfoBtn");
        QVERIFY(r.info().endsWith("Memory contains 0 data sets."));
        QCOMPARE(r.find<QComboBox>("SetList")->itemText(0), QString("All"));
    }

    void downloadSets_data()
    {
        QTest::addColumn<int>("item");
        QTest::addColumn<QByteArray>("sent");
        QTest::addColumn<QString>("infoEnd");
        QTest::addColumn<QString>("active");
        const QString one = "Set 1: Downloaded 5 data samples.";
        QTest::newRow("one set") << 0 << QByteArray("DL=0\r") << "\n\n" + one << "Data001";
        QTest::newRow("all sets") << 3 << QByteArray("DL=0\rDL=1\rDL=2\r")
                                  << one + "\n\nSet 2: Downloaded 3 data samples.\n\n"
                                           "Set 3: Corrupted data set."
                                  << "Data002";
        QTest::newRow("nothing selected") << -1 << QByteArray() << ""
                                          << "Data000";
    }
    void downloadSets()
    {
        QFETCH(int, item);
        QFETCH(QByteArray, sent);
        QFETCH(QString, infoEnd);
        QFETCH(QString, active);
        Rig r;
        r.connect();
        if (item >= 0)
            r.click("DLInfoBtn");
        r.line->ClearWrites();
        r.find<QComboBox>("SetList")->setCurrentIndex(item);
        r.click("DLDataBtn");
        QCOMPARE(r.line->Written(), sent);
        QVERIFY2(r.info().endsWith(infoEnd), qPrintable(r.info()));
        QCOMPARE(r.find<QComboBox>("ActiveSetCombo")->currentText(), active);
        QCOMPARE(r.prompts.warned.size(), item < 0 ? 1 : 0);
        QVERIFY(r.find<QProgressBar>("ProgressBar1")->isHidden());
        QVERIFY(r.find("DataPage")->isEnabled());
    }

    // The active set is set 0 at start-up: saved as it is, byte for byte.
    void saveActiveSet()
    {
        Rig r;
        QTemporaryDir dir;
        r.files.answers = {dir.filePath("set.csv")};
        r.modal("SaveBtn", "TSaveSel", [](QDialog* d) { d->accept(); });
        QVERIFY2(r.prompts.warned.isEmpty(), qPrintable(r.prompts.warned.join('\n')));
        QFile set(dir.filePath("set.csv"));
        QVERIFY(set.open(QIODevice::ReadOnly));
        QCOMPARE(set.readAll(), vexa::test::TestData("fresh-set.csv"));
        QVERIFY(r.files.asked[0].file.startsWith("Alt_"));

        // A folder that does not exist: the user is told.
        r.files.answers = {dir.filePath("missing/flight.csv")};
        r.modal("SaveBtn", "TSaveSel", [](QDialog* d) { d->accept(); });
        QVERIFY(r.prompts.warned.value(0).startsWith("Error: Unable to open "));
    }

    // Fix Offset in the properties dialog moves the altitudes; the window's
    // altitude axis is fitted to them again.
    void fixOffsetRefitsTheAltitudeAxis()
    {
        Rig r;
        r.files.answers = {vexa::test::TestDataPath("low-set.csv")};
        r.click("LoadBtn");
        r.click("PanUpBtn"); // the window no longer starts at 0
        r.modal("DataPropBtn", "TDataPropForm", [](QDialog* d) {
            d->findChild<QPushButton*>("DelSetBtn")->click(); // the start-up set
            d->findChild<QPushButton*>("OffsetBtn")->click();
            d->accept();
        });
        QStringList window;
        r.modal("ScaleBtn", "TScaleForm", [&window](QDialog* d) {
            window << d->findChild<QLineEdit*>("YMinEdit")->text()
                   << d->findChild<QLineEdit*>("YMaxEdit")->text();
            d->reject();
        });
        QCOMPARE(window, QStringList({"0", "500"}));
    }

    // Keys reach the plot before any control, only on the Recorded Data page.
    void plotKeysComeFirst()
    {
        Rig r;
        auto* pages = r.find<QTabWidget>("PageControl1");
        pages->setCurrentWidget(r.find("DataPage"));
        auto* box = r.find("PlotBox");
        auto* combo = r.find<QComboBox>("ActiveSetCombo");
        combo->setFocus();
        const QImage before = box->grab().toImage();
        QTest::keyClick(combo, Qt::Key_Right, Qt::ShiftModifier);
        QVERIFY(box->grab().toImage() != before);
        QTest::keyClick(combo, Qt::Key_Home);
        QCOMPARE(box->grab().toImage(), before);

        pages->setCurrentWidget(r.find("ConnectPage"));
        auto* edit = r.find<QPlainTextEdit>("InfoText");
        edit->setPlainText("ab");
        edit->setFocus();
        QTest::keyClick(edit, Qt::Key_Home);
        QTest::keyClick(edit, Qt::Key_Right, Qt::ShiftModifier);
        QCOMPARE(edit->textCursor().selectedText(), QString("a"));
    }

    // The manual found is opened; a missing one or a failing opener is told.
    void manualOpensOrSaysWhy_data()
    {
        QTest::addColumn<bool>("installed");
        QTest::addColumn<bool>("opener");
        QTest::addColumn<QString>("warning");
        QTest::newRow("installed") << true << true << QString();
        QTest::newRow("missing") << false << true
                                 << "Vexa: The manual V6R-Manual.pdf was not found";
        QTest::newRow("no viewer") << true << false << "Vexa: Unable to open %1!";
    }
    void manualOpensOrSaysWhy()
    {
        QFETCH(bool, installed);
        QFETCH(bool, opener);
        QFETCH(QString, warning);
        QTemporaryDir root;
        const QString manual = root.filePath(QStringLiteral("share/vexa/V6R-Manual.pdf"));
        QFile file(manual);
        QVERIFY(!installed ||
                (QDir(root.path()).mkpath("share/vexa") && file.open(QFile::WriteOnly)));
        Rig r(Module, root.filePath(QStringLiteral("bin")));
        r.shell.result = opener;
        r.click("ManualBtn");
        QCOMPARE(r.shell.opened,
                 installed ? QList<QUrl>{QUrl::fromLocalFile(manual)} : QList<QUrl>{});
        QCOMPARE(r.prompts.warned.size(), warning.isEmpty() ? 0 : 1);
        if (!warning.isEmpty())
            QVERIFY2(r.prompts.warned[0].startsWith(warning.replace("%1", manual)),
                     qPrintable(r.prompts.warned[0]));
    }

    // Both draw their own copy of the plot; the screen's stays as it was.
    void exportAndPrint()
    {
        Rig r;
        QTemporaryDir dir;
        r.find<QTabWidget>("PageControl1")->setCurrentWidget(r.find("DataPage"));
        const QImage screen = r.find("PlotBox")->grab().toImage();
        auto output = [&r](const char* button, const QString& file) {
            r.files.answers = {file};
            QTimer::singleShot(
                0, [] { QMetaObject::invokeMethod(QApplication::activeModalWidget(), "accept"); });
            r.click(button);
        };
        output("ExportBtn", dir.filePath("plot.bmp"));
        QImageReader image(dir.filePath("plot.bmp")); // by content: the first filter's format
        QCOMPARE(image.format() + ' ' + QByteArray::number(image.size().width()), "bmp 700");
        r.printers.file = dir.filePath("page.pdf");
        output("PrtBtn", QString());
        QVERIFY(QFileInfo(r.printers.file).size() > 1000);
        QCOMPARE(r.find("PlotBox")->grab().toImage(), screen);
        QVERIFY(r.prompts.warned.isEmpty());

        const QString missing = dir.filePath("missing/plot.bmp");
        output("ExportBtn", missing);
        QCOMPARE(r.prompts.warned.size(), 1);
        QVERIFY(r.prompts.warned[0].startsWith("Error: Unable to write " + missing + "! ("));
    }

    // The plot's texts are drawn in the faces they were laid out for, each in
    // its own place. Fails without fonts-liberation2.
    void plotTextsDoNotOverlap()
    {
        Rig r;
        r.connect();
        r.click("DLInfoBtn");
        r.click("DLDataBtn");
        r.find<QTabWidget>("PageControl1")->setCurrentWidget(r.find("DataPage"));
        auto* box = r.find<TPlotBox>("PlotBox");
        vexa::test::TextRecorder page(box->width(), box->height());
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
