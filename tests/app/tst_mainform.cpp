#include "FakeSerialDevice.h"
#include "RecordingShell.h"
#include "VirtualClock.h"
#include "app/About.h"
#include "app/TMainForm.h"
#include "link/SerialPort.h"

#include <QAccessible>
#include <QApplication>
#include <QButtonGroup>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLayout>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QTabWidget>
#include <QTest>
#include <QTimer>
#include <memory>
#include <set>

using namespace vexa;
using vexa::test::FakeSerialDevice;
using vexa::test::RecordingShell;
using vexa::test::VirtualClock;

namespace {

class ListedPorts final : public PortSource {
public:
    std::vector<PortDescription> ListPorts() const override { return ports; }
    std::vector<PortDescription> ports;
};

// The line ports are test-opened on: refuses the paths it is told to and
// notes how each open went.
class ProbeDevice final : public SerialDevice {
public:
    bool Open(const QString& path) override
    {
        opened.append(path);
        const QCursor* cursor = QApplication::overrideCursor();
        waitCursorAtOpen.append(cursor && cursor->shape() == Qt::WaitCursor);
        if (refused.count(path))
            return false;
        open_ = true;
        return true;
    }
    QString ErrorText() const override { return QStringLiteral("Device or resource busy"); }
    bool IsOpen() const override { return open_; }
    bool Close() override
    {
        open_ = false;
        return true;
    }
    bool Configure(const LineSettings& settings) override
    {
        bauds.append(settings.baud);
        return true;
    }
    bool SetTimeouts(int, int) override { return true; }
    bool SetDtr(bool) override { return true; }
    int Write(const char*, int n) override { return n; }
    int Read(char*, int) override { return 0; }

    std::set<QString> refused;
    QStringList opened;
    QList<bool> waitCursorAtOpen;
    QList<std::uint32_t> bauds;

private:
    bool open_ = false;
};

const QString ProgramDir = QStringLiteral("/opt/vexa test/bin");

// One main window over fakes; the line and the probe line stay reachable.
struct Rig {
    Rig() : Rig(std::vector<PortDescription>{}) {}
    explicit Rig(std::vector<PortDescription> list)
    {
        ports.ports = std::move(list);
        auto factory = [this]() -> std::unique_ptr<SerialDevice> {
            if (made++ == 0) {
                auto device = std::make_unique<FakeSerialDevice>(clock);
                line = device.get();
                return device;
            }
            auto device = std::make_unique<ProbeDevice>();
            probe = device.get();
            return device;
        };
        form = std::make_unique<TMainForm>(MainFormDeps{clock, factory, ports, shell, ProgramDir});
    }

    template <typename T = QWidget> T* find(const QString& name) const
    {
        T* child = form->findChild<T*>(name);
        if (!child)
            qWarning("no control %s", qPrintable(name));
        return child;
    }
    QTabWidget* pages() const { return find<QTabWidget>(QStringLiteral("PageControl1")); }
    QComboBox* portBox() const { return find<QComboBox>(QStringLiteral("CommPortBox")); }
    QString text(const char* name) const { return find<QLabel>(QLatin1String(name))->text(); }
    QStringList portItems() const
    {
        QStringList items;
        for (int i = 0; i < portBox()->count(); ++i)
            items << portBox()->itemText(i);
        return items;
    }
    void showAndWait()
    {
        form->show();
        QVERIFY(QTest::qWaitForWindowExposed(form.get()));
    }
    // The start-up timer's tick, without waiting three seconds for it.
    void tickTimer3() const
    {
        QTimer* timer = form->findChild<QTimer*>(QStringLiteral("Timer3"));
        QVERIFY(timer);
        QVERIFY(QMetaObject::invokeMethod(timer, "timeout"));
    }

    VirtualClock clock;
    ListedPorts ports;
    RecordingShell shell;
    FakeSerialDevice* line = nullptr;
    ProbeDevice* probe = nullptr;
    int made = 0;
    std::unique_ptr<TMainForm> form;
};

PortDescription Port(const char* name, const char* friendly, const char* enumerator)
{
    return {QString::fromLatin1(name), QString::fromLatin1(friendly),
            QString::fromLatin1(enumerator)};
}

} // namespace

