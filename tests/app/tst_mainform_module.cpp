// The main window's module actions, byte for byte against a scripted
// module in virtual time.
#include "FakeSerialDevice.h"
#include "RecordingShell.h"
#include "ScriptedPrinter.h"
#include "ScriptedPrompter.h"
#include "TextRecorder.h"
#include "VirtualClock.h"
#include "app/TMainForm.h"
#include "plotui/TPlotBox.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDialog>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QImageReader>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QPainter>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

using namespace vexa;
using vexa::test::FakeSerialDevice;
using vexa::test::RecordingShell;
using vexa::test::ScriptedPrinter;
using vexa::test::ScriptedPrompter;
using vexa::test::VirtualClock;

namespace {

class ScriptedFiles final : public FileChooser {
public:
    QString SaveFileName(QWidget*, const FileDialogSetup& setup) override
    {
        asked << setup.name + ": " + setup.file;
        return path;
    }
    QString OpenFileName(QWidget*, const FileDialogSetup& setup) override
    {
        asked << setup.name;
        return path;
    }
    QString path;
    QStringList asked;
};

class OnePort final : public PortSource {
public:
    std::vector<PortDescription> ListPorts() const override
    {
        return {{"ttyUSB0", "USB Serial", "USB"}};
    }
};

// A module as the fake line plays it: registers, identity, sets.
void PlayModule(FakeSerialDevice& line, const QMap<QByteArray, int>& registers)
{
    for (auto it = registers.begin(); it != registers.end(); ++it)
        line.ReplyTo(it.key() + "\r", it.key() + "\r\n" + QByteArray::number(it.value()) + "\r\n");
    // Writes, commits and erases get an acknowledgement line.
    line.OnWrite([](FakeSerialDevice& device, const QByteArray& stream) {
        if (!stream.endsWith('\r'))
            return;
        const QByteArray command = stream.left(stream.size() - 1).split('\r').last();
        if ((command.contains('=') && !command.startsWith("DL=")) || command == "CW" ||
            command == "CR")
            device.Queue(command + "\r\n");
    });
    line.ReplyTo("SV\r", "SV\r\nVEXA\r\nMOD1\r\n1.07\r\n11-02-26\r\n");
    line.ReplyTo("NS\r", "NS\r\n3\r\n");
    line.ReplyTo("DL=0\r", "DL=0\r\n0,100,5,0,0\r\n10\r\n12\r\n15\r\n14\r\n11\r\n");
}

const QMap<QByteArray, int> Registers{{"SR", 15}, {"SI", 100}, {"SA", 20}, {"PA", 15},
                                      {"ST", 10}, {"PT", 60},  {"UA", 1},  {"AS", 2},
                                      {"AP", 1},  {"AZ", 3},   {"RT", 1},  {"RV", 0}};

struct Rig {
    explicit Rig(const QMap<QByteArray, int>& registers = Registers,
                 const QString& programDir = QString())
    {
        auto factory = [this]() -> std::unique_ptr<SerialDevice> {
            auto device = std::make_unique<FakeSerialDevice>(clock);
            (made++ == 0 ? line : probe) = device.get();
            return device;
        };
        MainFormDeps deps{clock, factory, ports, shell, programDir, &prompts, &files};
        deps.printers = &printers;
        form = std::make_unique<TMainForm>(deps);
        form->show();
        PlayModule(*line, registers);
    }

    template <typename T = QWidget> T* find(const char* name) const
    {
        return form->findChild<T*>(QLatin1String(name));
    }
    void click(const char* name) const { find<QPushButton>(name)->click(); }
    QString info() const { return find<QPlainTextEdit>("InfoText")->toPlainText(); }
    QString page() const
    {
        auto* pages = find<QTabWidget>("PageControl1");
        return pages->currentWidget()->objectName();
    }
    void connect()
    {
        click("ConnectBtn");
        line->ClearWrites();
    }
    // Writes after the first one, each with its time since that first write.
    QStringList timeline() const
    {
        QStringList out;
        const auto& writes = line->Writes();
        for (const auto& w : writes)
            out << QString::fromLatin1(w.bytes.toPercentEncoding()) + "@" +
                       QString::number(w.atMs - writes.front().atMs);
        return out;
    }

