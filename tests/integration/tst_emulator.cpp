// The whole program against the module emulator on a pseudo-terminal: port
// publishing and discovery, QSerialPort, the module actions, the download and a
// firmware update from a web server, once each; the exchanges themselves are
// tested against scripted lines.
#include "HttpStub.h"
#include "RecordingShell.h"
#include "ScriptedUser.h"
#include "app/TMainForm.h"
#include "firmware/HexImage.h"
#include "firmwareui/TUpdateForm.h"
#include "platform/QtSerialDevice.h"

#include <QComboBox>
#include <QLabel>
#include <QPlainTextEdit>
#include <QProcess>
#include <QPushButton>
#include <QRadioButton>
#include <QScopeGuard>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

using namespace vexa;
using namespace vexa::test;

static QByteArray ReadAll(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

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
        T* w = (in ? in : form_.get())->findChild<T*>(QLatin1String(name));
        if (!w)
            qFatal("no control %s", name);
        return w;
    }
    QString info() const { return find<QPlainTextEdit>("InfoText")->toPlainText(); }
    QString flashPath() const { return runtime_.filePath("flash.bin"); }

private slots:
    void initTestCase()
    {
        QVERIFY(runtime_.isValid());
        qputenv("XDG_RUNTIME_DIR", runtime_.path().toLocal8Bit());
        qputenv("TMPDIR", runtime_.path().toLocal8Bit());
        sim_.start(VEXA_MODULE_SIM, {"--name", "it-sim", "--flights", "3", "--seed", "7",
                                     "--flash-dump", flashPath()});
        while (printed_.size() < 2 && sim_.waitForReadyRead(5000))
            while (sim_.canReadLine())
                printed_ << QString::fromLocal8Bit(sim_.readLine()).trimmed();
        QCOMPARE(printed_.size(), 2);
        QCOMPARE(printed_[1], runtime_.filePath("vexa-ports/it-sim"));
        QCOMPARE(QFileInfo(printed_[1]).symLinkTarget(), printed_[0]);
        // Leftovers of emulators gone are not offered.
        QVERIFY(QFile::link("/nonexistent/pts/99", runtime_.filePath("vexa-ports/a-dead")));
        QFile plain(runtime_.filePath("vexa-ports/c-file"));
        QVERIFY(plain.open(QIODevice::WriteOnly));

        QByteArray list = ReadAll(VEXA_TEST_DATA "/updates/two-entries.txt");
        list.replace("@BASE@", server_.Url(QString()).toString().toLatin1());
        server_.Set("/list.txt", {200, list});
        server_.Set("/big.hex", {200, ReadAll(VEXA_UPDATE_SAMPLES "/vexa-6.1.03.hex")});
        form_ = std::make_unique<TMainForm>(
            MainFormDeps{.clock = clock_,
                         .makeDevice = [] { return std::make_unique<QtSerialDevice>(); },
                         .ports = ports_,
                         .shell = shell_,
                         .programDir = QString(),
                         .prompter = &prompts_,
                         .updateList = server_.Url("/list.txt")});
        form_->show();
    }

    void emulatorIsListedAndConnects()
    {
        auto* box = find<QComboBox>("CommPortBox");
        QCOMPARE(box->findText("a-dead", Qt::MatchContains), -1);
        QCOMPARE(box->findText("c-file", Qt::MatchContains), -1);
        const int index = box->findText(printed_[1] + "   Vexa module emulator   virtual");
        QVERIFY2(index >= 0, qPrintable(printed_[1]));
        box->setCurrentIndex(index);
        find<QPushButton>("ConnectBtn")->click();
        QVERIFY2(prompts_.warned.isEmpty(), qPrintable(prompts_.warned.join('\n')));
        QCOMPARE(find<QLabel>("ConnectStatusDisp")->text(), QString("Connected"));
        QVERIFY(info().endsWith("Configuration loaded."));
        QCOMPARE(find<QLabel>("mSecPanel")->text(), QString("100"));
        QVERIFY(find<QRadioButton>("UnitsFeet")->isChecked());
    }

    void infoEraseAndDownload()
    {
        find<QPushButton>("DLInfoBtn")->click();
        QVERIFY2(info().endsWith("Memory contains 3 data sets."), qPrintable(info()));
        QVERIFY(info().startsWith("     Device Name: VEXA"));

        auto* sets = find<QComboBox>("SetList");
        sets->setCurrentIndex(1);
        find<QPushButton>("EraseDataBtn")->click();
        QVERIFY2(info().endsWith("Memory contains 2 data sets."), qPrintable(info()));
        QCOMPARE(sets->count(), 3);

        sets->setCurrentIndex(0);
        find<QPushButton>("DLDataBtn")->click();
        const QString last = info().split('\n').last();
        QVERIFY2(last.startsWith("Set 1: Downloaded ") && last.endsWith(" data samples."),
                 qPrintable(last));
        QVERIFY(last.split(' ').at(3).toInt() > 100);
        QCOMPARE(find<QComboBox>("ActiveSetCombo")->count(), 2);
    }

    void updatesTheFirmware()
    {
        auto* connectBtn = find<QPushButton>("ConnectBtn");
        auto* connectStatus = find<QLabel>("ConnectStatusDisp");
        QCOMPARE(connectBtn->text(), QString("Disconnect"));
        auto* dialog = form_->findChild<TUpdateForm*>();
        QString status;
        QTimer::singleShot(0, this, [&] {
            // Closed however the checks end, or the button's handler never returns.
            const auto close = qScopeGuard([&] { dialog->reject(); });
            auto* grid = find<QTableWidget>("StringGrid1", dialog);
            QTRY_COMPARE(grid->rowCount(), 2);
            grid->selectRow(1);
            find<QPushButton>("LoadBtn", dialog)->click();
            // The main window's link was closed, the port is the update's.
            QCOMPARE(connectStatus->text() + connectBtn->text(),
                     QString("Not ConnectedDisconnect"));
            QTRY_VERIFY_WITH_TIMEOUT(!dialog->Updating(), 60000);
            status = find<QLabel>("StatusText", dialog)->text();
        });
        find<QPushButton>("UpdateBtn")->click();
        QCOMPARE(status, QString("Complete."));
        QVERIFY2(prompts_.warned.isEmpty(), qPrintable(prompts_.warned.join('\n')));
        QCOMPARE(connectBtn->text(), QString("Connect"));

        // The module runs again after the restart.
        connectBtn->click();
        QCOMPARE(connectStatus->text(), QString("Connected"));
        connectBtn->click(); // let go of the line
    }

    void stopsCleanlyWithTheNewFlash()
    {
        sim_.terminate(); // SIGTERM: the link goes with the emulator
        QVERIFY(sim_.waitForFinished(5000));
        QCOMPARE(sim_.exitStatus(), QProcess::NormalExit);
        QCOMPARE(sim_.exitCode(), 0);
        QVERIFY(!QFileInfo(printed_[1]).isSymLink());

        ProgrammingState image;
        QVERIFY(LoadHexText(ReadAll(VEXA_UPDATE_SAMPLES "/vexa-6.1.03.hex"), image).ok);
        const QByteArray flash = ReadAll(flashPath());
        QCOMPARE(flash.size(), CodeSpace);
        QCOMPARE(flash.left(image.ImageLength),
                 QByteArray(reinterpret_cast<const char*>(image.FirmwareImage.data()),
                            image.ImageLength));
        QCOMPARE(QDir(runtime_.path()).entryList({"vexa-update-*"}), QStringList());
    }

    void badOptionIsRefused()
    {
        QProcess p;
        p.start(VEXA_MODULE_SIM, {"--baud", "fast"});
        QVERIFY(p.waitForFinished(5000));
        QCOMPARE(p.exitCode(), 2);
        QVERIFY(p.readAllStandardError().contains("--baud"));
        QVERIFY(p.readAllStandardOutput().isEmpty());
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
