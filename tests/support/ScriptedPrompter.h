#pragma once

#include "widgets/Prompter.h"

#include <QList>
#include <QStringList>

namespace vexa::test {

// Answers questions from a script (Yes once it runs out) and notes every
// warning as "caption: text".
class ScriptedPrompter final : public Prompter {
public:
    bool AskYesNo(const QString& caption, const QString& text) override
    {
        asked << caption + ": " + text;
        return answers.isEmpty() || answers.takeFirst();
    }
    void Warn(const QString& caption, const QString& text) override
    {
        warned << caption + ": " + text;
    }
    QList<bool> answers;
    QStringList asked;
    QStringList warned;
};

} // namespace vexa::test
