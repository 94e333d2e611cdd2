#include "TestData.h"
#include "app/About.h"

#include <QDir>
#include <QFileInfo>
#include <QTemporaryDir>

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

    void findManual_data() { vexa::test::AddRows("app/manual.txt"); }
    void findManual()
    {
        QFETCH(QStringList, f);
        QTemporaryDir root;
        QDir dir(root.path());
        for (const QString& path : f[0].split(' ', Qt::SkipEmptyParts))
            QVERIFY(path.endsWith('/') ? dir.mkpath(path)
                                       : dir.mkpath(QFileInfo(path).path()) &&
                                             QFile(dir.filePath(path)).open(QIODevice::WriteOnly));
        const QStringList candidates = ManualCandidates(
            dir.filePath("opt/bin"), {dir.filePath("usr/local/share"), dir.filePath("usr/share/")});
        QCOMPARE(candidates.size(), 4);
        QCOMPARE(FindManual(candidates), f[1].isEmpty() ? QString() : dir.filePath(f[1]));
        // The user is told every place, so an odd installation can be found out.
        const QString text = ManualMissingText(candidates);
        for (const QString& path : candidates)
            QVERIFY2(text.contains(QDir::toNativeSeparators(path)), qPrintable(text));
    }
};

QTEST_APPLESS_MAIN(AboutTest)
#include "tst_about.moc"
