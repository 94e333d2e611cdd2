#pragma once

#include <QString>

class QWidget;

namespace vexa {

// Questions and warnings put to the user, by the main window and every
// dialog; tests answer them without a modal box.
class Prompter {
public:
    virtual ~Prompter() = default;
    // A Yes/No question; true for Yes.
    virtual bool AskYesNo(const QString& caption, const QString& text) = 0;
    // An exclamation box with an OK button.
    virtual void Warn(const QString& caption, const QString& text) = 0;

    enum class SaveAnswer { Save, Discard, Cancel };
    // Closing with work that is not saved: save it first, discard it, or
    // stay. text says what would be lost. One that can only ask Yes or No
    // asks whether to discard.
    virtual SaveAnswer AskSaveBeforeClose(const QString& caption, const QString& text)
    {
        return AskYesNo(caption, text + QStringLiteral("\n\nClose and discard them?"))
                   ? SaveAnswer::Discard
                   : SaveAnswer::Cancel;
    }
};

// Modal message boxes over the dialog the user is in, or else over the
// parent window.
class MessageBoxPrompter final : public Prompter {
public:
    explicit MessageBoxPrompter(QWidget* parent) : parent_(parent) {}
    bool AskYesNo(const QString& caption, const QString& text) override;
    void Warn(const QString& caption, const QString& text) override;
    SaveAnswer AskSaveBeforeClose(const QString& caption, const QString& text) override;

private:
    QWidget* parent_;
};

} // namespace vexa