    VirtualClock clock;
    OnePort ports;
    RecordingShell shell;
    ScriptedPrompter prompts;
    ScriptedFiles files;
    ScriptedPrinter printers;
    FakeSerialDevice* line = nullptr;
    FakeSerialDevice* probe = nullptr;
    int made = 0;
    std::unique_ptr<TMainForm> form;
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
        QCOMPARE(r.find<QPushButton>("ConnectBtn")->text(), QString("Disconnect"));
        QCOMPARE(r.find<QLabel>("ConnectStatusDisp")->text(), QString("Connected"));
        QCOMPARE(r.info(), QString("Reading Configuration...\nConfiguration loaded."));
        QVERIFY(r.find<QRadioButton>("UnitsYards")->isChecked());
        QCOMPARE(r.find<QLabel>("AboveUnitsPanel")->text(), QString("Yards"));
        QCOMPARE(r.find<QLabel>("BelowUnitsPanel")->text(), QString("Yards"));
        QCOMPARE(r.find<QLabel>("SecondPanel")->text(), QString("01"));
        QCOMPARE(r.find<QLabel>("mSecPanel")->text(), QString("500"));
        QCOMPARE(r.find<QLineEdit>("AutoStopSecEdit")->text(), QString("60"));
        QVERIFY(r.find<QCheckBox>("TrigChk")->isChecked());
        QCOMPARE(r.find<QLabel>("Msg1")->text(),
                 QString("Approximate Record Time: 13 hours 20 min 00.000 sec"));

        // Disconnect, then connect again: the configuration is read again.
        r.click("ConnectBtn");
        QCOMPARE(r.find<QPushButton>("ConnectBtn")->text(), QString("Connect"));
        QCOMPARE(r.find<QLabel>("ConnectStatusDisp")->text(), QString("Not Connected"));
        QVERIFY(!r.line->IsOpen());
        r.line->ClearWrites();
        r.click("ConnectBtn");
        QVERIFY(r.line->Written().startsWith("SR\rSI\r"));
    }

    void connectFailureSaysWhy()
    {
        Rig r;
        r.line->FailOpen("Permission denied");
        r.click("ConnectBtn");
        QCOMPARE(r.prompts.warned,
                 QStringList({"Error: Unable to open Serial Port\nPermission denied"}));
        QCOMPARE(r.find<QPushButton>("ConnectBtn")->text(), QString("Connect"));
        QCOMPARE(r.find<QLabel>("ConnectStatusDisp")->text(), QString("Not Connected"));
    }

    void writeConfigTranscript()
    {
        Rig r;
        r.connect();
        r.find<QLineEdit>("AutoStartSecEdit")->setText("65536");
        r.click("WriteCfgBtn");
        QCOMPARE(r.line->Written(), QByteArray("SR=15\rSI=100\rSA=20\rPA=15\rST=65535\rPT=60\r"
                                               "UA=1\rAS=2\rAP=1\rAZ=3\rRT=1\rRV=0\rCW\r"));
        QCOMPARE(r.find<QLineEdit>("AutoStartSecEdit")->text(), QString("65535"));
    }

    void spinnersChangeTheIntervalWritten()
    {
        Rig r;
        r.connect();
        auto* ms = r.find<QSpinBox>("mSecSpin");
        ms->stepUp();
        QCOMPARE(r.find<QLabel>("mSecPanel")->text(), QString("600"));
        for (int i = 0; i < 6; ++i)
            ms->stepUp();
        QCOMPARE(r.find<QLabel>("mSecPanel")->text(), QString("900"));
        r.find<QSpinBox>("SecSpin")->stepDown();
        QCOMPARE(r.find<QLabel>("SecondPanel")->text(), QString("00"));
        QCOMPARE(r.find<QLabel>("Msg1")->text(),
                 QString("Approximate Record Time: 08 hours 00 min 00.000 sec"));
        r.click("WriteCfgBtn");
        QVERIFY(r.line->Written().startsWith("SR=9\r"));
        r.find<QRadioButton>("UnitsMeters")->click();
        QCOMPARE(r.find<QLabel>("AboveUnitsPanel")->text(), QString("Meters"));
    }

