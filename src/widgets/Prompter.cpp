#include "Prompter.h"

#include "WaitCursor.h"

#include <QApplication>
#include <QMessageBox>

namespace vexa {
namespace {

QWidget* Over(QWidget* parent)
{
    QWidget* modal = QApplication::activeModalWidget();
    return modal ? modal : parent;
}

} // namespace

bool MessageBoxPrompter::AskYesNo(const QString& caption, const QString& text)
{
    WaitCursor::Pause normal;
    return QMessageBox::question(Over(parent_), caption, text, QMessageBox::Yes | QMessageBox::No,
                                 QMessageBox::No) == QMessageBox::Yes;
}

void MessageBoxPrompter::Warn(const QString& caption, const QString& text)
{
    WaitCursor::Pause normal;
    QMessageBox::warning(Over(parent_), caption, text);
}

Prompter::SaveAnswer MessageBoxPrompter::AskSaveBeforeClose(const QString& caption,
                                                            const QString& text)
{
    WaitCursor::Pause normal;
    QMessageBox box(QMessageBox::Warning, caption, text,
                    QMessageBox::Save | QMessageBox::Discard | QMessageBox::Cancel, Over(parent_));
    box.setInformativeText(QStringLiteral("Save them before closing?"));
    box.setDefaultButton(QMessageBox::Save);
    box.setEscapeButton(QMessageBox::Cancel);
    switch (box.exec()) {
    case QMessageBox::Save:
        return SaveAnswer::Save;
    case QMessageBox::Discard:
        return SaveAnswer::Discard;
    default:
        return SaveAnswer::Cancel;
    }
}

} // namespace vexa
