// The main window itself: start-up, the port list, the About page's actions.
#include "MainFormRig.h"
#include "TestData.h"

#include <QApplication>
#include <QComboBox>
#include <QDialog>
#include <QDropEvent>
#include <QLayout>
#include <QLineEdit>
#include <QMimeData>
#include <QPushButton>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTimer>

using namespace vexa;

namespace {

std::vector<PortDescription> Named(const QStringList& names)
{
    std::vector<PortDescription> list;
    for (const QString& name : names)
        list.push_back({name, name, "ACPI"});
    return list;
}

struct Rig : vexa::test::MainFormRig {
    explicit Rig(std::vector<PortDescription> list, bool shown = true)
        : MainFormRig(std::move(list))
    {
        form->setVisible(shown);
    }
    QString page() const { return find<QTabWidget>("PageControl1")->currentWidget()->objectName(); }
    QComboBox* portBox() const { return find<QComboBox>("CommPortBox"); }

    // A file loaded, the module's set 1 downloaded, a save through the save
    // choice, or a button clicked.
    void step(const QString& what, const QString& saveAs)
    {
        if (what.startsWith("load:")) {
            files.answers = {vexa::test::TestDataPath("files/" + what.mid(5))};
            click("LoadBtn");
        } else if (what == "download") {
            for (const QStringList& row : vexa::test::Table("app/module.txt"))
                line->ReplyTo(row[0].toLatin1(), row[1].toLatin1());
            for (const char* button : {"ConnectBtn", "DLInfoBtn", "DLDataBtn"})
                click(button);
        } else if (what.startsWith("save-")) {
            files.answers = {saveAs};
            QTimer::singleShot(0, [plot = what == "save-plot"] {
                auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
                dialog->findChild<QAbstractButton*>(plot ? "PlotRadio" : "ActiveSetRadio")->click();
                dialog->accept();
            });
            click("SaveBtn");
        } else {
            click(qPrintable(what));
        }
    }
};

} // namespace

class MainFormTest : public QObject {
    Q_OBJECT

private slots:
    // The About page first; the start-up timer's tick (not waited for) shows
    // the Connect page and lets the window be sized when asked to.
    void startupTimer_data() { vexa::test::AddRows("app/startup.txt"); }
    void startupTimer()
    {
        QFETCH(QStringList, f);
        Rig rig({});
        rig.find<QAbstractButton>("SizeChk")->setChecked(f[0] == "1");
        QCOMPARE(rig.page(), QString("AboutPage"));
        QVERIFY(QMetaObject::invokeMethod(rig.find<QTimer>("Timer3"), "timeout"));
        QCOMPARE(rig.page(), QString("ConnectPage"));
        rig.form->resize(1000, 700);
        rig.form->layout()->activate();
        QCOMPARE(QString("%1 %2").arg(rig.form->width()).arg(rig.form->height()), f[1]);

        // Cursor readouts belong to the page they were taken on.
        rig.find<QLabel>("XYDisp")->setText("12.5 s  340 ft");
        rig.find<QTabWidget>("PageControl1")->setCurrentIndex(2);
        QCOMPARE(rig.text("XYDisp"), QString());

        // The plot gets the size its drawing is laid out for, or grows with
        // the window; every caption on the page is whole and off the plot.
        QWidget* page = rig.find("DataPage");
        const QRect plot = rig.find("PlotBox")->geometry();
        QCOMPARE(QString("%1 %2").arg(plot.width()).arg(plot.height()), f[2]);
        for (QWidget* w : page->findChildren<QWidget*>()) {
            const auto* button = qobject_cast<QAbstractButton*>(w);
            const auto* label = qobject_cast<QLabel*>(w);
            const QString caption = button ? button->text() : label ? label->text() : QString();
            if (caption.isEmpty() || !w->isVisible())
                continue;
            const QRect r(w->mapTo(page, QPoint()), w->size());
            QVERIFY2(page->rect().contains(r) && !r.intersects(plot) &&
                         w->fontMetrics().horizontalAdvance(caption) <= r.width(),
                     qPrintable(caption));
        }

        // The pan buttons move the window their own way.
        QStringList mins;
        for (const QStringList& pans :
             {QStringList{"PanUpBtn", "PanRtBtn"},
              QStringList{"PanDnBtn", "PanDnBtn", "PanLtBtn", "PanLtBtn"}}) {
            for (const QString& button : pans)
                rig.click(qPrintable(button));
            rig.find("TScaleForm")->show();
            mins << rig.find<QLineEdit>("XMinEdit")->text()
                 << rig.find<QLineEdit>("YMinEdit")->text();
            rig.find("TScaleForm")->hide();
        }
        QCOMPARE(mins, QStringList({"4", "4", "-4", "-4"}));
    }

    // Only ports that open are listed, probed under the wait cursor on a line
    // of their own; with nothing stored the emulator is preferred.
    void portListShowsPortsThatOpen()
    {
        Rig rig({{"ttyS0", "Communications Port", "ACPI"},
                 {"ttyUSB0", "FT232R USB UART", "usb"},
                 {"/run/user/1000/vexa-ports/sim", "Vexa module emulator", "virtual"}},
                false);
        QList<bool> waitCursor;
        rig.probe->OnOpen([&](const QString&) {
            const QCursor* c = QApplication::overrideCursor();
            waitCursor << (c && c->shape() == Qt::WaitCursor);
        });
        rig.probe->FailOpenFor("/dev/ttyUSB0", "busy");
        rig.form->show();
        QCOMPARE(rig.portBox()->count(), 2);
        QCOMPARE(rig.portBox()->currentText(),
                 QString("/run/user/1000/vexa-ports/sim   Vexa module emulator   virtual"));
        QCOMPARE(waitCursor, QList<bool>({true, true, true}));
        QVERIFY(!QApplication::overrideCursor() && !rig.probe->IsOpen());
        QVERIFY(rig.line->OpenAttempts().isEmpty());
    }

