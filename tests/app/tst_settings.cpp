#include "FakeSerialDevice.h"
#include "RecordingShell.h"
#include "VirtualClock.h"
#include "app/Settings.h"
#include "app/TMainForm.h"

#include <QAbstractButton>
#include <QCloseEvent>
#include <QComboBox>
#include <QFile>
#include <QGuiApplication>
#include <QLineEdit>
#include <QScreen>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>
#include <QtEndian>
#include <bit>
#include <cmath>

using namespace vexa;
using vexa::test::FakeSerialDevice;
using vexa::test::RecordingShell;
using vexa::test::VirtualClock;

namespace {

const QString DataDir = QStringLiteral(SETTINGS_DATA_DIR);

QByteArray ReadAll(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

// A store made from one of the data files, with one value replaced (an
// invalid value removes it). Each case gets its own file.
QString PrepareStore(const QTemporaryDir& dir, const QString& source, const QString& key = {},
                     const QVariant& value = {})
{
    const QString path = dir.filePath(QStringLiteral("store.ini"));
    if (!source.isEmpty())
        QFile::copy(DataDir + u'/' + source, path);
    if (!key.isEmpty()) {
        QSettings s(path, QSettings::IniFormat);
        if (value.isValid())
            s.setValue(QStringLiteral("Settings/") + key, value);
        else
            s.remove(QStringLiteral("Settings/") + key);
    }
    return path;
}

QByteArray DoubleBytes(double d)
{
    QByteArray b(8, '\0');
    qToLittleEndian(std::bit_cast<quint64>(d), b.data());
    return b;
}

class Ports final : public PortSource {
public:
    std::vector<PortDescription> ListPorts() const override
    {
        return {{QStringLiteral("ttyS0"), {}, {}},
                {QStringLiteral("ttyS1"), {}, {}},
                {QStringLiteral("ttyUSB0"), QStringLiteral("FT232R"), QStringLiteral("USB")},
                {QStringLiteral("ttyUSB1"), QStringLiteral("FT232R"), QStringLiteral("USB")}};
    }
};

// One main window over fakes, keeping its settings in file.
struct Rig {
    explicit Rig(const QString& file)
    {
        auto factory = [this] { return std::make_unique<FakeSerialDevice>(clock); };
        form = std::make_unique<TMainForm>(
            MainFormDeps{clock, factory, ports, shell, {}, nullptr, nullptr, nullptr, file});
        form->show();
    }
    template <typename T = QWidget> T* find(const QString& name) const
    {
        return form->findChild<T*>(name);
    }
    void close() { QVERIFY(form->close()); }

    VirtualClock clock;
    Ports ports;
    RecordingShell shell;
    std::unique_ptr<TMainForm> form;
};

} // namespace

class TestSettings : public QObject {
    Q_OBJECT

private slots:
    void readStopsAtFirstFailure_data();
    void readStopsAtFirstFailure();
    void writeReplacesDamagedStore_data();
    void writeReplacesDamagedStore();
    void leadingInteger_data();
    void leadingInteger();
    void placeOnScreen_data();
    void placeOnScreen();
    void windowRoundTrip_data();
    void windowRoundTrip();
    void storedValuesInWindow_data();
    void storedValuesInWindow();
};

void TestSettings::readStopsAtFirstFailure_data()
{
    QTest::addColumn<QString>("source");
    QTest::addColumn<QString>("key");
    QTest::addColumn<QVariant>("value");
    QTest::addColumn<int>("read");
    QTest::addColumn<int>("comPort");
    QTest::addColumn<int>("left");
    QTest::addColumn<double>("prtWidth");
    QTest::addColumn<uint>("bgColor");
    QTest::addColumn<int>("autoStopAltitude");
    QTest::addColumn<int>("exportType");
    QTest::addColumn<int>("interval");

    // full.ini holds no default anywhere; the design value of each is the default.
    const QVariant none;
    QTest::newRow("first run") << QString() << QString() << none << 0 << 0 << 222 << 7.0
                               << 0xFFFFFFu << 15 << 1 << 100;
    QTest::newRow("everything") << "full.ini" << QString() << none << 29 << 3 << 40 << 8.5
                                << 0x203040u << 25 << 3 << 50;
    QTest::newRow("AutoZero missing")
        << "full.ini"
        << "AutoZero" << none << 26 << 3 << 40 << 7.0 << 0xFFFFFFu << 25 << 1 << 100;
    QTest::newRow("PrtWidth as integer")
        << "full.ini"
        << "PrtWidth" << QVariant(7) << 12 << 3 << 40 << 7.0 << 0xFFFFFFu << 15 << 1 << 100;
    QTest::newRow("PrtHeight of 7 bytes") << "full.ini"
                                          << "PrtHeight" << QVariant(QByteArray(7, 0)) << 13 << 3
                                          << 40 << 7.0 << 0xFFFFFFu << 15 << 1 << 100;
    QTest::newRow("PrtWidth not a number") << "full.ini"
                                           << "PrtWidth" << QVariant(DoubleBytes(std::nan("")))
                                           << 12 << 3 << 40 << 7.0 << 0xFFFFFFu << 15 << 1 << 100;
    QTest::newRow("Left as text") << "full.ini"
                                  << "Left" << QVariant(QStringLiteral("12abc")) << 2 << 3 << 222
                                  << 7.0 << 0xFFFFFFu << 15 << 1 << 100;
    QTest::newRow("BaudRate beyond 32 bits")
        << "full.ini"
        << "BaudRate" << QVariant(1LL << 33) << 1 << 3 << 222 << 7.0 << 0xFFFFFFu << 15 << 1 << 100;
    QTest::newRow("Interval cut to 16 bits")
        << "full.ini"
        << "Interval" << QVariant(70000) << 29 << 3 << 40 << 8.5 << 0x203040u << 25 << 3 << 4464;
    QTest::newRow("corrupt file") << "corrupt.ini" << QString() << none << 0 << 0 << 222 << 7.0
                                  << 0xFFFFFFu << 15 << 1 << 100;
}

void TestSettings::readStopsAtFirstFailure()
{
    QFETCH(QString, source);
    QFETCH(QString, key);
    QFETCH(QVariant, value);
    QTemporaryDir dir;
    const auto store = OpenSettingsStore(PrepareStore(dir, source, key, value));
    AppSettings values;
    const int read = ReadSettings(*store, values);
    QTEST(read, "read");
    QTEST(values.ComPort, "comPort");
    QTEST(values.Left, "left");
    QTEST(values.PrtWidth, "prtWidth");
    QTEST(uint(values.BGColor), "bgColor");
    QTEST(values.AutoStopAltitude, "autoStopAltitude");
    QTEST(values.ExportType, "exportType");
    QTEST(int(values.Interval), "interval");
    // A failure anywhere resets the speed, read or not.
    QCOMPARE(values.BaudRate, read == SettingsValueCount ? 2 : 5);
}

void TestSettings::writeReplacesDamagedStore_data()
{
    QTest::addColumn<QString>("source");
    QTest::newRow("absent") << QString();
    QTest::newRow("corrupt") << "corrupt.ini";
    QTest::newRow("half written") << "half.ini";
}

// Whatever the store held, a save leaves exactly the complete set.
void TestSettings::writeReplacesDamagedStore()
{
    QFETCH(QString, source);
    QTemporaryDir dir;
    const QString path = PrepareStore(dir, source);
    AppSettings full;
    {
        const auto store = OpenSettingsStore(DataDir + QStringLiteral("/full.ini"));
        QCOMPARE(ReadSettings(*store, full), SettingsValueCount);
    }
    QVERIFY(WriteSettings(*OpenSettingsStore(path), full));
    QCOMPARE(ReadAll(path), ReadAll(DataDir + QStringLiteral("/full.ini")));
    // A folder that cannot be made: reported, nothing else touched.
    QVERIFY(!WriteSettings(*OpenSettingsStore(path + QStringLiteral("/sub/store.ini")), full));
    QCOMPARE(ReadAll(path), ReadAll(DataDir + QStringLiteral("/full.ini")));
}

void TestSettings::leadingInteger_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("value");
    QTest::newRow("trailing letters") << "12abc" << 12;
    QTest::newRow("empty") << "" << 0;
    QTest::newRow("blanks and sign") << "  -7 5" << -7;
    QTest::newRow("plus") << "+30" << 30;
    QTest::newRow("no digits") << "abc" << 0;
    QTest::newRow("too large") << "99999999999" << 2147483647;
    QTest::newRow("too small") << "-99999999999" << -2147483647 - 1;
}