class MainFormTest : public QObject {
    Q_OBJECT

private slots:
    void pagesInOrderAndOpensOnAbout()
    {
        Rig rig;
        QTabWidget* pages = rig.pages();
        const QStringList names{"ConnectPage", "ConfigurePage", "DataPage", "LogPage", "AboutPage"};
        const QStringList captions{"Connect / Download", "Configure", "Recorded Data", "Log Data",
                                   "About"};
        QCOMPARE(pages->count(), names.size());
        for (int i = 0; i < pages->count(); ++i) {
            QCOMPARE(pages->widget(i)->objectName(), names[i]);
            QCOMPARE(pages->tabText(i), captions[i]);
            QCOMPARE(pages->isTabVisible(i), names[i] != QLatin1String("LogPage"));
        }
        rig.showAndWait();
        QCOMPARE(pages->currentWidget()->objectName(), QStringLiteral("AboutPage"));
        QCOMPARE(rig.form->windowTitle(), QStringLiteral("Vexa"));
    }

    void everyControlIsThereOnce()
    {
        Rig rig;
        const QStringList names{
            // Connect / Download
            "CommPortBox", "Button1", "ConnectBtn", "SizeChk", "SpeedBox", "InfoText", "DLInfoBtn",
            "EraseDataBtn", "SetList", "DLDataBtn",
            // Configure
            "HourPanel", "MinutePanel", "SecondPanel", "mSecPanel", "HourSpin", "MinSpin",
            "SecSpin", "mSecSpin", "Msg1", "UnitsGrp", "AboveUnitsPanel", "BelowUnitsPanel",
            "AutoStartGrp", "AutoStopGrp", "AutoZeroGrp", "AutoStartAltitudeEdit",
            "AutoStopAltitudeEdit", "AutoStartSecEdit", "AutoStopSecEdit", "TrigChk", "RevTrigChk",
            "ReadCfgBtn", "WriteCfgBtn", "BitBtn1", "ResetModuleBtn", "CalBtn", "AltCalEdit",
            "FirmwareVersionDisp", "UpdateBtn",
            // Recorded Data
            "PlotBox", "Image2", "ZoomInBtn", "ZoomOutBtn", "ZoomResetBtn", "ZoomCropBtn",
            "PanUpBtn", "PanDnBtn", "PanLtBtn", "PanRtBtn", "ScaleBtn", "MouseGrp", "LoadBtn",
            "SaveBtn", "ExportBtn", "PrtBtn", "EditBtn", "ActiveSetCombo", "DataPropBtn",
            "AutoOffsetBtn", "ShowPointsChk",
            // Log Data
            "StartBtn", "ClearBtn", "AltBox", "AMaxLabel", "AMinLabel", "Panel3", "AltDisp",
            // About
            "Panel1", "AboutAppName", "Image1", "AboutSubtitle", "Panel4", "AboutVersion",
            "VersionInfo", "Label4", "BuildInfo", "Panel2", "Label14", "AboutEmail", "Label15",
            "AboutWebSite", "ManualBtn",
            // below the pages
            "SimulateChk", "StatusPanel", "ConnectStatusDisp", "ProgressBar1", "LogDisp", "XYDisp",
            "ROCDisp", "CloseBtn"};
        // Dialogs have controls of the same names in windows of their own.
        for (const QString& name : names) {
            auto found = rig.form->findChildren<QWidget*>(name);
            QVERIFY2(std::count_if(found.begin(), found.end(),
                                   [&](QWidget* w) { return w->window() == rig.form.get(); }) == 1,
                     qPrintable(name));
        }
        for (const char* name : {"Timer1", "Timer3"})
            QVERIFY2(rig.form->findChildren<QTimer*>(name, Qt::FindDirectChildrenOnly).size() == 1,
                     name);
        QCOMPARE(rig.find("DataPropBtn")->toolTip(), "Edit Dataset Properties");
    }

    void hiddenControlsStayHidden()
    {
        Rig rig;
        rig.showAndWait();
        for (const char* name : {"SpeedBox", "SpeedLabel", "CalibrationGrp", "ShowPointsChk",
                                 "SimulateChk", "ProgressBar1", "Image2"})
            QVERIFY2(rig.find(QLatin1String(name))->isHidden(), name);
        QVERIFY(!rig.find(QStringLiteral("CloseBtn"))->isHidden());
    }