    void refreshReselectsThePortByName_data() { vexa::test::AddRows("app/refresh.txt"); }
    void refreshReselectsThePortByName()
    {
        QFETCH(QStringList, f);
        Rig rig(Named({"ttyS0", "ttyS1"}));
        rig.portBox()->setCurrentIndex(1);
        rig.ports.ports = Named(f[0].split(' ', Qt::SkipEmptyParts));
        rig.click("Button1");
        QCOMPARE(rig.portBox()->count(), rig.ports.ports.size());
        QCOMPARE(rig.portBox()->currentIndex(), f[1].toInt());
    }

    // A new speed lets go of the line and is the one ports are probed at.
    void speedChange()
    {
        Rig rig(Named({"ttyS0"}));
        for (const QStringList& row : vexa::test::Table("app/module.txt"))
            rig.line->ReplyTo(row[0].toLatin1(), row[1].toLatin1());
        rig.click("ConnectBtn");
        QVERIFY(rig.line->IsOpen());
        rig.find<QComboBox>("SpeedBox")->setCurrentIndex(2);
        QVERIFY(!rig.line->IsOpen());
        QCOMPARE(rig.find<QPushButton>("ConnectBtn")->text() + '|' + rig.text("ConnectStatusDisp"),
                 QString("Connect|Not Connected"));
        rig.click("Button1");
        QCOMPARE(rig.probe->Settings().baud, 9600u);
    }

    // Sets downloaded or changed since they were loaded or saved are named
    // before the window closes: saved as a plot, discarded, or kept open.
    void closingAsksAboutUnsavedSets_data() { vexa::test::AddRows("app/close.txt"); }
    void closingAsksAboutUnsavedSets()
    {
        QFETCH(QStringList, f); // steps, answer, named, closed
        QTemporaryDir dir;
        Rig rig({{"ttyUSB0", "USB Serial", "USB"}});
        for (const QString& step : f[0].split(' ', Qt::SkipEmptyParts))
            rig.step(step, dir.filePath("saved.csv"));
        QVERIFY(rig.prompts.asked.isEmpty() && rig.prompts.warned.isEmpty());

        using Answer = Prompter::SaveAnswer;
        rig.prompts.closeAnswer = f[1] == "discard"  ? Answer::Discard
                                  : f[1] == "cancel" ? Answer::Cancel
                                                     : Answer::Save;
        const QString closing = dir.filePath("closing.csv");
        rig.files.answers = {f[1] == "save" ? closing : QString()};
        QCOMPARE(rig.form->close(), f[3] == "1");
        QCOMPARE(rig.prompts.asked.isEmpty(), f[2] == "-");
        if (f[2] != "-")
            QVERIFY2(rig.prompts.asked.constFirst().endsWith(" since:\n" + f[2]),
                     qPrintable(rig.prompts.asked.constFirst()));
        QCOMPARE(vexa::test::ReadAll(closing).startsWith("Vexa Plot\r\n"), f[1] == "save");
    }

    // A file named on the command line loads as Load loads it, a file that
    // is none is told, and the plot is shown, the start-up step included.
    void filesFromTheCommandLine()
    {
        Rig rig({});
        const QString picture = vexa::test::TestDataPath("output/tiny.bmp");
        rig.form->OpenDataFiles({vexa::test::TestDataPath("files/low-set.csv"), picture});
        QCOMPARE(rig.find<QComboBox>("ActiveSetCombo")->count(), 2);
        QCOMPARE(rig.prompts.warned,
                 QStringList("Error: Unable to open " + picture +
                             "!\nIt is not a Vexa data file: not one line of it reads as data."));
        QVERIFY(QMetaObject::invokeMethod(rig.find<QTimer>("Timer3"), "timeout"));
        QCOMPARE(rig.page(), QString("DataPage"));
    }

    // A local file dropped anywhere, onto an edit too, loads.
    void droppedFileLoads()
    {
        Rig rig({});
        QWidget* edit = rig.find("InfoText");
        QMimeData mime;
        mime.setUrls({QUrl::fromLocalFile(vexa::test::TestDataPath("files/low-set.csv"))});
        QDragEnterEvent enter(QPoint(5, 5), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
        QDropEvent drop(QPointF(5, 5), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(edit, &enter);
        QApplication::sendEvent(edit, &drop);
        QVERIFY(enter.isAccepted() && drop.isAccepted());
        QCoreApplication::processEvents();
        QCOMPARE(rig.find<QComboBox>("ActiveSetCombo")->currentText(), QString("Low"));
    }

    // The address labels open mail and web, by mouse or key; the icon nothing.
    void aboutActionsOpenTheirAddresses()
    {
        Rig rig({});
        QTest::mouseClick(rig.find("AboutEmail"), Qt::LeftButton);
        QTest::keyClick(rig.find("AboutWebSite"), Qt::Key_Return);
        QTest::mouseClick(rig.find("Image1"), Qt::LeftButton);
        QCOMPARE(rig.shell.opened, QList<QUrl>({QUrl("mailto:support@vexa-instruments.example"),
                                                QUrl("https://www.vexa-instruments.example/")}));
    }
};

QTEST_MAIN(MainFormTest)
#include "tst_mainform.moc"
