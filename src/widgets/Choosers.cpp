#include "Choosers.h"

#include <QColorDialog>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QRegularExpression>
#include <QStandardPaths>
#include <algorithm>

namespace vexa {

QString FilterSuffix(const QString& filter)
{
    static const QRegularExpression pattern(QStringLiteral("\\(\\*\\.(\\w+)\\)"));
    const QRegularExpressionMatch m = pattern.match(filter);
    return m.hasMatch() ? m.captured(1) : QString();
}

QString DialogFileChooser::Folder() const
{
    if (!folder_.isEmpty())
        return folder_;
    const QString documents = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    return !documents.isEmpty() && QDir(documents).exists() ? documents : QDir::homePath();
}

SaveChoice DialogFileChooser::Run(QWidget* parent, const FileDialogSetup& setup, bool save)
{
    QFileDialog dialog(parent, setup.title);
    dialog.setObjectName(setup.name);
    dialog.setAcceptMode(save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    dialog.setFileMode(save ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
    dialog.setDirectory(Folder());
    const QStringList filters = setup.filter.split(QStringLiteral(";;"));
    dialog.setNameFilters(filters);
    const int first = std::clamp(setup.filterIndex, 0, int(filters.size()) - 1);
    dialog.selectNameFilter(filters.value(first));
    if (save && setup.defaultSuffix.isEmpty()) {
        // A typed name without extension gets the one of the filter it was typed under.
        dialog.setDefaultSuffix(FilterSuffix(filters.value(first)));
        QObject::connect(&dialog, &QFileDialog::filterSelected, &dialog,
                         [&dialog](const QString& f) { dialog.setDefaultSuffix(FilterSuffix(f)); });
    } else {
        dialog.setDefaultSuffix(setup.defaultSuffix);
    }
    if (!setup.file.isEmpty())
        dialog.selectFile(setup.file);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return {};
    const QString file = dialog.selectedFiles().constFirst();
    folder_ = QFileInfo(file).absolutePath();
    return {file, std::max(0, int(filters.indexOf(dialog.selectedNameFilter())))};
}

QString DialogFileChooser::SaveFileName(QWidget* parent, const FileDialogSetup& setup)
{
    return Run(parent, setup, true).file;
}

QString DialogFileChooser::OpenFileName(QWidget* parent, const FileDialogSetup& setup)
{
    return Run(parent, setup, false).file;
}

SaveChoice DialogFileChooser::SaveFileAndFilter(QWidget* parent, const FileDialogSetup& setup)
{
    return Run(parent, setup, true);
}

std::optional<QColor> DialogColorChooser::Choose(QWidget* parent, const QString& name,
                                                 const QColor& initial)
{
    QColorDialog dialog(initial, parent);
    dialog.setObjectName(name);
    if (dialog.exec() != QDialog::Accepted || !dialog.selectedColor().isValid())
        return std::nullopt;
    return dialog.selectedColor();
}

} // namespace vexa
