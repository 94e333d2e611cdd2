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
    void texts_data()
    {
        QTest::addColumn<QString>("got");
        QTest::addColumn<QString>("expected");
        const QString full39 = QStringLiteral("6.2.1.0-") + QString(31, QLatin1Char('x'));
        QTest::newRow("version of 39 shown whole") << LimitVersionText(full39) << full39;
        QTest::newRow("version of 40 cut to 39") << LimitVersionText(full39 + 'y') << full39;
        QTest::newRow("padded one-digit day")
            << BuildDateText("Mar  9 2012", "08:05:00") << "Mar 9 2012, 08:05:00";
        QTest::newRow("two-digit day")
            << BuildDateText("Mar 19 2012", "22:44:31") << "Mar 19 2012, 22:44:31";
        QTest::newRow("mail address trimmed")
            << MailUrl("  help@vexa.example \n").toString() << "mailto:help@vexa.example";
    }
    void texts()
    {
        QFETCH(QString, got);
        QFETCH(QString, expected);
        QCOMPARE(got, expected);
    }

    void findManual_data()
    {
        // Paths below a scratch root; the program lives in opt/bin.
        QTest::addColumn<QStringList>("present");
        QTest::addColumn<QString>("found");
        const QString beside = QStringLiteral("opt/bin/V6R-Manual.pdf");
        const QString prefix = QStringLiteral("opt/share/vexa/V6R-Manual.pdf");
        const QString system = QStringLiteral("usr/share/vexa/V6R-Manual.pdf");
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
        for (const QString& path : present) {
            if (path.endsWith(QLatin1Char('/'))) {
                QVERIFY(dir.mkpath(path));
                continue;
            }
            QVERIFY(dir.mkpath(QFileInfo(path).path()));
            QFile file(dir.filePath(path));
            QVERIFY(file.open(QIODevice::WriteOnly));
        }
        const QStringList candidates =
            ManualCandidates(dir.filePath(QStringLiteral("opt/bin")),
                             {dir.filePath(QStringLiteral("usr/local/share")),
                              dir.filePath(QStringLiteral("usr/share/"))});
        QCOMPARE(candidates.size(), 4);
        QCOMPARE(FindManual(candidates), found.isEmpty() ? QString() : dir.filePath(found));
        if (found.isEmpty()) {
            // The user is told every place, so an odd installation can be found out.
            const QString text = ManualMissingText(candidates);
            for (const QString& path : candidates)
                QVERIFY2(text.contains(QDir::toNativeSeparators(path)), qPrintable(text));
        }
    }
};

QTEST_APPLESS_MAIN(AboutTest)
#include "tst_about.moc"
