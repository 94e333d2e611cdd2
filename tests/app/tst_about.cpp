#include "app/About.h"

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
        QTest::newRow("manual beside the program")
            << ManualPath("/opt/vexa/bin/") << "/opt/vexa/bin/V6R-Manual.pdf";
        QTest::newRow("manual, no folder known") << ManualPath("") << "V6R-Manual.pdf";
        QTest::newRow("mail address trimmed")
            << MailUrl("  help@vexa.example \n").toString() << "mailto:help@vexa.example";
    }
    void texts()
    {
        QFETCH(QString, got);
        QFETCH(QString, expected);
        QCOMPARE(got, expected);
    }
};

QTEST_APPLESS_MAIN(AboutTest)
#include "tst_about.moc"
