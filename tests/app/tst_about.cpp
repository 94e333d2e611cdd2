#include "app/About.h"

#include <QRegularExpression>
#include <QTest>

using namespace vexa;

class AboutTest : public QObject {
    Q_OBJECT

private slots:
    void versionIsTheProjectVersion()
    {
        QCOMPARE(GetVersionText(), QStringLiteral(EXPECTED_VERSION));
    }

    void versionLimit_data()
    {
        QTest::addColumn<QString>("raw");
        QTest::addColumn<QString>("shown");
        const QString full39 = QStringLiteral("6.2.1.0-") + QString(31, QLatin1Char('x'));
        QTest::newRow("plain") << "6.2.1.0"
                               << "6.2.1.0";
        QTest::newRow("empty") << ""
                               << "";
        QTest::newRow("39 shown whole") << full39 << full39;
        QTest::newRow("40 cut to 39") << full39 + QLatin1Char('y') << full39;
    }
    void versionLimit()
    {
        QFETCH(QString, raw);
        QFETCH(QString, shown);
        QCOMPARE(LimitVersionText(raw), shown);
    }

    void buildDate_data()
    {
        QTest::addColumn<QByteArray>("date");
        QTest::addColumn<QByteArray>("time");
        QTest::addColumn<QString>("text");
        QTest::newRow("two-digit day")
            << QByteArray("Mar 19 2012") << QByteArray("22:44:31") << "Mar 19 2012, 22:44:31";
        QTest::newRow("padded one-digit day")
            << QByteArray("Mar  9 2012") << QByteArray("08:05:00") << "Mar 9 2012, 08:05:00";
        QTest::newRow("compiler without a clock")
            << QByteArray("??? ?? ????") << QByteArray("??:??:??") << "??? ?? ????, ??:??:??";
    }
    void buildDate()
    {
        QFETCH(QByteArray, date);
        QFETCH(QByteArray, time);
        QFETCH(QString, text);
        QCOMPARE(BuildDateText(date.constData(), time.constData()), text);
    }

    void buildDateOfThisBuild()
    {
        static const QRegularExpression shape(
            QStringLiteral("^[A-Z][a-z]{2} [1-9][0-9]? [0-9]{4}, [0-9]{2}:[0-9]{2}:[0-9]{2}$"));
        QVERIFY2(shape.match(BuildDateText()).hasMatch(), qPrintable(BuildDateText()));
    }

    void manualPath_data()
    {
        QTest::addColumn<QString>("dir");
        QTest::addColumn<QString>("path");
        QTest::newRow("install dir") << "/opt/vexa/bin"
                                     << "/opt/vexa/bin/V6R-Manual.pdf";
        QTest::newRow("trailing separator") << "/opt/vexa/bin/"
                                            << "/opt/vexa/bin/V6R-Manual.pdf";
        QTest::newRow("blank in the name") << "/home/ann/My Programs"
                                           << "/home/ann/My Programs/V6R-Manual.pdf";
        QTest::newRow("windows drive") << "C:/Program Files/Vexa"
                                       << "C:/Program Files/Vexa/V6R-Manual.pdf";
        QTest::newRow("no dir known") << ""
                                      << "V6R-Manual.pdf";
    }
    void manualPath()
    {
        QFETCH(QString, dir);
        QFETCH(QString, path);
        QCOMPARE(ManualPath(dir), path);
    }

    void mailUrl_data()
    {
        QTest::addColumn<QString>("address");
        QTest::addColumn<QString>("url");
        QTest::newRow("address") << "support@vexa-instruments.example"
                                 << "mailto:support@vexa-instruments.example";
        QTest::newRow("blanks around") << "  help@vexa.example \n"
                                       << "mailto:help@vexa.example";
    }
    void mailUrl()
    {
        QFETCH(QString, address);
        QFETCH(QString, url);
        const QUrl mail = MailUrl(address);
        QVERIFY(mail.isValid());
        QCOMPARE(mail.scheme(), QStringLiteral("mailto"));
        QCOMPARE(mail.toString(), url);
    }
};

QTEST_APPLESS_MAIN(AboutTest)
#include "tst_about.moc"
