// A firmware update from a web server in the test, through the main window's
// "Update Firmware", into the module emulator's boot loader on a pty.
#include "HttpStub.h"
#include "RecordingShell.h"
#include "ScriptedUser.h"
#include "app/TMainForm.h"
#include "firmware/HexImage.h"
#include "firmwareui/TUpdateForm.h"
#include "platform/QtSerialDevice.h"

#include <QComboBox>
#include <QLabel>
#include <QProcess>
#include <QPushButton>
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

template <typename T> static T* Find(QObject* in, const char* name)
{
    return in->findChild<T*>(QLatin1String(name));
}

class TestUpdateEmulator : public QObject {
    Q_OBJECT

    QTemporaryDir temp_;
    QProcess sim_;
    HttpStub server_;
    SteadyClock clock_;
    SystemPortSource ports_;
    RecordingShell shell_;
    ScriptedPrompter prompts_;

private slots:
    void programsTheEmulator()
    {
        QVERIFY(temp_.isValid());
        qputenv("XDG_RUNTIME_DIR", temp_.path().toLocal8Bit());
        qputenv("TMPDIR", temp_.path().toLocal8Bit());
        const QString flashPath = temp_.filePath("flash.bin");
        sim_.start(VEXA_MODULE_SIM, {"--name", "update-sim", "--flash-dump", flashPath});
        QStringList lines;
        while (lines.size() < 2 && sim_.waitForReadyRead(5000))
            while (sim_.canReadLine())
                lines << QString::fromLocal8Bit(sim_.readLine()).trimmed();
        QCOMPARE(lines.size(), 2);

        QByteArray list = ReadAll(VEXA_TEST_DATA "/updates/two-entries.txt");
        list.replace("@BASE@", server_.Url(QString()).toString().toLatin1());
        server_.Set("/list.txt", {200, list});
        const QByteArray hex = ReadAll(VEXA_UPDATE_SAMPLES "/vexa-6.1.03.hex");
        server_.Set("/big.hex", {200, hex});
        TMainForm form({.clock = clock_,
                        .makeDevice = [] { return std::make_unique<QtSerialDevice>(); },
                        .ports = ports_,
                        .shell = shell_,
                        .programDir = QString(),
                        .prompter = &prompts_,
                        .updateList = server_.Url("/list.txt")});
        form.show();

        auto* box = Find<QComboBox>(&form, "CommPortBox");
        box->setCurrentIndex(box->findText(lines[1] + "   Vexa module emulator   virtual"));
        auto* connectBtn = Find<QPushButton>(&form, "ConnectBtn");
        auto* connectStatus = Find<QLabel>(&form, "ConnectStatusDisp");
        connectBtn->click();
        QCOMPARE(connectBtn->text(), QString("Disconnect"));

        auto* dialog = form.findChild<TUpdateForm*>();
        QString status;
        QTimer::singleShot(0, this, [&] {
            // Closed however the checks end, or the button's handler never returns.
            const auto close = qScopeGuard([&] { dialog->reject(); });
            auto* grid = Find<QTableWidget>(dialog, "StringGrid1");
            QTRY_COMPARE(grid->rowCount(), 2);
            grid->selectRow(1);
            Find<QPushButton>(dialog, "LoadBtn")->click();
            // The main window's link was closed, the port is the update's.
            QCOMPARE(connectStatus->text() + connectBtn->text(),
                     QString("Not ConnectedDisconnect"));
            QTRY_VERIFY_WITH_TIMEOUT(!dialog->Updating(), 60000);
            status = Find<QLabel>(dialog, "StatusText")->text();
        });
        Find<QPushButton>(&form, "UpdateBtn")->click();
        QCOMPARE(status, QString("Complete."));
        QVERIFY2(prompts_.warned.isEmpty(), qPrintable(prompts_.warned.join('\n')));
        QCOMPARE(connectBtn->text(), QString("Connect"));

        // The module runs again after the restart.
        connectBtn->click();
        QCOMPARE(connectStatus->text(), QString("Connected"));
        connectBtn->click();

        sim_.terminate();
        QVERIFY(sim_.waitForFinished(5000));
        ProgrammingState image;
        QVERIFY(LoadHexText(hex, image).ok);
        const QByteArray flash = ReadAll(flashPath);
        QCOMPARE(flash.size(), CodeSpace);
        QCOMPARE(flash.left(image.ImageLength),
                 QByteArray(reinterpret_cast<const char*>(image.FirmwareImage.data()),
                            image.ImageLength));
        QCOMPARE(QDir(temp_.path()).entryList({"vexa-update-*"}), QStringList());
    }

    void cleanupTestCase()
    {
        sim_.terminate();
        sim_.waitForFinished(3000);
    }
};

QTEST_MAIN(TestUpdateEmulator)
#include "tst_update_emulator.moc"
