// A firmware update from a web server in the test, through the main window's
// "Update Firmware", into the module emulator's boot loader on a pty.
#include "HttpStub.h"
#include "RecordingShell.h"
#include "ScriptedPrompter.h"
#include "app/TMainForm.h"
#include "firmware/HexImage.h"
#include "firmwareui/TUpdateForm.h"
#include "platform/QtSerialDevice.h"

#include <QComboBox>
#include <QLabel>
#include <QProcess>
#include <QPushButton>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

using namespace vexa;
using namespace vexa::test;

namespace {

QByteArray ReadAll(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

} // namespace

class TestUpdateEmulator : public QObject {
    Q_OBJECT

    QTemporaryDir temp_;
    QProcess sim_;
    QString link_;
    HttpStub server_;
    SteadyClock clock_;
    SystemPortSource ports_;
    RecordingShell shell_;
    ScriptedPrompter prompts_;
    std::unique_ptr<TMainForm> form_;

    template <typename T = QWidget> T* find(QObject* in, const char* name) const
    {
        T* w = in->findChild<T*>(QLatin1String(name));
        if (!w)
            qFatal("no control %s", name);
        return w;
    }
    QString flashPath() const { return temp_.filePath("flash.bin"); }

    // Inside the modal dialog: load the second entry and wait for its end.
    void Update(TUpdateForm* dialog)
    {
        auto* grid = find<QTableWidget>(dialog, "StringGrid1");
        QTRY_COMPARE(grid->rowCount(), 2);
        grid->selectRow(1);
        find<QPushButton>(dialog, "LoadBtn")->click();
        QCOMPARE(find<QLabel>(form_.get(), "ConnectStatusDisp")->text(), QString("Not Connected"));
        QCOMPARE(find<QPushButton>(form_.get(), "ConnectBtn")->text(), QString("Disconnect"));
        QTRY_VERIFY_WITH_TIMEOUT(!dialog->Updating(), 60000);
        QCOMPARE(find<QLabel>(dialog, "StatusText")->text(), QString("Complete."));
        QCOMPARE(find<QLabel>(dialog, "RestartPanel")->palette().color(QPalette::WindowText),
                 QColor(Qt::green));
    }

private slots:
    void initTestCase()
    {
        QVERIFY(temp_.isValid());
        qputenv("XDG_RUNTIME_DIR", temp_.path().toLocal8Bit());
        qputenv("TMPDIR", temp_.path().toLocal8Bit());
        sim_.setProgram(QStringLiteral(VEXA_MODULE_SIM));
        sim_.setArguments({"--name", "update-sim", "--flash-dump", flashPath()});
        sim_.start();
        QVERIFY(sim_.waitForStarted());
        QStringList lines;
        while (lines.size() < 2 && sim_.waitForReadyRead(5000))
            while (sim_.canReadLine())
                lines << QString::fromLocal8Bit(sim_.readLine()).trimmed();
        QCOMPARE(lines.size(), 2);
        link_ = lines[1];

        QByteArray list = ReadAll(QStringLiteral(VEXA_TEST_DATA "/updates/two-entries.txt"));
        list.replace("@BASE@", server_.Url(QString()).toString().toLatin1());
        server_.Set("/list.txt", {200, list, "text/plain"});
        server_.Set("/big.hex",
                    {200, ReadAll(QStringLiteral(VEXA_UPDATE_SAMPLES "/vexa-6.1.03.hex"))});

        MainFormDeps deps{clock_,    [] { return std::make_unique<QtSerialDevice>(); },
                          ports_,    shell_,
                          QString(), &prompts_};
        deps.updateList = server_.Url("/list.txt");
        form_ = std::make_unique<TMainForm>(std::move(deps));
        form_->show();
    }

    void programsTheEmulator()
    {
        auto* box = find<QComboBox>(form_.get(), "CommPortBox");
        const int index = box->findText(link_ + "   Vexa module emulator   virtual");
        QVERIFY2(index >= 0, qPrintable(link_));
        box->setCurrentIndex(index);
        auto* connectBtn = find<QPushButton>(form_.get(), "ConnectBtn");
        connectBtn->click();
        QCOMPARE(connectBtn->text(), QString("Disconnect"));

        auto* dialog = form_->findChild<TUpdateForm*>();
        QVERIFY(dialog);
        QTimer::singleShot(0, this, [this, dialog] {
            Update(dialog);
            dialog->reject();
        });
        find<QPushButton>(form_.get(), "UpdateBtn")->click();
        QVERIFY2(prompts_.warned.isEmpty(), qPrintable(prompts_.warned.join('\n')));
        QCOMPARE(connectBtn->text(), QString("Connect"));

        // The module runs again after the restart.
        connectBtn->click();
        QCOMPARE(find<QLabel>(form_.get(), "ConnectStatusDisp")->text(), QString("Connected"));
        connectBtn->click();

        sim_.terminate();
        QVERIFY(sim_.waitForFinished(5000));
        ProgrammingState image;
        QVERIFY(
            LoadHexText(ReadAll(QStringLiteral(VEXA_UPDATE_SAMPLES "/vexa-6.1.03.hex")), image).ok);
        const QByteArray flash = ReadAll(flashPath());
        QCOMPARE(flash.size(), CodeSpace);
        QCOMPARE(flash.left(image.ImageLength),
                 QByteArray(reinterpret_cast<const char*>(image.FirmwareImage.data()),
                            image.ImageLength));
        QCOMPARE(QDir(temp_.path()).entryList({"vexa-update-*"}), QStringList());
    }

    void cleanupTestCase()
    {
        form_.reset();
        sim_.terminate();
        sim_.waitForFinished(3000);
    }
};

QTEST_MAIN(TestUpdateEmulator)
#include "tst_update_emulator.moc"