    void writeConfigWithoutIntervalUnitSendsNothing()
    {
        QMap<QByteArray, int> silentUnit = Registers;
        silentUnit["SI"] = 0;
        Rig r(silentUnit);
        r.connect();
        r.click("WriteCfgBtn");
        QVERIFY(r.line->Written().isEmpty());
        QCOMPARE(r.prompts.warned.size(), 1);
    }

    void downloadInfoAndErase()
    {
        Rig r;
        r.connect();
        r.click("DLInfoBtn");
        QVERIFY(r.info().endsWith("Memory contains 3 data sets."));
        auto* sets = r.find<QComboBox>("SetList");
        QCOMPARE(sets->count(), 4);
        QCOMPARE(sets->currentText(), QString("1"));
        QCOMPARE(r.find<QLineEdit>("FirmwareVersionDisp")->text(), QString("1.07"));

        r.line->ClearWrites();
        sets->setCurrentIndex(1);
        r.click("EraseDataBtn");
        QCOMPARE(r.line->Written(), QByteArray("ES=0\rSV\rNS\r"));
        QVERIFY(r.prompts.asked.isEmpty());
    }

    void eraseAll_data()
    {
        QTest::addColumn<bool>("yes");
        QTest::addColumn<QByteArray>("sent");
        QTest::newRow("answered No") << false << QByteArray();
        QTest::newRow("answered Yes") << true << QByteArray("EA=1\r");
    }

    void eraseAll()
    {
        QFETCH(bool, yes);
        QFETCH(QByteArray, sent);
        Rig r;
        r.connect();
        r.click("DLInfoBtn");
        r.line->ClearWrites();
        r.find<QComboBox>("SetList")->setCurrentIndex(3);
        r.line->Queue("stray\r\n");
        r.prompts.answer = yes;
        r.click("EraseDataBtn");
        QCOMPARE(r.prompts.asked,
                 QStringList({"Reset Config Defaults: This will erase all altitude "
                              "data in the device.  Are you sure?"}));
        QCOMPARE(r.line->Written(), sent);
        QCOMPARE(r.line->Pending(), 0);
        QCOMPARE(r.find<QComboBox>("SetList")->count(), yes ? 0 : 4);
    }

    void resetAndCalibrateTimelines()
    {
        Rig r;
        r.connect();
        r.click("ResetModuleBtn");
        QStringList t = r.timeline();
        // The wait, then the configuration read; its drain's empty read takes 20 ms.
        QCOMPARE(t.mid(0, 2), QStringList({"%2A@0", "SR%0D@4020"}));

        r.line->ClearWrites();
        r.find<QLineEdit>("AltCalEdit")->setText("1250");
        r.click("CalBtn");
        t = r.timeline();
        QCOMPARE(t.mid(0, 3), QStringList({"CalClr%0D@0", "CalSet%201250%0A@1500", "SR%0D@1720"}));

        r.line->ClearWrites();
        r.find<QLineEdit>("AltCalEdit")->setText("sea level");
        r.click("CalBtn");
        QVERIFY(r.line->Written().isEmpty());
        QCOMPARE(r.prompts.warned.size(), 1);
    }

    void resetDefaults_data()
    {
        QTest::addColumn<bool>("yes");
        QTest::newRow("No sends nothing") << false;
        QTest::newRow("Yes restores and reads again") << true;
    }

    void resetDefaults()
    {
        QFETCH(bool, yes);
        Rig r;
        r.connect();
        r.prompts.answer = yes;
        r.click("BitBtn1");
        if (!yes) {
            QVERIFY(r.line->Written().isEmpty());
            return;
        }
        QCOMPARE(r.timeline().mid(0, 2), QStringList({"CR%0D@0", "SR%0D@3020"}));
    }

    void notConnectedResponses_data()
    {
        QTest::addColumn<QString>("button");
        QTest::addColumn<QString>("page");

        QTest::newRow("Download Info stays") << "DLInfoBtn"
                                             << "DataPage";
        QTest::newRow("Erase stays") << "EraseDataBtn"
                                     << "DataPage";
        QTest::newRow("Download Data stays") << "DLDataBtn"
                                             << "DataPage";
        QTest::newRow("Reset Module shows Connect") << "ResetModuleBtn"
                                                    << "ConnectPage";
        QTest::newRow("Calibrate shows Connect") << "CalBtn"
                                                 << "ConnectPage";
        QTest::newRow("Read Config shows Connect") << "ReadCfgBtn"
                                                   << "ConnectPage";
        QTest::newRow("Write Config shows Connect") << "WriteCfgBtn"
                                                    << "ConnectPage";
        QTest::newRow("Reset Defaults shows Connect") << "BitBtn1"
                                                      << "ConnectPage";
        QTest::newRow("Start logging shows Connect") << "StartBtn"
                                                     << "ConnectPage";
    }