void TestSettings::leadingInteger()
{
    QFETCH(QString, text);
    QTEST(LeadingInteger(text), "value");
}

void TestSettings::placeOnScreen_data()
{
    QTest::addColumn<QPoint>("stored");
    QTest::addColumn<QPoint>("placed");
    // A 1920x1080 primary with a 1280x1024 monitor to its right; window 800x600.
    QTest::newRow("on primary") << QPoint(222, 148) << QPoint(222, 148);
    QTest::newRow("on second monitor") << QPoint(2500, 300) << QPoint(2500, 300);
    QTest::newRow("hanging off the left") << QPoint(-700, 10) << QPoint(-700, 10);
    QTest::newRow("sliver left") << QPoint(-790, 10) << QPoint(560, 240);
    QTest::newRow("monitor unplugged") << QPoint(4000, 200) << QPoint(560, 240);
    QTest::newRow("above everything") << QPoint(100, -1000) << QPoint(560, 240);
}

void TestSettings::placeOnScreen()
{
    QFETCH(QPoint, stored);
    const QRect primary(0, 0, 1920, 1080);
    const QList<QRect> screens{primary, QRect(1920, 0, 1280, 1024)};
    QTEST(PlaceOnScreen(stored, QSize(800, 600), screens, primary), "placed");
}

