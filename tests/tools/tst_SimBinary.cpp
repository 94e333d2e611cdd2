// Runs the real emulator on a pseudo-terminal and talks to it over QSerialPort,
// as the program does.

#include <QElapsedTimer>
#include <QFileInfo>
#include <QProcess>
#include <QSerialPort>
#include <QTemporaryDir>
#include <QtTest>

class TestSimBinary : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanup();
    void publishesAndAnswers();
    void downloadTakesWireTime();
    void badOptionIsRefused();

private:
    // Starts the emulator; returns its printed lines (pty path, link path).
    QStringList Start(const QStringList& args, int expectLines);
    static QByteArray Exchange(QSerialPort& port, const QByteArray& command, int expectBytes,
                               int timeoutMs = 3000);

    QTemporaryDir runtime_;
    QProcess sim_;
};

void TestSimBinary::initTestCase()
{
    QVERIFY(runtime_.isValid());
    QVERIFY(QFileInfo::exists(VEXA_MODULE_SIM));
}

void TestSimBinary::cleanup()
{
    if (sim_.state() != QProcess::NotRunning) {
        sim_.kill();
        sim_.waitForFinished(3000);
    }
}

QStringList TestSimBinary::Start(const QStringList& args, int expectLines)
{
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("XDG_RUNTIME_DIR", runtime_.path()); // links land here, not in the user's folder
    sim_.setProcessEnvironment(env);
    sim_.setProcessChannelMode(QProcess::SeparateChannels);
    sim_.start(VEXA_MODULE_SIM, args);
    if (!sim_.waitForStarted(5000))
        return {};
    QStringList lines;
    QElapsedTimer t;
    t.start();
    while (lines.size() < expectLines && t.elapsed() < 5000) {
        if (!sim_.canReadLine())
            sim_.waitForReadyRead(100);
        while (sim_.canReadLine())
            lines << QString::fromLocal8Bit(sim_.readLine()).trimmed();
    }
    return lines;
}

QByteArray TestSimBinary::Exchange(QSerialPort& port, const QByteArray& command, int expectBytes,
                                   int timeoutMs)
{
    port.write(command);
    port.waitForBytesWritten(1000);
    QByteArray got;
    QElapsedTimer t;
    t.start();
    while (got.size() < expectBytes && t.elapsed() < timeoutMs) {
        if (port.waitForReadyRead(50) || port.bytesAvailable())
            got += port.readAll();
    }
    return got;
}

void TestSimBinary::publishesAndAnswers()
{
    const QStringList lines = Start({"--flights", "2", "--name", "tst-sim"}, 2);
    QCOMPARE(lines.size(), 2);
    const QString pty = lines[0];
    const QString link = lines[1];
    QCOMPARE(link, runtime_.filePath("vexa-ports/tst-sim"));
    QCOMPARE(QFileInfo(link).symLinkTarget(), pty);

    QSerialPort port(pty);
    port.setBaudRate(115200);
    QVERIFY2(port.open(QIODevice::ReadWrite), qPrintable(port.errorString()));
    QCOMPARE(Exchange(port, "NS\r", 7), QByteArray("NS\r\n2\r\n"));
    port.close();

    sim_.terminate(); // SIGTERM: the link goes with the emulator
    QVERIFY(sim_.waitForFinished(3000));
    QCOMPARE(sim_.exitStatus(), QProcess::NormalExit);
    QCOMPARE(sim_.exitCode(), 0);
    QVERIFY(!QFileInfo(link).isSymLink());
}

void TestSimBinary::downloadTakesWireTime()
{
    QFile data(runtime_.filePath("flat.txt"));
    QVERIFY(data.open(QIODevice::WriteOnly));
    for (int i = 0; i < 3000; ++i)
        data.write("1234\n");
    data.close();

    const QStringList lines =
        Start({"--no-publish", "--flights", "0", "--baud", "115200", "--load", data.fileName()}, 1);
    QCOMPARE(lines.size(), 1);
    QSerialPort port(lines[0]);
    QVERIFY(port.open(QIODevice::ReadWrite));

    const QByteArray expected =
        "DL=0\r\n0,100,3000,0,0\r\n" + QByteArray("1234\r\n").repeated(3000);
    QElapsedTimer t;
    t.start();
    const QByteArray got = Exchange(port, "DL=0\r", static_cast<int>(expected.size()), 10000);
    const double seconds = static_cast<double>(t.nsecsElapsed()) * 1e-9;
    QCOMPARE(got, expected);
    const double wire = static_cast<double>(expected.size()) * 10.0 / 115200; // about 1.56 s
    QVERIFY2(seconds > 0.95 * wire && seconds < 1.05 * wire,
             qPrintable(QString("%1 s for %2 s of wire").arg(seconds).arg(wire)));
}

void TestSimBinary::badOptionIsRefused()
{
    QProcess p;
    p.start(VEXA_MODULE_SIM, {"--baud", "fast"});
    QVERIFY(p.waitForFinished(5000));
    QCOMPARE(p.exitCode(), 2);
    QVERIFY(p.readAllStandardError().contains("--baud"));
    QVERIFY(p.readAllStandardOutput().isEmpty());
}

QTEST_GUILESS_MAIN(TestSimBinary)
#include "tst_SimBinary.moc"
