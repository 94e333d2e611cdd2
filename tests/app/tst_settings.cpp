// Settings kept between runs, against the stores in tests/data/settings.
#include "FakeSerialDevice.h"
#include "RecordingShell.h"
#include "ScriptedUser.h"
#include "TestData.h"
#include "VirtualClock.h"
#include "app/Settings.h"
#include "app/TMainForm.h"

#include <QFile>
#include <QGuiApplication>
#include <QLineEdit>
#include <QScreen>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>

using namespace vexa;
using vexa::test::FakeSerialDevice;

namespace {

QByteArray ReadAll(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

// A store copied from a data file, with one value replaced (an invalid
// value removes it). Each case gets its own file.
QString PrepareStore(const QTemporaryDir& dir, const QString& source, const QString& key = {},
                     const QVariant& value = {})
{
    const QString path = dir.filePath(QStringLiteral("store.ini"));
    QFile::copy(test::TestDataPath("../settings/" + source), path);
    QSettings s(path, QSettings::IniFormat);
    const QString name = QStringLiteral("Settings/") + key;
    if (!key.isEmpty())
        value.isValid() ? s.setValue(name, value) : s.remove(name);
    return path;
}

// One shown main window over fakes, keeping its settings in file.
struct Rig {
    explicit Rig(const QString& file)
    {
        auto factory = [this] { return std::make_unique<FakeSerialDevice>(clock); };
        ports.ports = {
            {"ttyS0", {}, {}}, {"ttyS1", {}, {}}, {"ttyUSB0", {}, "USB"}, {"ttyUSB1", {}, "USB"}};
        MainFormDeps deps{clock, factory, ports, shell, QString()};
        deps.settingsFile = file;
        form = std::make_unique<TMainForm>(deps);
        form->show();
    }
    test::VirtualClock clock;
    test::ListedPorts ports;
    test::RecordingShell shell;
    std::unique_ptr<TMainForm> form;
};

} // namespace

class TestSettings : public QObject {
    Q_OBJECT

private slots:
    // What is read is written back out and compared with the expected file.
    void readStopsAtFirstFailure_data()
    {
        QTest::addColumn<QString>("source");
        QTest::addColumn<QString>("key");
        QTest::addColumn<QVariant>("value");
        QTest::addColumn<int>("read");
        QTest::addColumn<QString>("expected");
        const QString full = QStringLiteral("full.ini");
        QTest::newRow("first run") << QString() << QString() << QVariant() << 0 << "defaults.ini";
        QTest::newRow("everything") << full << QString() << QVariant() << 29 << full;
        QTest::newRow("AutoZero missing")
            << full << "AutoZero" << QVariant() << 26 << "no-autozero.ini";
        QTest::newRow("PrtWidth as integer")
            << full << "PrtWidth" << QVariant(7) << 12 << "stop-at-prtwidth.ini";
        QTest::newRow("PrtWidth not a number")
            << full << "PrtWidth" << QVariant(QByteArray::fromHex("000000000000f87f")) << 12
            << "stop-at-prtwidth.ini";
        QTest::newRow("PrtHeight of 7 bytes")
            << full << "PrtHeight" << QVariant(QByteArray(7, 1)) << 13 << "stop-at-prtheight.ini";
        QTest::newRow("PrtHeight of 9 bytes")
            << full << "PrtHeight" << QVariant(QByteArray(9, 1)) << 13 << "stop-at-prtheight.ini";
        QTest::newRow("Left as text")
            << full << "Left" << QVariant(QStringLiteral("12abc")) << 2 << "stop-at-left.ini";
    }
    void readStopsAtFirstFailure()
    {
        QFETCH(QString, source);
        QFETCH(QString, key);
        QFETCH(QVariant, value);
        QFETCH(QString, expected);
        QTemporaryDir dir;
        AppSettings values; // the holders' state before reading
        QTEST(ReadSettings(*OpenSettingsStore(PrepareStore(dir, source, key, value)), values),
              "read");
        const QString out = dir.filePath(QStringLiteral("out.ini"));
        QVERIFY(WriteSettings(*OpenSettingsStore(out), values));
        QCOMPARE(ReadAll(out), test::TestData("../settings/" + expected));
        // A folder that cannot be made is reported.
        QVERIFY(!WriteSettings(*OpenSettingsStore(out + QStringLiteral("/x.ini")), values));
    }

