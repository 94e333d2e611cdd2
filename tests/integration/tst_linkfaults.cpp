// A real line that breaks, against the module emulator on a pseudo-terminal:
// a download cut off mid-set, and the port going away under the window.
#include "RecordingShell.h"
#include "ScriptedUser.h"
#include "TestData.h"
#include "app/TMainForm.h"
#include "data/Download.h"
#include "platform/QtSerialDevice.h"

#include <QComboBox>
#include <QLabel>
#include <QPlainTextEdit>
#include <QProcess>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>

using namespace vexa;
using namespace vexa::test;

class TestLinkFaults : public QObject {
    Q_OBJECT

    QTemporaryDir runtime_;
    QProcess sim_;
    SteadyClock clock_;

    // The emulator's pty path, then its published link.
    QStringList Start(const QStringList& args)
    {
        sim_.start(VEXA_MODULE_SIM, args);
        QStringList printed;
        while (printed.size() < 2 && sim_.waitForReadyRead(5000))
            printed << QString::fromLocal8Bit(sim_.readAll()).split('\n', Qt::SkipEmptyParts);
        return printed;
    }

private slots:
    void initTestCase() { qputenv("XDG_RUNTIME_DIR", runtime_.path().toLocal8Bit()); }
    void cleanup()
    {
        sim_.terminate();
        QVERIFY(sim_.state() == QProcess::NotRunning || sim_.waitForFinished(3000));
    }

    void downloadCut_data() { AddRows("link/emulator-cuts.txt"); }
    void downloadCut()
    {
        QFETCH(QStringList, f);
        const QStringList printed =
            Start({"--flights", "0", "--load", TestDataPath("link/forty-samples.txt"),
                   "--drop-after", f[0]});
        QtSerialDevice device;
        SerialPort port(device, clock_);
        ModuleLink link(port);
        QVERIFY(port.Open(printed.value(0), 115200));
        DataSetStore store;
        const SetDownloadResult result = DownloadSet(link, store, 0, QDate(2026, 12, 7), {});
        QCOMPARE(result.infoLines.mid(1).join(';'), f[1]);
        QCOMPARE(store.Set(0).samples.Count(), f[0].toInt());
        QCOMPARE(store.Set(0).note1, f[2]);
    }

    // The emulator ends while the window is connected to it.
    void portGoesAway()
    {
        const QString published = Start({"--flights", "1"}).value(1);
        SystemPortSource ports;
        RecordingShell shell;
        ScriptedPrompter prompts;
        TMainForm form({.clock = clock_,
                        .makeDevice = [] { return std::make_unique<QtSerialDevice>(); },
                        .ports = ports,
                        .shell = shell,
                        .programDir = {},
                        .prompter = &prompts});
        form.show();
        auto* box = form.findChild<QComboBox*>("CommPortBox");
        box->setCurrentIndex(box->findText(published, Qt::MatchStartsWith));
        form.findChild<QPushButton*>("ConnectBtn")->click();
        auto* status = form.findChild<QLabel*>("ConnectStatusDisp");
        QCOMPARE(status->text(), QString("Connected"));
        sim_.terminate();
        QTRY_COMPARE(status->text(), QString("Not Connected"));
        const QString info = form.findChild<QPlainTextEdit*>("InfoText")->toPlainText();
        QVERIFY2(info.contains("The port " + published + " went away"), qPrintable(info));
        QCOMPARE(box->findText(published, Qt::MatchStartsWith), -1);
    }
};

QTEST_MAIN(TestLinkFaults)
#include "tst_linkfaults.moc"
