#pragma once

// Tables and files the window tests compare with, under tests/data/app.
#include "TestData.h"

#include <QFile>
#include <QStringList>
#include <QTest>

namespace vexa::test {

inline QByteArray ReadAll(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

// A row a line, fields split at '|', CR and LF written as \r and \n, '#'
// starting a comment line.
inline QList<QStringList> Table(const QString& name)
{
    QList<QStringList> rows;
    for (const QByteArray& line : TestData("../app/" + name).split('\n'))
        if (!line.isEmpty() && !line.startsWith('#'))
            rows << QString::fromUtf8(line).replace("\\r", "\r").replace("\\n", "\n").split('|');
    return rows;
}

// The table's rows as test data: the first field names the row, the rest is "f".
inline void AddRows(const QString& name)
{
    QTest::addColumn<QStringList>("f");
    for (QStringList row : Table(name)) {
        const QString tag = row.takeFirst();
        QTest::newRow(qPrintable(tag)) << row;
    }
}

} // namespace vexa::test
