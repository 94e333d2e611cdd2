#include "Choosers.h"

#include <QColorDialog>
#include <QFileDialog>
#include <QRegularExpression>
#include <algorithm>

namespace vexa {

namespace {

SaveChoice Run(QWidget* parent, const FileDialogSetup& setup, QFileDialog::AcceptMode mode)
{
    QFileDialog dialog(parent, setup.title);
    dialog.setObjectName(setup.name);
    dialog.setAcceptMode(mode);
    dialog.setFileMode(mode == QFileDialog::AcceptSave ? QFileDialog::AnyFile
                                                       : QFileDialog::ExistingFile);
    const QStringList filters = setup.filter.split(QStringLiteral(";;"));
    dialog.setNameFilters(filters);
    const int first = std::clamp(setup.filterIndex, 0, int(filters.size()) - 1);
    dialog.selectNameFilter(filters.value(first));
    if (mode == QFileDialog::AcceptSave && setup.defaultSuffix.isEmpty()) {
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
    return {dialog.selectedFiles().constFirst(),
            std::max(0, int(filters.indexOf(dialog.selectedNameFilter())))};
}

} // namespace

QString FilterSuffix(const QString& filter)
{
    static const QRegularExpression pattern(QStringLiteral("\\(\\*\\.(\\w+)\\)"));
    const QRegularExpressionMatch m = pattern.match(filter);
    return m.hasMatch() ? m.captured(1) : QString();
}

QString DialogFileChooser::SaveFileName(QWidget* parent, const FileDialogSetup& setup)
{
    return Run(parent, setup, QFileDialog::AcceptSave).file;
}

QString DialogFileChooser::OpenFileName(QWidget* parent, const FileDialogSetup& setup)
{
    return Run(parent, setup, QFileDialog::AcceptOpen).file;
}

SaveChoice DialogFileChooser::SaveFileAndFilter(QWidget* parent, const FileDialogSetup& setup)
{
    return Run(parent, setup, QFileDialog::AcceptSave);
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
