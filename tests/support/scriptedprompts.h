#pragma once
// Prompts for tests: each call must match the next scripted step, which supplies the
// answer. An unexpected call fails the running test and answers Cancel.

#include "base/prompts.h"

#include <QList>
#include <functional>
#include <variant>

class ScriptedPrompts : public Prompts
{
public:
    enum class Kind
    {
        Message,
        Question,
        Input,
        OpenFile,
        OpenFiles,
        SaveFile,
        Font,
        Colour,
        Print,
        Exec
    };

    struct Seen
    {
        Kind kind;
        QString title;
        QString text; // message text, or the proposed folder/name of a file dialog
    };

    // `textContains`, when given, must occur in the shown text.
    ScriptedPrompts &expectMessage(const QString &textContains = {});
    ScriptedPrompts &expectQuestion(Answer answer, const QString &textContains = {});
    ScriptedPrompts &expectInput(std::optional<QString> answer);
    ScriptedPrompts &expectOpenFile(std::optional<QString> answer);
    ScriptedPrompts &expectOpenFiles(std::optional<QStringList> answer);
    ScriptedPrompts &expectSaveFile(std::optional<QString> answer);
    ScriptedPrompts &expectFont(std::optional<QFont> answer);
    ScriptedPrompts &expectColour(std::optional<int> answer);
    ScriptedPrompts &expectPrint(std::function<bool(QPrinter &)> answer);
    ScriptedPrompts &expectExec(std::function<int(QDialog &)> answer);

    bool done() const { return m_steps.isEmpty(); }
    const QList<Seen> &seen() const { return m_seen; }

    void message(Icon icon, const QString &title, const QString &text) override;
    Answer question(Icon icon, const QString &title, const QString &text, Buttons buttons) override;
    std::optional<QString> inputText(const QString &title, const QString &label,
                                     const QString &initial) override;
    std::optional<QString> openFileName(const QString &folder, const QString &filters) override;
    std::optional<QStringList> openFileNames(const QString &folder,
                                             const QString &filters) override;
    std::optional<QString> saveFileName(const QString &folder, const QString &proposedName,
                                        const QString &filters) override;
    std::optional<QFont> font(const QFont &initial) override;
    std::optional<int> colour(int initial) override;
    bool print(QPrinter &printer) override;
    int exec(QDialog &dialog) override;

private:
    using AnswerValue =
        std::variant<std::monostate, Answer, std::optional<QString>, std::optional<QFont>,
                     std::optional<int>, std::optional<QStringList>,
                     std::function<bool(QPrinter &)>, std::function<int(QDialog &)>>;
    struct Step
    {
        Kind kind;
        QString textContains;
        AnswerValue answer;
    };

    // Takes the next step if it is of `kind`; records a test failure otherwise.
    std::optional<Step> take(Kind kind, const QString &title, const QString &text);

    QList<Step> m_steps;
    QList<Seen> m_seen;
};