    void notConnectedResponses()
    {
        QFETCH(QString, button);
        QFETCH(QString, page);
        Rig r;
        r.find<QTabWidget>("PageControl1")->setCurrentWidget(r.find("DataPage"));
        r.find<QPlainTextEdit>("InfoText")->setPlainText("old");
        // Hidden buttons still act when clicked; that is all this needs.
        r.find<QPushButton>(button.toLatin1().constData())->click();
        QCOMPARE(r.info(), QString("Not Connected"));
        QCOMPARE(r.page(), page);
        QVERIFY(r.line->Written().isEmpty());
        QVERIFY(r.prompts.asked.isEmpty());
    }

    void simulateTargetNeedsNoLine()
    {
        Rig r;
        r.find<QCheckBox>("SimulateChk")->setChecked(true);
        r.click("DLInfoBtn");
        QCOMPARE(r.info(), QString("     Device Name: VEXA\n           Model: MOD1\n\n"
                                   "Software Version: 0.03\n   Software Date: 08-27-03\n\n\n"
                                   "Memory contains 0 data sets."));
        auto* sets = r.find<QComboBox>("SetList");
        QCOMPARE(sets->count(), 1);
        QCOMPARE(sets->itemText(0), QString("All"));
    }

    void startStopLogging()
    {
        Rig r;
        r.connect();
        auto* start = r.find<QPushButton>("StartBtn");
        start->click();
        QCOMPARE(start->text(), QString("Stop"));
        QCOMPARE(r.find<QLabel>("LogDisp")->text(), QString("Logging"));
        start->click();
        QCOMPARE(start->text(), QString("Start"));
        QVERIFY(r.find<QLabel>("LogDisp")->text().isEmpty());
        QVERIFY(r.line->Written().isEmpty()); // the switch sends nothing
    }

    void downloadDataAddsASet()
    {
        Rig r;
        r.connect();
        r.click("DLInfoBtn");
        r.line->ClearWrites();
        r.click("DLDataBtn");
        QCOMPARE(r.line->Written(), QByteArray("DL=0\r"));
        QVERIFY(r.info().endsWith("\n\nSet 1: Downloaded 5 data samples."));
        auto* active = r.find<QComboBox>("ActiveSetCombo");
        QCOMPARE(active->count(), 2);
        QCOMPARE(active->currentIndex(), 1);
        QVERIFY(r.find<QProgressBar>("ProgressBar1")->isHidden());
        QVERIFY(r.find("DataPage")->isEnabled());
    }

    void downloadAllSets()
    {
        Rig r;
        r.line->ReplyTo("DL=1\r", "DL=1\r\n1,1000,3,0,0\r\n100\r\n350\r\n20\r\n");
        r.line->ReplyTo("DL=2\r", "DL=2\r\n"); // no header: corrupted
        r.connect();
        r.click("DLInfoBtn");
        r.line->ClearWrites();
        r.find<QComboBox>("SetList")->setCurrentIndex(3);
        r.click("DLDataBtn");
        QCOMPARE(r.line->Written(), QByteArray("DL=0\rDL=1\rDL=2\r"));
        QVERIFY(r.info().endsWith("Set 1: Downloaded 5 data samples.\n\n"
                                  "Set 2: Downloaded 3 data samples.\n\n"
                                  "Set 3: Corrupted data set."));
        auto* active = r.find<QComboBox>("ActiveSetCombo");
        QCOMPARE(active->count(), 3);
        QCOMPARE(active->currentText(), QString("Data002"));
    }

