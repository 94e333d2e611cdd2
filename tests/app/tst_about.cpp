#include "app/About.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>

using namespace vexa;

class AboutTest : public QObject {
    Q_OBJECT

private slots:
    // A padded day as the compiler writes it; an address with blanks around it.
    void texts()
    {
        QCOMPARE(BuildDateText("Mar  9 2012", "08:05:00"), QString("Mar 9 2012, 08:05:00"));
        QCOMPARE(MailUrl("  help@vexa.example \n").toString(), QString("mailto:help@vexa.example"));
    }

    void findManual_data()
    {
        // Paths below a scratch root; the program lives in opt/bin.
        QTest::addColumn<QStringList>("present");
        QTest::addColumn<QString>("found");
        const QString beside = "opt/bin/V6R-Manual.pdf", prefix = "opt/share/vexa/V6R-Manual.pdf",
                      system = "usr/share/vexa/V6R-Manual.pdf";
        QTest::newRow("beside the program first") << QStringList{system, prefix, beside} << beside;
        QTest::newRow("installed under the program's prefix")
            << QStringList{system, prefix} << prefix;
        QTest::newRow("system data folder") << QStringList{system} << system;
        QTest::newRow("a folder of that name is no manual")
            << QStringList{beside + QLatin1Char('/'), system} << system;
        QTest::newRow("nowhere") << QStringList{} << QString();
    }
    void findManual()
    {
        QFETCH(QStringList, present);
        QFETCH(QString, found);
        QTemporaryDir root;
        QDir dir(root.path());
        for (const QString& path : present)
            QVERIFY(path.endsWith('/') ? dir.mkpath(path)
                                       : dir.mkpath(QFileInfo(path).path()) &&
                                             QFile(dir.filePath(path)).open(QIODevice::WriteOnly));
        const QStringList candidates = ManualCandidates(
            dir.filePath("opt/bin"), {dir.filePath("usr/local/share"), dir.filePath("usr/share/")});
        QCOMPARE(candidates.size(), 4);
        QCOMPARE(FindManual(candidates), found.isEmpty() ? QString() : dir.filePath(found));
        // The user is told every place, so an odd installation can be found out.
        const QString text = ManualMissingText(candidates);
        for (const QString& path : candidates)
            QVERIFY2(text.contains(QDir::toNativeSeparators(path)), qPrintable(text));
    }
};

QTEST_APPLESS_MAIN(AboutTest)
#include "tst_about.moc"
