#include "TestData.h"
#include "firmware/UpdateList.h"

#include <QtTest>

using namespace vexa;
using vexa::test::TestData;

// Entries as "number|module|version|description|address".
static QStringList Rows(const std::vector<UpdateEntry>& entries)
{
    QStringList rows;
    for (const UpdateEntry& e : entries)
        rows << QStringList{QString::number(e.number), e.module, e.version, e.description,
                            e.fileAddress}
                    .join('|');
    return rows;
}

class TestUpdateList : public QObject {
    Q_OBJECT

private slots:
    void parses_data() { vexa::test::AddRows("updates/lists.txt", " | "); }

    void parses()
    {
        QFETCH(QStringList, f); // the list and its entries, both percent-encoded
        const auto decoded = [&f](int i) { return QByteArray::fromPercentEncoding(f[i].toUtf8()); };
        QCOMPARE(Rows(ParseUpdateList(decoded(0))), QString::fromUtf8(decoded(1)).split(" ; "));
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