    // Save the plot, load it back: the sets come in again after the ones there.
    void saveAndLoadThePlot()
    {
        Rig r;
        QTemporaryDir dir;
        r.files.path = dir.filePath("flight.csv");
        auto* save = r.find<QDialog>("TSaveSel");
        QTimer::singleShot(0, save, [save] {
            save->findChild<QRadioButton*>("PlotRadio")->setChecked(true);
            save->accept();
        });
        r.click("SaveBtn");
        QCOMPARE(r.files.asked.size(), 1);
        QVERIFY(r.files.asked[0].startsWith("SaveDialog1: Plot_"));
        QVERIFY(QFile(r.files.path).size() > 0);

        r.click("LoadBtn");
        QCOMPARE(r.find<QComboBox>("ActiveSetCombo")->count(), 2);
        QCOMPARE(r.find<QComboBox>("ActiveSetCombo")->itemText(1), QString("Data000"));

        // A folder that does not exist: the user is told, nothing is lost.
        r.files.path = dir.filePath("missing/flight.csv");
        QTimer::singleShot(0, save, [save] { save->accept(); });
        r.click("SaveBtn");
        QCOMPARE(r.prompts.warned.size(), 1);
        QVERIFY(r.prompts.warned[0].startsWith("Error: Unable to open "));
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

        // Elsewhere the same key belongs to the control.
        pages->setCurrentWidget(r.find("ConnectPage"));
        auto* edit = r.find<QPlainTextEdit>("InfoText");
        edit->setPlainText("ab");
        edit->setFocus();
        QTest::keyClick(edit, Qt::Key_Home);
        QTest::keyClick(edit, Qt::Key_Right, Qt::ShiftModifier);
        QCOMPARE(edit->textCursor().selectedText(), QString("a"));
    }

    void manualOpensOrSaysWhereItLooked_data()
    {
        QTest::addColumn<bool>("installed");
        QTest::addColumn<bool>("opener");
        QTest::addColumn<QString>("warning");
        QTest::newRow("installed") << true << true << QString();
        QTest::newRow("missing") << false << true
                                 << "Vexa: The manual V6R-Manual.pdf was not found";
        QTest::newRow("no viewer") << true << false << "Vexa: Unable to open %1!";
    }
    void manualOpensOrSaysWhereItLooked()
    {
        QFETCH(bool, installed);
        QFETCH(bool, opener);
        QFETCH(QString, warning);
        QTemporaryDir root;
        const QString manual = root.filePath(QStringLiteral("share/vexa/V6R-Manual.pdf"));
        if (installed) {
            QVERIFY(QDir(root.path()).mkpath(QStringLiteral("share/vexa")));
            QFile file(manual);
            QVERIFY(file.open(QIODevice::WriteOnly));
        }
        Rig r(Registers, root.filePath(QStringLiteral("bin")));
        r.shell.result = opener;
        r.click("ManualBtn");
        QCOMPARE(r.shell.opened.isEmpty(), !installed);
        if (installed)
            QCOMPARE(r.shell.opened.constFirst(), QUrl::fromLocalFile(manual));
        QCOMPARE(r.prompts.warned.size(), warning.isEmpty() ? 0 : 1);
        if (!warning.isEmpty()) {
            const QString& told = r.prompts.warned.constFirst();
            QVERIFY2(told.startsWith(warning.arg(manual)), qPrintable(told));
            // A missing manual names where it was looked for.
            QVERIFY2(installed || told.contains(manual), qPrintable(told));
        }
    }

    // Both draw their own copy of the plot; the screen's stays as it was.
    void exportAndPrint()
    {
        Rig r;
        QTemporaryDir dir;
        r.find<QTabWidget>("PageControl1")->setCurrentWidget(r.find("DataPage"));
        const QImage screen = r.find("PlotBox")->grab().toImage();
        QStringList shown; // the Output dialog as each click found it
        auto answerOutput = [&shown] {
            QTimer::singleShot(0, [&shown] {
                QWidget* form = QApplication::activeModalWidget();
                shown << form->windowTitle() +
                             (form->findChild<QLineEdit*>("LeftEdit")->isEnabled() ? "+" : "");
                QMetaObject::invokeMethod(form, "accept");
            });
        };
        r.files.path = dir.filePath("plot.bmp");
        answerOutput();
        r.click("ExportBtn");
        QImageReader image(r.files.path); // by content: the first filter's format
        QCOMPARE(image.format() + ' ' + QByteArray::number(image.size().width()), "bmp 700");

        r.printers.file = dir.filePath("page.pdf");
        answerOutput();
        r.click("PrtBtn");
        QVERIFY(QFileInfo(r.printers.file).size() > 1000);
        QCOMPARE(shown, QStringList({"Output", "Output+"}));
        QCOMPARE(r.find("PlotBox")->grab().toImage(), screen);
        QVERIFY(r.prompts.warned.isEmpty());

        r.files.path = dir.filePath("missing/plot.bmp");
        answerOutput();
        r.click("ExportBtn");
        QCOMPARE(r.prompts.warned.size(), 1);
        QVERIFY(r.prompts.warned[0].startsWith("Error: Unable to write " + r.files.path + "! ("));
    }

