// Settings kept between runs, against the stores in tests/data/settings.
#include "MainFormRig.h"
#include "TestData.h"
#include "app/Settings.h"

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
    QByteArray text = TestData("settings/" + source);
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
        MainFormDeps deps{clock, {}, ports, shell, {}};
        deps.settingsFile = file;
        deps.session =
            std::make_unique<ModuleSession>(clock, std::make_unique<FakeSerialDevice>(clock),
                                            std::make_unique<FakeSerialDevice>(clock));
        form = std::make_unique<TMainForm>(std::move(deps));
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
    void readStopsAtFirstFailure_data() { AddRows("app/settings-read.txt"); }
    void readStopsAtFirstFailure()
    {
        QFETCH(QStringList, f);
        QTemporaryDir dir;
        AppSettings values;  // the holders' state before reading
        values.Interval = 7; // a failed read puts it back to its default
        QCOMPARE(ReadSettings(*OpenSettingsStore(PrepareStore(dir, f[0], f[1])), values),
                 f[2].toInt());
        const QString out = dir.filePath("out.ini");
        QVERIFY(WriteSettings(*OpenSettingsStore(out), values));
        QCOMPARE(ReadAll(out), TestData("settings/" + f[3]));
        QVERIFY(!WriteSettings(*OpenSettingsStore(out + "/x.ini"), values));
    }

    // Start, close, compare the file: every value passes through its holder.
    void windowRoundTrip_data() { AddRows("app/settings-roundtrip.txt"); }
    void windowRoundTrip()
    {
        QFETCH(QStringList, f);
        QTemporaryDir dir;
        const QString path = PrepareStore(dir, f[0]);
        Rig rig(path);
        if (f[1] == "firstrun.ini") {
            rig.form->findChild<QLineEdit*>("AutoStartSecEdit")->setText("12abc");
            rig.form->findChild<QLineEdit*>("AutoStopSecEdit")->clear();
        }
        QVERIFY(rig.form->close());
        QCOMPARE(ReadAll(path), TestData("settings/" + f[1]));
    }

    // One value of full.ini replaced, seen in the window.
    void storedValuesInWindow_data() { AddRows("app/settings-window.txt"); }
    void storedValuesInWindow()
    {
        QFETCH(QStringList, f);
        QTemporaryDir dir;
        Rig rig(PrepareStore(dir, "full.ini", f[0]));
        QObject* target = f[1].isEmpty() ? rig.form.get() : rig.form->findChild<QObject*>(f[1]);
        const QVariant got = target->property(qPrintable(f[2]));
        if (f[3] == "primary")
            QVERIFY(QGuiApplication::primaryScreen()->geometry().contains(got.toPoint()));
        else if (got.typeId() == QMetaType::QPoint)
            QCOMPARE(QString("%1,%2").arg(got.toPoint().x()).arg(got.toPoint().y()), f[3]);
        else
            QCOMPARE(got.toString(), f[3]);
    }
};

QTEST_MAIN(TestSettings)
#include "tst_settings.moc"