    void radioGroupsIndexTheirItems_data()
    {
        QTest::addColumn<QString>("group");
        QTest::addColumn<QStringList>("items");
        QTest::newRow("units") << "UnitsGrp" << QStringList{"Feet", "Yards", "Meters"};
        QTest::newRow("auto start")
            << "AutoStartGrp"
            << QStringList{"Off", "After Powerup", "Above Altitude", "On first Trigger"};
        QTest::newRow("auto stop")
            << "AutoStopGrp" << QStringList{"Off", "After Time", "Below Altitude"};
        QTest::newRow("auto zero")
            << "AutoZeroGrp"
            << QStringList{"Off", "On First Trigger", "On Powerup", "On Start Recording"};
        QTest::newRow("mouse") << "MouseGrp" << QStringList{"Zoom", "Climb", "Peak"};
    }
    void radioGroupsIndexTheirItems()
    {
        QFETCH(QString, group);
        QFETCH(QStringList, items);
        Rig rig;
        auto* buttons = rig.find<QGroupBox>(group)->findChild<QButtonGroup*>();
        QVERIFY(buttons);
        QCOMPARE(buttons->buttons().size(), items.size());
        for (int i = 0; i < items.size(); ++i)
            QCOMPARE(buttons->button(i)->text(), items[i]);
        QCOMPARE(buttons->checkedId(), 0);
    }

    void windowIsFixedAtItsClientSize()
    {
        Rig rig;
        rig.showAndWait();
        QCOMPARE(rig.form->size(), QSize(774, 565));
        QCOMPARE(rig.form->minimumSize(), QSize(774, 565));
        QCOMPARE(rig.form->maximumSize(), QSize(774, 565));
    }

    void timer3SwitchesPageAndAppliesSizeable_data()
    {
        QTest::addColumn<bool>("sizeable");
        QTest::newRow("fixed") << false;
        QTest::newRow("sizeable") << true;
    }
    void timer3SwitchesPageAndAppliesSizeable()
    {
        QFETCH(bool, sizeable);
        Rig rig;
        rig.find<QAbstractButton>(QStringLiteral("SizeChk"))->setChecked(sizeable);
        rig.showAndWait();

        QTimer* timer = rig.form->findChild<QTimer*>(QStringLiteral("Timer3"));
        QVERIFY(timer->isActive());
        QVERIFY(timer->isSingleShot());
        QCOMPARE(timer->interval(), 3000);
        // Not sizeable at once, only after the tick.
        QCOMPARE(rig.form->maximumSize(), QSize(774, 565));

        rig.tickTimer3();
        QVERIFY(!timer->isActive());
        QCOMPARE(rig.pages()->currentWidget()->objectName(), QStringLiteral("ConnectPage"));

        rig.form->resize(1000, 700);
        rig.form->layout()->activate();
        if (!sizeable) {
            QCOMPARE(rig.form->size(), QSize(774, 565));
            return;
        }
        QCOMPARE(rig.form->size(), QSize(1000, 700));
        QVERIFY(rig.pages()->width() > 950);
        QWidget* close = rig.find(QStringLiteral("CloseBtn"));
        QVERIFY(close->geometry().right() > 980);
        QVERIFY(close->geometry().bottom() > 680);
    }

    void pageChangeEmptiesCursorReadouts()
    {
        Rig rig;
        rig.showAndWait();
        rig.tickTimer3();
        rig.find<QLabel>(QStringLiteral("XYDisp"))->setText(QStringLiteral("12.5 s  340 ft"));
        rig.find<QLabel>(QStringLiteral("ROCDisp"))->setText(QStringLiteral("ROC 80 ft/s"));
        rig.find<QLabel>(QStringLiteral("ConnectStatusDisp"))->setText(QStringLiteral("Connected"));
        rig.pages()->setCurrentIndex(2);
        QCOMPARE(rig.text("XYDisp"), QString());
        QCOMPARE(rig.text("ROCDisp"), QString());
        QCOMPARE(rig.text("ConnectStatusDisp"), QStringLiteral("Connected"));
    }

