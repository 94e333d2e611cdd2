#pragma once

#include <QColor>
#include <QString>
#include <optional>

class QWidget;

namespace vexa {

// What a file dialog shows: its objectName, title, filter (Qt form, as
// "Photo List (*.txt);;All Files (*)"), default suffix and starting file.
// Without a default suffix a save dialog adds the chosen filter's own.
struct FileDialogSetup {
    QString name;
    QString title;
    QString filter;
    QString defaultSuffix;
    QString file;
    int filterIndex = 0; // the filter selected at first, from 0
};

// A file to write and the filter (from 0) it was chosen under.
struct SaveChoice {
    QString file;
    int filterIndex = 0;
};

// "jpg" for "JPEG (*.jpg)"; empty when the filter names no single suffix.
QString FilterSuffix(const QString& filter);

// Asks the user for a file name; tests answer without a modal dialog.
class FileChooser {
public:
    virtual ~FileChooser() = default;
    // A file to write, confirmed before overwriting; empty when the user cancels.
    virtual QString SaveFileName(QWidget* parent, const FileDialogSetup& setup) = 0;
    // An existing file to read; empty when the user cancels.
    virtual QString OpenFileName(QWidget* parent, const FileDialogSetup& setup) = 0;
    // As SaveFileName, telling also which filter the user chose.
    virtual SaveChoice SaveFileAndFilter(QWidget* parent, const FileDialogSetup& setup)
    {
        return {SaveFileName(parent, setup), setup.filterIndex};
    }
};

// The platform's file dialogs, modal over the parent. Each opens in the
// folder of the file chosen last, at first in the user's documents folder,
// never in the working directory (which a desktop launch sets anywhere).
class DialogFileChooser final : public FileChooser {
public:
    QString SaveFileName(QWidget* parent, const FileDialogSetup& setup) override;
    QString OpenFileName(QWidget* parent, const FileDialogSetup& setup) override;
    SaveChoice SaveFileAndFilter(QWidget* parent, const FileDialogSetup& setup) override;

    // Where the next dialog opens.
    QString Folder() const;

private:
    SaveChoice Run(QWidget* parent, const FileDialogSetup& setup, bool save);

    QString folder_;
};

// Asks the user for a colour; tests answer without a modal dialog.
class ColorChooser {
public:
    virtual ~ColorChooser() = default;
    // Starts from `initial`; nothing when the user cancels. `name` names the
    // dialog (its objectName), as "BGColorDlg".
    virtual std::optional<QColor> Choose(QWidget* parent, const QString& name,
                                         const QColor& initial) = 0;
};

// The platform's colour dialog, modal over the parent.
class DialogColorChooser final : public ColorChooser {
public:
    std::optional<QColor> Choose(QWidget* parent, const QString& name,
                                 const QColor& initial) override;
};

} // namespace vexa
