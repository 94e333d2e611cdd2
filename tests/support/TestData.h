#pragma once

#include <QByteArray>
#include <QFile>
#include <QList>
#include <QString>
#include <QStringList>
#include <QTest>

namespace vexa::test {

// A path under tests/data, such as "files/fresh-set.csv".
inline QString TestDataPath(const QString& name)
{
    return QStringLiteral(VEXA_TEST_DATA_DIR "/") + name;
}

// A file read whole; empty when missing.
inline QByteArray ReadAll(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// Lines joined by '|' as CR LF lines, each ended.
inline QByteArray Crlf(const QByteArray& lines)
{
    return lines.isEmpty() ? QByteArray() : QByteArray(lines).replace('|', "\r\n") + "\r\n";
}

// A golden file from tests/data, read whole.
inline QByteArray TestData(const QString& name)
{
    return ReadAll(TestDataPath(name));
}

// A table file under tests/data: a row a line, fields split at sep, CR and LF
// written as \r and \n, '#' starting a comment line. A missing or empty table
// fails the test rather than passing with no rows.
inline QList<QStringList> Table(const QString& name, const QString& sep = QStringLiteral("|"))
{
    QList<QStringList> rows;
    for (const QByteArray& line : TestData(name).split('\n'))
        if (!line.isEmpty() && !line.startsWith('#'))
            rows << QString::fromUtf8(line).replace("\\r", "\r").replace("\\n", "\n").split(sep);
    if (rows.isEmpty())
        qFatal("no rows in tests/data/%s", qPrintable(name));
    return rows;
}

// The table's rows as test data in one column. Named "f", it holds the
// fields after the first, which names the row; named otherwise, all of them.
inline void AddRows(const QString& name, const QString& sep = QStringLiteral("|"),
                    const char* column = "f")
{
    QTest::addColumn<QStringList>(column);
    const bool dropTag = qstrcmp(column, "f") == 0;
    for (QStringList row : Table(name, sep)) {
        const QString tag = dropTag ? row.takeFirst() : row.first();
        QTest::newRow(qPrintable(tag)) << row;
    }
}

} // namespace vexa::test