    void portListShowsPortsThatOpen()
    {
        Rig rig({Port("ttyS0", "Communications Port", "ACPI"),
                 Port("ttyUSB0", "FT232R USB UART", "usb"),
                 Port("/run/user/1000/vexa-ports/sim", "Vexa module emulator", "virtual")});
        rig.probe->refused.insert(DevicePath(QStringLiteral("ttyUSB0")));
        rig.showAndWait();

        QCOMPARE(rig.portItems(),
                 (QStringList{"ttyS0   Communications Port   ACPI",
                              "/run/user/1000/vexa-ports/sim   Vexa module emulator   virtual"}));
        // Nothing stored: the emulator rather than the legacy port.
        QCOMPARE(rig.portBox()->currentIndex(), 1);
        QCOMPARE(rig.probe->opened, (QStringList{DevicePath(QStringLiteral("ttyS0")),
                                                 DevicePath(QStringLiteral("ttyUSB0")),
                                                 QStringLiteral("/run/user/1000/vexa-ports/sim")}));
        QVERIFY(!rig.probe->IsOpen());
        QCOMPARE(rig.probe->bauds.value(0), 115200u);
        // Probing shows the wait cursor and never touches the module's line.
        QVERIFY(!rig.probe->waitCursorAtOpen.contains(false));
        QVERIFY(!QApplication::overrideCursor());
        QVERIFY(rig.line->OpenedPath().isEmpty());
    }

    void refreshReselectsThePortByName_data()
    {
        QTest::addColumn<QStringList>("before");
        QTest::addColumn<int>("selected");
        QTest::addColumn<QStringList>("after");
        QTest::addColumn<int>("position");
        const QStringList two{"ttyS0", "ttyS1"};
        QTest::newRow("same ports") << two << 1 << two << 1;
        QTest::newRow("a port added before it")
            << two << 1 << QStringList{"ttyACM0", "ttyS0", "ttyS1"} << 2;
        QTest::newRow("a port before it gone") << two << 1 << QStringList{"ttyS1"} << 0;
        QTest::newRow("selected port gone") << two << 1 << QStringList{"ttyS0", "ttyUSB0"} << -1;
        QTest::newRow("no ports left") << two << 0 << QStringList{} << -1;
    }
    void refreshReselectsThePortByName()
    {
        QFETCH(QStringList, before);
        QFETCH(int, selected);
        QFETCH(QStringList, after);
        QFETCH(int, position);
        auto ports = [](const QStringList& names) {
            std::vector<PortDescription> list;
            for (const QString& name : names)
                list.push_back({name, name, QStringLiteral("ACPI")});
            return list;
        };
        Rig rig(ports(before));
        rig.showAndWait();
        rig.portBox()->setCurrentIndex(selected);

        rig.ports.ports = ports(after);
        QTest::mouseClick(rig.find(QStringLiteral("Button1")), Qt::LeftButton);
        QCOMPARE(rig.portBox()->count(), after.size());
        QCOMPARE(rig.portBox()->currentIndex(), position);
    }

    void speedChange_data()
    {
        QTest::addColumn<bool>("portOpen");
        QTest::newRow("connected") << true;
        QTest::newRow("not connected") << false;
    }
    void speedChange()
    {
        QFETCH(bool, portOpen);
        Rig rig({Port("ttyS0", "Communications Port", "ACPI")});
        rig.showAndWait();
        if (portOpen) {
            QVERIFY(rig.line->Open(DevicePath(QStringLiteral("ttyS0"))));
            rig.find<QPushButton>(QStringLiteral("ConnectBtn"))
                ->setText(QStringLiteral("Disconnect"));
            rig.find<QLabel>(QStringLiteral("ConnectStatusDisp"))
                ->setText(QStringLiteral("Connected"));
        }
        rig.find<QComboBox>(QStringLiteral("SpeedBox"))->setCurrentIndex(2);

        QVERIFY(!rig.line->IsOpen());
        QCOMPARE(rig.find<QPushButton>(QStringLiteral("ConnectBtn"))->text(),
                 QStringLiteral("Connect"));
        QCOMPARE(rig.text("ConnectStatusDisp"), QStringLiteral("Not Connected"));

        // The new speed is the one ports are probed at from now on.
        QTest::mouseClick(rig.find(QStringLiteral("Button1")), Qt::LeftButton);
        QCOMPARE(rig.probe->bauds.last(), 9600u);
    }

