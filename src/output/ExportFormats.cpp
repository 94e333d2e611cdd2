#include "ExportFormats.h"

#include <QFileInfo>
#include <QStringList>

namespace vexa {

QString ExportFilter()
{
    QStringList filters;
    for (const ExportFormat& f : ExportFormats)
        filters << QLatin1String(f.filter);
    return filters.join(QStringLiteral(";;"));
}

int ValidExportType(int stored)
{
    return stored >= 1 && stored <= int(ExportFormats.size()) ? stored : 1;
}

ExportTarget ExportTargetFor(const QString& chosen, int exportType)
{
    const QString typed = QFileInfo(chosen).suffix();
    for (const ExportFormat& f : ExportFormats)
        for (const char* suffix : f.suffixes)
            if (suffix && typed.compare(QLatin1String(suffix), Qt::CaseInsensitive) == 0)
                return {chosen, f.type};
    const ExportFormat& f = ExportFormats[std::size_t(ValidExportType(exportType) - 1)];
    // "plot." gets its ending after the dot the user typed.
    const QString dot = chosen.endsWith(QLatin1Char('.')) ? QString() : QStringLiteral(".");
    return {chosen + dot + QLatin1String(f.suffixes[0]), f.type};
}

} // namespace vexa