void TestSettings::windowRoundTrip_data()
{
    QTest::addColumn<QString>("source");
    QTest::addColumn<bool>("edit");
    QTest::addColumn<QString>("golden");
    // First run: defaults, the first USB port, and two edit texts as typed.
    QTest::newRow("first run") << QString() << true << "firstrun.ini";
    QTest::newRow("every value through its holder") << "full.ini" << false << "full.ini";
}

void TestSettings::windowRoundTrip()
{
    QFETCH(QString, source);
    QFETCH(bool, edit);
    QFETCH(QString, golden);
    QTemporaryDir dir;
    const QString path = PrepareStore(dir, source);
    Rig rig(path);
    if (edit) {
        rig.find<QLineEdit>(QStringLiteral("AutoStartSecEdit"))->setText(QStringLiteral("12abc"));
        rig.find<QLineEdit>(QStringLiteral("AutoStopSecEdit"))->clear();
    }
    rig.close();
    QCOMPARE(ReadAll(path), ReadAll(DataDir + u'/' + golden));
}

void TestSettings::storedValuesInWindow_data()
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
    row("AutoStop negative", "AutoStop", -1, "AutoStopTime", "checked", false);
    row("ComPort beyond the list", "ComPort", 4, "CommPortBox", "currentIndex", -1);
    row("ComPort none", "ComPort", -1, "CommPortBox", "currentIndex", -1);
    row("BaudRate beyond the rates", "BaudRate", 6, "SpeedBox", "currentIndex", -1);
    row("Interval steps the milliseconds", "Interval", 70000, "mSecSpin", "singleStep", 4464);
    row("ShowPoints stored on", "ShowPoints", 1, "ShowPointsChk", "checked", true);
    row("window off every screen", "Left", -30000, "", "pos", QVariant());
}

void TestSettings::storedValuesInWindow()
{
    QFETCH(QString, key);
    QFETCH(QVariant, value);
    QFETCH(QString, control);
    QFETCH(QByteArray, property);
    QTemporaryDir dir;
    Rig rig(PrepareStore(dir, QStringLiteral("full.ini"), key, value));
    if (control.isEmpty()) {
        const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
        QVERIFY(screen.contains(rig.form->pos()));
        return;
    }
    QObject* target = rig.find(control);
    QVERIFY(target);
    QTEST(target->property(property.constData()), "expected");
}

QTEST_MAIN(TestSettings)
#include "tst_settings.moc"