    void aboutActionsOpenTheirAddresses_data()
    {
        QTest::addColumn<QString>("control");
        QTest::addColumn<bool>("byKey");
        QTest::addColumn<QList<QUrl>>("opened");
        const QUrl mail(QStringLiteral("mailto:support@vexa-instruments.example"));
        const QUrl web(QStringLiteral("https://www.vexa-instruments.example/"));
        QTest::newRow("e-mail") << "AboutEmail" << false << QList<QUrl>{mail};
        QTest::newRow("e-mail by key") << "AboutEmail" << true << QList<QUrl>{mail};
        QTest::newRow("web site") << "AboutWebSite" << false << QList<QUrl>{web};
        QTest::newRow("icon does nothing") << "Image1" << false << QList<QUrl>{};
    }
    void aboutActionsOpenTheirAddresses()
    {
        QFETCH(QString, control);
        QFETCH(bool, byKey);
        QFETCH(QList<QUrl>, opened);
        Rig rig;
        rig.showAndWait();
        QWidget* target = rig.find(control);
        if (byKey)
            QTest::keyClick(target, Qt::Key_Return);
        else
            QTest::mouseClick(target, Qt::LeftButton);
        QCOMPARE(rig.shell.opened, opened);
    }

    void aboutPageShowsVersionAndBuild()
    {
        Rig rig;
        rig.showAndWait();
        QCOMPARE(rig.text("VersionInfo"), GetVersionText());
        QVERIFY(!rig.text("BuildInfo").isEmpty());
        QVERIFY(!rig.find<QLabel>(QStringLiteral("Image1"))->pixmap().isNull());
        QCOMPARE(rig.text("AMinLabel"), QStringLiteral("0"));
    }

    // A screen reader reads what each display shows, not only what it is.
    void displaysExposeTheirText()
    {
        Rig rig({Port("ttyS0", "Port 0", "ACPI")});
        rig.showAndWait();
        rig.find<QPushButton>("ConnectBtn")->click();
        rig.pages()->setCurrentWidget(rig.find("DataPage"));
        QTest::mouseMove(rig.find("PlotBox"), QPoint(200, 150));
        for (const char* name : {"ConnectStatusDisp", "mSecPanel", "XYDisp"}) {
            QAccessibleInterface* iface = QAccessible::queryAccessibleInterface(rig.find(name));
            QCOMPARE(iface->text(QAccessible::Name), rig.text(name));
            QVERIFY2(!rig.text(name).isEmpty() && !iface->text(QAccessible::Description).isEmpty(),
                     name);
        }
    }

    void closeButtonClosesTheWindow()
    {
        Rig rig;
        rig.showAndWait();
        QTest::mouseClick(rig.find(QStringLiteral("CloseBtn")), Qt::LeftButton);
        QVERIFY(!rig.form->isVisible());
    }

    // No state outside the window: a second one, before or beside the
    // first, starts the same way and keeps its own state.
    void twoWindowsInOneProcess()
    {
        const std::vector<PortDescription> list{Port("ttyS0", "Communications Port", "ACPI")};
        {
            Rig first(list);
            first.showAndWait();
            first.tickTimer3();
            first.find<QComboBox>(QStringLiteral("SpeedBox"))->setCurrentIndex(1);
        }
        Rig second(list);
        Rig third(list);
        second.showAndWait();
        third.showAndWait();
        third.find<QComboBox>(QStringLiteral("SpeedBox"))->setCurrentIndex(0);
        for (Rig* rig : {&second, &third}) {
            QCOMPARE(rig->pages()->currentWidget()->objectName(), QStringLiteral("AboutPage"));
            QCOMPARE(rig->portBox()->count(), 1);
            QCOMPARE(rig->probe->opened.size(), 1);
            QVERIFY(rig->form->findChild<QTimer*>(QStringLiteral("Timer3"))->isActive());
        }
        QCOMPARE(second.find<QComboBox>(QStringLiteral("SpeedBox"))->currentIndex(), 5);
    }
};

QTEST_MAIN(MainFormTest)
#include "tst_mainform.moc"
