#include "firmware/UpdateList.h"

#include <QtTest>

using namespace vexa;

// Entries as "number|module|version|description|address", CR shown as \r.
static QStringList Rows(const std::vector<UpdateEntry>& entries)
{
    QStringList rows;
    for (const UpdateEntry& e : entries)
        rows << QString("%1|%2|%3|%4|%5")
                    .arg(QString::number(e.number), e.module, e.version, e.description,
                         e.fileAddress)
                    .replace('\r', "\\r");
    return rows;
}

class TestUpdateList : public QObject {
    Q_OBJECT

private slots:
    void parses_data()
    {
        QTest::addColumn<QByteArray>("text");
        QTest::addColumn<QStringList>("rows");
        QTest::newRow("two entries") << QByteArray("A1,1.00,X\nfirst\nB2,1.01,Y\nsecond\n")
                                     << QStringList{"1|A1|1.00|first|X", "2|B2|1.01|second|Y"};
        QTest::newRow("CR and blanks")
            << QByteArray("A1,1.00,X\r\n \t first \r\n") << QStringList{"1|A1|1.00|first|X\\r"};
        QTest::newRow("short tail stops")
            << QByteArray("A,1,X\nd\n\n\nB,2\n") << QStringList{"1|A|1|d|X"};
        QTest::newRow("seven left goes on")
            << QByteArray("A,1,X\nd\nB,2,Y\n\n") << QStringList{"1|A|1|d|X", "2|B|2||Y"};
        QTest::newRow("no separators") << QByteArray("just some words") << QStringList{"1||||"};
        QTest::newRow("missing comma") << QByteArray("A1 1.00 X\nfirst\nsecond line\n")
                                       << QStringList{"1|||first|A1 1.00 X", "2||||second line"};
        QTest::newRow("cut UTF-8")
            << QByteArray("A,1,X\ncaf\xC3\n") << QStringList{"1|A|1|caf\u00C3|X"};
        QTest::newRow("byte order mark")
            << QByteArray("\xEF\xBB\xBFV6,2,X\nd\n") << QStringList{"1|V6|2|d|X"};
    }

    void parses()
    {
        QFETCH(QByteArray, text);
        QFETCH(QStringList, rows);
        QCOMPARE(Rows(ParseUpdateList(text)), rows);
    }

    // A description of up to 50 characters takes one row line. Only http and
    // https addresses with a host are fetched.
    void rowLinesAndAddresses()
    {
        for (const auto& [length, lines] :
             std::initializer_list<std::pair<int, int>>{{0, 1}, {50, 1}, {51, 2}, {101, 3}})
            QCOMPARE(DescriptionLines(QString(length, QLatin1Char('x'))), lines);
        QCOMPARE(ImageAddress("https://h.example/a.hex\r").toString(), "https://h.example/a.hex");
        for (const char* field :
             {"ftp://h.example/a.hex", "file:///etc/passwd", "a.hex", "http:///a.hex"})
            QVERIFY2(ImageAddress(field).isEmpty(), field);
    }
};

QTEST_GUILESS_MAIN(TestUpdateList)
#include "tst_updatelist.moc"
