// The main window itself: start-up, the port list, the About page's actions.
#include "MainFormRig.h"

#include <QApplication>
#include <QComboBox>
#include <QLayout>
#include <QPushButton>
#include <QTabWidget>
#include <QTest>
#include <QTimer>

using namespace vexa;
using vexa::test::MainFormRig;

namespace {

const QString ProgramDir = QStringLiteral("/opt/vexa test/bin");

std::vector<PortDescription> Named(const QStringList& names)
{
    std::vector<PortDescription> list;
    for (const QString& name : names)
        list.push_back({name, name, QStringLiteral("ACPI")});
    return list;
}

struct Rig : MainFormRig {
    using MainFormRig::MainFormRig;
    QTabWidget* pages() const { return find<QTabWidget>("PageControl1"); }
    QComboBox* portBox() const { return find<QComboBox>("CommPortBox"); }
    void show()
    {
        form->show();
        QVERIFY(QTest::qWaitForWindowExposed(form.get()));
    }
    // The start-up timer's tick, without waiting three seconds for it.
    void tickTimer3() const
    {
        QVERIFY(QMetaObject::invokeMethod(find<QTimer>("Timer3"), "timeout"));
    }
};

} // namespace

class MainFormTest : public QObject {
    Q_OBJECT

private slots:
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
        rig.find<QAbstractButton>("SizeChk")->setChecked(sizeable);
        rig.show();
        QCOMPARE(rig.pages()->currentWidget()->objectName(), QStringLiteral("AboutPage"));
        QCOMPARE(rig.form->maximumSize(), QSize(774, 565)); // sizeable only after the tick

        rig.tickTimer3();
        QCOMPARE(rig.pages()->currentWidget()->objectName(), QStringLiteral("ConnectPage"));
        rig.form->resize(1000, 700);
        rig.form->layout()->activate();
        QCOMPARE(rig.form->size(), sizeable ? QSize(1000, 700) : QSize(774, 565));
        if (sizeable)
            QVERIFY(rig.find("CloseBtn")->geometry().bottom() > 680);
    }

    void pageChangeEmptiesCursorReadouts()
    {
        Rig rig;
        rig.show();
        rig.find<QLabel>("XYDisp")->setText(QStringLiteral("12.5 s  340 ft"));
        rig.find<QLabel>("ROCDisp")->setText(QStringLiteral("ROC 80 ft/s"));
        rig.pages()->setCurrentIndex(2);
        QCOMPARE(rig.text("XYDisp") + rig.text("ROCDisp"), QString());
    }

    void portListShowsPortsThatOpen()
    {
        Rig rig({{"ttyS0", "Communications Port", "ACPI"},
                 {"ttyUSB0", "FT232R USB UART", "usb"},
                 {"/run/user/1000/vexa-ports/sim", "Vexa module emulator", "virtual"}});
        rig.probe->FailOpenFor(QStringLiteral("/dev/ttyUSB0"), QStringLiteral("busy"));
        QList<bool> waitCursor;
        rig.probe->OnOpen([&](const QString&) {
            const QCursor* c = QApplication::overrideCursor();
            waitCursor << (c && c->shape() == Qt::WaitCursor);
        });
        rig.show();

        QCOMPARE(rig.portBox()->count(), 2);
        QCOMPARE(rig.portBox()->itemText(1),
                 QString("/run/user/1000/vexa-ports/sim   Vexa module emulator   virtual"));
        // Nothing stored: the emulator rather than the legacy port.
        QCOMPARE(rig.portBox()->currentIndex(), 1);
        QCOMPARE(rig.probe->OpenAttempts().size(), 3);
        QVERIFY(!rig.probe->IsOpen());
        QCOMPARE(rig.probe->Settings().baud, 115200u);
        // Probing shows the wait cursor and never touches the module's line.
        QCOMPARE(waitCursor, QList<bool>({true, true, true}));
        QVERIFY(!QApplication::overrideCursor());
        QVERIFY(rig.line->OpenAttempts().isEmpty());
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
        Rig rig(Named(before));
        rig.show();
        rig.portBox()->setCurrentIndex(selected);
        rig.ports.ports = Named(after);
        rig.click("Button1");
        QCOMPARE(rig.portBox()->count(), after.size());
        QCOMPARE(rig.portBox()->currentIndex(), position);
    }

    // A new speed lets go of the line and is the one ports are probed at.
    void speedChange()
    {
        Rig rig(Named({"ttyS0"}));
        rig.show();
        rig.click("ConnectBtn");
        rig.find<QComboBox>("SpeedBox")->setCurrentIndex(2);
        QVERIFY(!rig.line->IsOpen());
        QCOMPARE(rig.find<QPushButton>("ConnectBtn")->text(), QStringLiteral("Connect"));
        QCOMPARE(rig.text("ConnectStatusDisp"), QStringLiteral("Not Connected"));
        rig.click("Button1");
        QCOMPARE(rig.probe->Settings().baud, 9600u);
    }

    // The address labels open mail and web, by mouse or key; the icon nothing.
    void aboutActionsOpenTheirAddresses()
    {
        const QUrl mail(QStringLiteral("mailto:support@vexa-instruments.example"));
        const QUrl web(QStringLiteral("https://www.vexa-instruments.example/"));
        Rig rig({}, ProgramDir);
        rig.show();
        QTest::mouseClick(rig.find("AboutEmail"), Qt::LeftButton);
        QTest::keyClick(rig.find("AboutEmail"), Qt::Key_Return);
        QTest::mouseClick(rig.find("AboutWebSite"), Qt::LeftButton);
        QTest::mouseClick(rig.find("Image1"), Qt::LeftButton);
        QCOMPARE(rig.shell.opened, QList<QUrl>({mail, mail, web}));
    }
};

QTEST_MAIN(MainFormTest)
#include "tst_mainform.moc"
