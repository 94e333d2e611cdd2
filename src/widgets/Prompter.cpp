#include "Prompter.h"

#include "WaitCursor.h"

#include <QMessageBox>

namespace vexa {

bool MessageBoxPrompter::AskYesNo(const QString& caption, const QString& text)
{
    WaitCursor::Pause normal;
    return QMessageBox::question(parent_, caption, text, QMessageBox::Yes | QMessageBox::No,
                                 QMessageBox::No) == QMessageBox::Yes;
}

void MessageBoxPrompter::Warn(const QString& caption, const QString& text)
{
    WaitCursor::Pause normal;
    QMessageBox::warning(parent_, caption, text);
}

} // namespace vexa
