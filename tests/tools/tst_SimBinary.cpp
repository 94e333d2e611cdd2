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
