#pragma once

#include "widgets/Prompter.h"

#include <QStringList>

namespace vexa::test {

// Answers every question with `answer` and keeps what was asked and told,
// each as "caption: text".
class ScriptedPrompter final : public Prompter {
public:
    bool AskYesNo(const QString& caption, const QString& text) override
    {
        asked << caption + QStringLiteral(": ") + text;
        return answer;
    }
    void Warn(const QString& caption, const QString& text) override
    {
        warned << caption + QStringLiteral(": ") + text;
    }

    bool answer = true;
    QStringList asked;
    QStringList warned;
};

} // namespace vexa::test
