#include "Choosers.h"

#include <QColorDialog>
#include <QFileDialog>

namespace vexa {

namespace {

QString Run(QWidget* parent, const FileDialogSetup& setup, QFileDialog::AcceptMode mode)
{
    QFileDialog dialog(parent, setup.title);
    dialog.setObjectName(setup.name);
    dialog.setAcceptMode(mode);
    dialog.setFileMode(mode == QFileDialog::AcceptSave ? QFileDialog::AnyFile
                                                       : QFileDialog::ExistingFile);
    dialog.setNameFilters(setup.filter.split(QStringLiteral(";;")));
    dialog.setDefaultSuffix(setup.defaultSuffix);
    if (!setup.file.isEmpty())
        dialog.selectFile(setup.file);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return {};
    return dialog.selectedFiles().constFirst();
}

} // namespace

QString DialogFileChooser::SaveFileName(QWidget* parent, const FileDialogSetup& setup)
{
    return Run(parent, setup, QFileDialog::AcceptSave);
}

QString DialogFileChooser::OpenFileName(QWidget* parent, const FileDialogSetup& setup)
{
    return Run(parent, setup, QFileDialog::AcceptOpen);
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
