// The whole program against the module emulator on a pseudo-terminal: port
// publishing and discovery, QSerialPort, the module actions, the download and a
// firmware update from a web server, once each; the exchanges themselves are
// tested against scripted lines.
#include "HttpStub.h"
#include "RecordingShell.h"
#include "ScriptedUser.h"
#include "TestData.h"
#include "app/TMainForm.h"
#include "firmwareui/TUpdateForm.h"
#include "platform/QtSerialDevice.h"

#include <QComboBox>
#include <QLabel>
#include <QPlainTextEdit>
#include <QProcess>
#include <QPushButton>
#include <QScopeGuard>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

using namespace vexa;
using namespace vexa::test;

class TestEmulator : public QObject {
    Q_OBJECT

    QTemporaryDir runtime_;
    QProcess sim_;
    QStringList printed_; // pty path, published link
    HttpStub server_;
    SteadyClock clock_;
    SystemPortSource ports_;
    RecordingShell shell_;
    ScriptedPrompter prompts_;
    std::unique_ptr<TMainForm> form_;

    template <typename T = QWidget> T* find(const char* name, QObject* in = nullptr) const
    {
        return (in ? in : form_.get())->findChild<T*>(QLatin1String(name));
    }
    QString info() const { return find<QPlainTextEdit>("InfoText")->toPlainText(); }

private slots:
    void initTestCase()
    {
        QVERIFY(runtime_.isValid());
        qputenv("XDG_RUNTIME_DIR", runtime_.path().toLocal8Bit());
        qputenv("TMPDIR", runtime_.path().toLocal8Bit());
        // A link left by a killed emulator of the same name is replaced.
        QVERIFY(QDir(runtime_.path()).mkdir("vexa-ports") &&
                QFile::link("/nonexistent/pts/98", runtime_.filePath("vexa-ports/it-sim")));
        sim_.start(VEXA_MODULE_SIM, {"--name", "it-sim", "--flights", "3", "--seed=7"});
        while (printed_.size() < 2 && sim_.waitForReadyRead(5000))
            while (sim_.canReadLine())
                printed_ << QString::fromLocal8Bit(sim_.readLine()).trimmed();
        QCOMPARE(printed_.size(), 2);
        QCOMPARE(printed_[1], runtime_.filePath("vexa-ports/it-sim"));
        QCOMPARE(QFileInfo(printed_[1]).symLinkTarget(), printed_[0]);
        // Leftovers of emulators gone are not offered.
        QVERIFY(QFile::link("/nonexistent/pts/99", runtime_.filePath("vexa-ports/a-dead")));
        QCOMPARE(ListEmulatorPorts(runtime_.filePath("vexa-ports")).size(), std::size_t(1));

        QByteArray list = TestData("updates/two-entries.txt");
        list.replace("@BASE@", server_.Url(QString()).toString().toLatin1());
        server_.Set("/list.txt", {200, list});
        server_.Set("/big.hex", {200, ReadAll(VEXA_UPDATE_SAMPLES "/vexa-6.1.03.hex")});
        form_ = std::make_unique<TMainForm>(
            MainFormDeps{.clock = clock_,
                         .makeDevice = [] { return std::make_unique<QtSerialDevice>(); },
                         .ports = ports_,
                         .shell = shell_,
                         .programDir = {},
                         .prompter = &prompts_,
                         .updateList = server_.Url("/list.txt")});
        form_->show();
    }

    void listedConnectsErasesAndDownloads()
    {
        auto* box = find<QComboBox>("CommPortBox");
        QCOMPARE(box->findText("a-dead", Qt::MatchContains), -1);
        const int index = box->findText(printed_[1] + "   Vexa module emulator   virtual");
        QVERIFY2(index >= 0, qPrintable(printed_[1]));
        box->setCurrentIndex(index);
        find<QPushButton>("ConnectBtn")->click();
        QVERIFY2(prompts_.warned.isEmpty(), qPrintable(prompts_.warned.join('\n')));
        QVERIFY(info().endsWith("Configuration loaded."));

        find<QPushButton>("DLInfoBtn")->click();
        QVERIFY2(info().endsWith("Memory contains 3 data sets."), qPrintable(info()));
        find<QComboBox>("SetList")->setCurrentIndex(1);
        find<QPushButton>("EraseDataBtn")->click();
        QVERIFY2(info().endsWith("Memory contains 2 data sets."), qPrintable(info()));
        find<QComboBox>("SetList")->setCurrentIndex(0);
        find<QPushButton>("DLDataBtn")->click();
        const QStringList last = info().split('\n').last().split(' ');
        QVERIFY2(last.mid(0, 3).join(' ') == "Set 1: Downloaded" && last.at(3).toInt() > 100,
                 qPrintable(last.join(' ')));
    }

    void updatesTheFirmware()
    {
        auto* connectBtn = find<QPushButton>("ConnectBtn");
        auto* dialog = form_->findChild<TUpdateForm*>();
        QString status;
        QTimer::singleShot(0, this, [&] {
            // Closed however the checks end, or the button's handler never returns.
            const auto close = qScopeGuard([&] { dialog->reject(); });
            auto* grid = find<QTableWidget>("StringGrid1", dialog);
            QTRY_COMPARE(grid->rowCount(), 2);
            grid->selectRow(1);
            find<QPushButton>("LoadBtn", dialog)->click();
            QTRY_VERIFY_WITH_TIMEOUT(!dialog->Updating(), 60000);
            status = find<QLabel>("StatusText", dialog)->text();
        });
        find<QPushButton>("UpdateBtn")->click();
        QCOMPARE(status, QString("Complete."));
        QVERIFY2(prompts_.warned.isEmpty(), qPrintable(prompts_.warned.join('\n')));

        // The module runs again after the restart.
        connectBtn->click();
        QCOMPARE(find<QLabel>("ConnectStatusDisp")->text(), QString("Connected"));
        connectBtn->click(); // let go of the line
    }

    void stopsCleanly()
    {
        sim_.terminate(); // SIGTERM: the link goes with the emulator
        QVERIFY(sim_.waitForFinished(5000));
        QVERIFY(sim_.exitStatus() == QProcess::NormalExit && sim_.exitCode() == 0);
        QVERIFY(!QFileInfo(printed_[1]).isSymLink());

        QCOMPARE(QDir(runtime_.path()).entryList({"vexa-update-*"}), QStringList());
    }

    void badOptionIsRefused()
    {
        QProcess p;
        p.start(VEXA_MODULE_SIM, {"--baud", "fast"});
        QVERIFY(p.waitForFinished(5000));
        QCOMPARE(p.exitCode(), 2);
        QVERIFY(p.readAllStandardError().contains("--baud") && p.readAllStandardOutput().isEmpty());
    }

    void cleanupTestCase()
    {
        form_.reset();
        sim_.terminate();
        sim_.waitForFinished(3000);
    }
};

QTEST_MAIN(TestEmulator)
#include "tst_emulator.moc"
