// Settings kept between runs, against the stores in tests/data/settings.
#include "AppTables.h"
#include "FakeSerialDevice.h"
#include "RecordingShell.h"
#include "ScriptedUser.h"
#include "VirtualClock.h"
#include "app/Settings.h"
#include "app/TMainForm.h"

#include <QGuiApplication>
#include <QLineEdit>
#include <QScreen>
#include <QSettings>
#include <QTemporaryDir>

using namespace vexa;
using namespace vexa::test;

namespace {

// A store copied from a data file (none: no store), with `line` in place of
// its key's line; a key alone removes it.
QString PrepareStore(const QTemporaryDir& dir, const QString& source, const QString& line = {})
{
    const QString path = dir.filePath("store.ini");
    QByteArray text = TestData("../settings/" + source);
    if (const qsizetype at = text.indexOf("\n" + line.section('=', 0, 0).toLatin1() + "=") + 1;
        !line.isEmpty() && at > 0)
        text.replace(at, text.indexOf('\n', at) + 1 - at,
                     line.contains('=') ? line.toLatin1() + "\n" : QByteArray());
    QFile file(path);
    if (!source.isEmpty() && (!file.open(QIODevice::WriteOnly) || file.write(text) < 0))
        qFatal("cannot write %s", qPrintable(path));
    return path;
}

// One shown main window over fakes, keeping its settings in file.
struct Rig {
    explicit Rig(const QString& file)
    {
        ports.ports = {
            {"ttyS0", {}, {}}, {"ttyS1", {}, {}}, {"ttyUSB0", {}, "USB"}, {"ttyUSB1", {}, "USB"}};
        MainFormDeps deps{
            clock, [this] { return std::make_unique<FakeSerialDevice>(clock); }, ports, shell, {}};
        deps.settingsFile = file;
        form = std::make_unique<TMainForm>(deps);
        form->show();
    }
    VirtualClock clock;
    ListedPorts ports;
    RecordingShell shell;
    std::unique_ptr<TMainForm> form;
};

} // namespace

class TestSettings : public QObject {
    Q_OBJECT

private slots:
    // What is read is written back out and compared with the expected file;
    // a folder that cannot be made is reported.
    void readStopsAtFirstFailure_data() { AddRows("settings-read.txt"); }
    void readStopsAtFirstFailure()
    {
        QFETCH(QStringList, f);
        QTemporaryDir dir;
        AppSettings values; // the holders' state before reading
        QCOMPARE(ReadSettings(*OpenSettingsStore(PrepareStore(dir, f[0], f[1])), values),
                 f[2].toInt());
        const QString out = dir.filePath("out.ini");
        QVERIFY(WriteSettings(*OpenSettingsStore(out), values));
        QCOMPARE(ReadAll(out), TestData("../settings/" + f[3]));
        QVERIFY(!WriteSettings(*OpenSettingsStore(out + "/x.ini"), values));
    }

    // Start, close, compare the file: every value passes through its holder.
    void windowRoundTrip_data()
    {
        QTest::addColumn<QString>("source");
        QTest::addColumn<QString>("expected");
        // Defaults, the first USB port, and two edit texts as typed below.
        QTest::newRow("first run") << QString() << "firstrun.ini";
        QTest::newRow("stored set") << "full.ini"
                                    << "full.ini";
        // Read as nothing stored, then replaced by a complete set.
        QTest::newRow("corrupt store") << "corrupt.ini"
                                       << "firstrun.ini";
    }
    void windowRoundTrip()
    {
        QFETCH(QString, source);
        QFETCH(QString, expected);
        QTemporaryDir dir;
        const QString path = PrepareStore(dir, source);
        Rig rig(path);
        if (expected == "firstrun.ini") {
            rig.form->findChild<QLineEdit*>("AutoStartSecEdit")->setText("12abc");
            rig.form->findChild<QLineEdit*>("AutoStopSecEdit")->clear();
        }
        QVERIFY(rig.form->close());
        QCOMPARE(ReadAll(path), TestData("../settings/" + expected));
    }

    // One value of full.ini replaced, seen in a control's property (no
    // control: the window's); nothing expected: on the primary screen.
    void storedValuesInWindow_data()
    {
        QTest::addColumn<QString>("line");
        QTest::addColumn<QString>("property");
        QTest::addColumn<QVariant>("expected");
        const auto row = [](const char* tag, const char* line, const char* property,
                            const QVariant& expected) {
            QTest::newRow(tag) << QString(line) << QString(property) << expected;
        };
        row("AutoZero 2 sets the hidden box", "AutoZero=2", "AutoZeroChk.checked", true);
        row("AutoZero 1 leaves it off", "AutoZero=1", "AutoZeroChk.checked", false);
        row("AutoZero 3 selects its item", "AutoZero=3", "AutoZeroStart.checked", true);
        row("AutoStart outside the group", "AutoStart=7", "AutoStartPowerup.checked", false);
        row("ComPort beyond the list", "ComPort=4", "CommPortBox.currentIndex", -1);
        row("BaudRate beyond the rates", "BaudRate=6", "SpeedBox.currentIndex", -1);
        row("Interval steps the milliseconds", "Interval=70000", "mSecSpin.singleStep", 4464);
        row("window partly on screen", "Left=-700", ".pos", QPoint(-700, 30));
        row("window off every screen", "Left=-30000", ".pos", QVariant());
    }
    void storedValuesInWindow()
    {
        QFETCH(QString, line);
        QFETCH(QString, property);
        QFETCH(QVariant, expected);
        QTemporaryDir dir;
        Rig rig(PrepareStore(dir, "full.ini", line));
        const QString name = property.section('.', 0, 0);
        QObject* target = name.isEmpty() ? rig.form.get() : rig.form->findChild<QObject*>(name);
        const QVariant got = target->property(qPrintable(property.section('.', 1)));
        if (expected.isValid())
            QCOMPARE(got, expected);
        else
            QVERIFY(QGuiApplication::primaryScreen()->geometry().contains(got.toPoint()));
    }
};

QTEST_MAIN(TestSettings)
#include "tst_settings.moc"