    // The set the combo shows stays active when another set is deleted, and
    // the first set becomes active when the active one is.
    void deletingASetKeepsTheActiveOne_data()
    {
        QTest::addColumn<int>("sets");
        QTest::addColumn<int>("active");
        QTest::addColumn<int>("deleted");
        QTest::addColumn<QString>("after");
        QTest::newRow("an earlier set") << 4 << 3 << 0 << "Data003";
        QTest::newRow("the active last set") << 3 << 2 << 2 << "Data000";
    }
    void deletingASetKeepsTheActiveOne()
    {
        QFETCH(int, sets);
        QFETCH(int, active);
        QFETCH(int, deleted);
        Rig r;
        r.connect();
        r.click("DLInfoBtn");
        for (int i = 1; i < sets; ++i)
            r.click("DLDataBtn");
        auto* combo = r.find<QComboBox>("ActiveSetCombo");
        combo->setCurrentIndex(active);
        auto* list = r.find<QListView>("SetListBox");
        list->setCurrentIndex(list->model()->index(deleted, 0));
        r.click("DelSetBtn");
        QTEST(combo->currentText(), "after");
    }

    // Text that names no item of the set box selects nothing; typing adds no item.
    void typedSetNumbers_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("button");
        QTest::addColumn<QByteArray>("sent");
        QTest::newRow("3 over 1") << "3"
                                  << "EraseDataBtn" << QByteArray("ES=1\rSV\rNS\r");
        QTest::newRow("7, Erase") << "7"
                                  << "EraseDataBtn" << QByteArray();
        QTest::newRow("7, Download") << "7"
                                     << "DLDataBtn" << QByteArray();
    }
    void typedSetNumbers()
    {
        QFETCH(QString, typed);
        QFETCH(QString, button);
        QFETCH(QByteArray, sent);
        Rig r;
        r.connect();
        r.click("DLInfoBtn");
        r.line->ClearWrites();
        QLineEdit* edit = r.find<QComboBox>("SetList")->lineEdit();
        edit->selectAll();
        QTest::keyClicks(edit, typed);
        QTest::keyClick(edit, Qt::Key_Return);
        QCOMPARE(r.find<QComboBox>("SetList")->count(), 4);
        r.click(button.toLatin1().constData());
        QCOMPARE(r.line->Written(), sent);
        QCOMPARE(r.prompts.warned.size(), sent.isEmpty() ? 1 : 0);
    }

    void millisecondsFollowTheUnit_data()
    {
        QTest::addColumn<int>("si");
        QTest::addColumn<int>("sr");
        QTest::addColumn<QString>("ms");
        QTest::newRow("SI 25 up to 975") << 25 << 36 << "975";
        QTest::newRow("SI 50 reads 950") << 50 << 19 << "950";
    }
    void millisecondsFollowTheUnit()
    {
        QFETCH(int, si);
        QFETCH(int, sr);
        QMap<QByteArray, int> registers = Registers;
        registers["SI"] = si;
        registers["SR"] = sr;
        Rig r(registers);
        r.connect();
        auto* spin = r.find<QSpinBox>("mSecSpin");
        for (int i = 0; i < 5; ++i)
            spin->stepUp();
        QTEST(r.find<QLabel>("mSecPanel")->text(), "ms");
        QTEST(QString::number(spin->value()), "ms");
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

    void downloadWithoutSelection()
    {
        Rig r;
        r.connect();
        r.click("DLDataBtn");
        QCOMPARE(r.prompts.warned, QStringList({"Vexa: No data set specified"}));
        QVERIFY(r.line->Written().isEmpty());
    }
};

QTEST_MAIN(TestMainFormModule)
#include "tst_mainform_module.moc"
