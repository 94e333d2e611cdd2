#pragma once

// What a user or the desktop would answer, scripted: questions, file names,
// colours and the list of ports. Header only: each test links what it uses.
#include "platform/PortDescription.h"
#include "widgets/Choosers.h"
#include "widgets/Prompter.h"

#include <QStringList>
#include <deque>
#include <vector>

namespace vexa::test {

class ScriptedPrompter final : public Prompter {
public:
    bool AskYesNo(const QString& caption, const QString& text) override
    {
        asked << caption + ": " + text;
        return answer;
    }
    void Warn(const QString& caption, const QString& text) override
    {
        warned << caption + ": " + text;
    }
    SaveAnswer AskSaveBeforeClose(const QString& caption, const QString& text) override
    {
        asked << caption + ": " + text;
        return closeAnswer;
    }
    bool answer = true;
    SaveAnswer closeAnswer = SaveAnswer::Discard;
    QStringList asked;
    QStringList warned;
};

// Answers file dialogs in turn; an empty answer (or none left) cancels.
class ScriptedFiles final : public FileChooser {
public:
    QString SaveFileName(QWidget*, const FileDialogSetup& setup) override { return Next(setup); }
    QString OpenFileName(QWidget*, const FileDialogSetup& setup) override { return Next(setup); }
    std::deque<QString> answers;
    std::vector<FileDialogSetup> asked;

private:
    QString Next(const FileDialogSetup& setup)
    {
        asked.push_back(setup);
        if (answers.empty())
            return {};
        const QString a = answers.front();
        if (answers.size() > 1)
            answers.pop_front(); // the last answer repeats
        return a;
    }
};

// Answers colour dialogs in turn; nothing (cancel) when none is left.
class ScriptedColors final : public ColorChooser {
public:
    std::optional<QColor> Choose(QWidget*, const QString& name, const QColor& initial) override
    {
        asked << name;
        initials << initial;
        if (answers.empty())
            return std::nullopt;
        const std::optional<QColor> a = answers.front();
        answers.pop_front();
        return a;
    }
    std::deque<std::optional<QColor>> answers;
    QStringList asked;
    QList<QColor> initials;
};

class ListedPorts final : public PortSource {
public:
    std::vector<PortDescription> ListPorts() const override { return ports; }
    std::vector<PortDescription> ports;
};

} // namespace vexa::test