    // Start, close, compare the file: every value passes through its holder.
    void windowRoundTrip_data()
    {
        QTest::addColumn<QString>("source");
        QTest::addColumn<QString>("expected");
        // Defaults, the first USB port, and two edit texts as typed below.
        QTest::newRow("first run") << QString() << "firstrun.ini";
        QTest::newRow("stored set") << QStringLiteral("full.ini") << QStringLiteral("full.ini");
        // Read as nothing stored, then replaced by a complete set.
        QTest::newRow("corrupt store") << QStringLiteral("corrupt.ini") << "firstrun.ini";
    }
    void windowRoundTrip()
    {
        QFETCH(QString, source);
        QFETCH(QString, expected);
        QTemporaryDir dir;
        const QString path = PrepareStore(dir, source);
        Rig rig(path);
        if (expected == QLatin1String("firstrun.ini")) {
            rig.form->findChild<QLineEdit*>(QStringLiteral("AutoStartSecEdit"))->setText("12abc");
            rig.form->findChild<QLineEdit*>(QStringLiteral("AutoStopSecEdit"))->clear();
        }
        QVERIFY(rig.form->close());
        QCOMPARE(ReadAll(path), test::TestData("../settings/" + expected));
    }

    // One value of full.ini replaced, seen in a control (none: the window).
    void storedValuesInWindow_data()
    {
        QTest::addColumn<QString>("key");
        QTest::addColumn<QVariant>("value");
        QTest::addColumn<QString>("control");
        QTest::addColumn<QByteArray>("property");
        QTest::addColumn<QVariant>("expected");
        const auto row = [](const char* tag, const char* key, const QVariant& value,
                            const char* control, const char* property, const QVariant& expected) {
            QTest::newRow(tag) << QString::fromLatin1(key) << value << QString::fromLatin1(control)
                               << QByteArray(property) << expected;
        };
        row("AutoZero 2 sets the hidden box", "AutoZero", 2, "AutoZeroChk", "checked", true);
        row("AutoZero 1 leaves it off", "AutoZero", 1, "AutoZeroChk", "checked", false);
        row("AutoZero 3 selects its item", "AutoZero", 3, "AutoZeroStart", "checked", true);
        row("AutoStart outside the group", "AutoStart", 7, "AutoStartPowerup", "checked", false);
        row("ComPort beyond the list", "ComPort", 4, "CommPortBox", "currentIndex", -1);
        row("BaudRate beyond the rates", "BaudRate", 6, "SpeedBox", "currentIndex", -1);
        row("Interval steps the milliseconds", "Interval", 70000, "mSecSpin", "singleStep", 4464);
        row("window partly on screen", "Left", -700, "", "pos", QPoint(-700, 30));
        row("window off every screen", "Left", -30000, "", "pos", QVariant()); // on the primary
    }
    void storedValuesInWindow()
    {
        QFETCH(QString, key);
        QFETCH(QVariant, value);
        QFETCH(QString, control);
        QFETCH(QByteArray, property);
        QTemporaryDir dir;
        Rig rig(PrepareStore(dir, QStringLiteral("full.ini"), key, value));
        QObject* target =
            control.isEmpty() ? rig.form.get() : rig.form->findChild<QObject*>(control);
        QVERIFY(target);
        QFETCH(QVariant, expected);
        if (!expected.isValid())
            QVERIFY(QGuiApplication::primaryScreen()->geometry().contains(rig.form->pos()));
        else
            QCOMPARE(target->property(property.constData()), expected);
    }
};

QTEST_MAIN(TestSettings)
#include "tst_settings.moc"
