// The whole program against the module emulator on a pseudo-terminal:
// port discovery, QSerialPort, the module actions and the download, once
// each; the exchanges themselves are tested against scripted lines.
#include "RecordingShell.h"
#include "ScriptedUser.h"
#include "app/TMainForm.h"
#include "platform/QtSerialDevice.h"

#include <QComboBox>
#include <QLabel>
#include <QPlainTextEdit>
#include <QProcess>
#include <QPushButton>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QTest>

using namespace vexa;
using vexa::test::RecordingShell;

class TestEmulator : public QObject {
    Q_OBJECT

    QTemporaryDir runtime_;
    QProcess sim_;
    QString link_;
    SteadyClock clock_;
    SystemPortSource ports_;
    RecordingShell shell_;
    vexa::test::ScriptedPrompter prompts_;
    std::unique_ptr<TMainForm> form_;

    template <typename T = QWidget> T* find(const char* name) const
    {
        T* w = form_->findChild<T*>(QLatin1String(name));
        if (!w)
            qFatal("no control %s", name);
        return w;
    }
    QString info() const { return find<QPlainTextEdit>("InfoText")->toPlainText(); }

private slots:
    void initTestCase()
    {
        QVERIFY(runtime_.isValid());
        qputenv("XDG_RUNTIME_DIR", runtime_.path().toLocal8Bit());
        sim_.setProgram(QStringLiteral(VEXA_MODULE_SIM));
        sim_.setArguments({"--name", "it-sim", "--flights", "3", "--seed", "7"});
        sim_.start();
        QVERIFY(sim_.waitForStarted());
        QStringList lines;
        while (lines.size() < 2 && sim_.waitForReadyRead(5000))
            while (sim_.canReadLine())
                lines << QString::fromLocal8Bit(sim_.readLine()).trimmed();
        QCOMPARE(lines.size(), 2);
        link_ = lines[1];

        form_ = std::make_unique<TMainForm>(
            MainFormDeps{clock_, [] { return std::make_unique<QtSerialDevice>(); }, ports_, shell_,
                         QString(), &prompts_});
        form_->show();
    }

    void cleanupTestCase()
    {
        form_.reset();
        sim_.terminate();
        sim_.waitForFinished(3000);
    }

    void emulatorIsListedAndConnects()
    {
        auto* box = find<QComboBox>("CommPortBox");
        const int index = box->findText(link_ + "   Vexa module emulator   virtual");
        QVERIFY2(index >= 0, qPrintable(link_));
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
        find<QPushButton>("ConnectBtn")->click(); // let go of the line
    }
};

QTEST_MAIN(TestEmulator)
#include "tst_emulator.moc"
