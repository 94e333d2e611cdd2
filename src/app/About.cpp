#include "About.h"

#include <QDir>

#ifndef VEXA_VERSION
#error "VEXA_VERSION must be defined by the build"
#endif

namespace vexa {

QString GetVersionText()
{
    return LimitVersionText(QStringLiteral(VEXA_VERSION));
}

QString LimitVersionText(const QString& raw)
{
    return raw.left(VersionTextCapacity);
}

QString BuildDateText(const char* date, const char* time)
{
    const QString d = QString::fromLatin1(date ? date : "").simplified();
    const QString t = QString::fromLatin1(time ? time : "").simplified();
    if (d.isEmpty() || t.isEmpty())
        return d + t;
    return d + QStringLiteral(", ") + t;
}

QString ManualPath(const QString& programDir)
{
    if (programDir.isEmpty())
        return QString::fromLatin1(ManualFileName);
    return QDir(programDir).filePath(QString::fromLatin1(ManualFileName));
}

QUrl MailUrl(const QString& address)
{
    return QUrl(QStringLiteral("mailto:") + address.trimmed(), QUrl::TolerantMode);
}

} // namespace vexa
