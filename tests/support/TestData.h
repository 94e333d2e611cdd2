#pragma once

#include <QByteArray>
#include <QFile>
#include <QString>

namespace vexa::test {

inline QString TestDataPath(const QString& name)
{
    return QStringLiteral(VEXA_TEST_DATA_DIR "/") + name;
}

// A golden file from tests/data/files, read whole; empty when missing.
inline QByteArray TestData(const QString& name)
{
    QFile file(TestDataPath(name));
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

} // namespace vexa::test
