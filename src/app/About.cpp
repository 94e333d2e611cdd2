#include "About.h"

#include <QDir>
#include <QFileInfo>
#include <utility>

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

QStringList ManualCandidates(const QString& programDir, const QStringList& dataDirs)
{
    const QString name = QString::fromLatin1(ManualFileName);
    QStringList folders;
    if (!programDir.isEmpty()) {
        folders << programDir << programDir + QStringLiteral("/../share/vexa");
    }
    for (const QString& dir : dataDirs) {
        if (!dir.isEmpty())
            folders << dir + QStringLiteral("/vexa");
    }
    QStringList candidates;
    for (const QString& folder : std::as_const(folders)) {
        const QString path = QDir::cleanPath(folder + QLatin1Char('/') + name);
        if (!candidates.contains(path))
            candidates << path;
    }
    if (candidates.isEmpty())
        candidates << name;
    return candidates;
}

QString FindManual(const QStringList& candidates)
{
    for (const QString& path : candidates) {
        if (QFileInfo(path).isFile())
            return path;
    }
    return {};
}

QString ManualMissingText(const QStringList& candidates)
{
    QString text = QStringLiteral("The manual %1 was not found. Looked in:")
                       .arg(QString::fromLatin1(ManualFileName));
    for (const QString& path : candidates)
        text += QStringLiteral("\n") + QDir::toNativeSeparators(path);
    return text;
}

QUrl MailUrl(const QString& address)
{
    return QUrl(QStringLiteral("mailto:") + address.trimmed(), QUrl::TolerantMode);
}

} // namespace vexa
