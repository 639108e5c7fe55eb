#include "tests/support/scriptedprompts.h"

#include <QTest>

namespace {

const char *kindName(ScriptedPrompts::Kind kind)
{
    static const char *const names[] = {"message",    "question",  "input", "open file",
                                        "open files", "save file", "font",  "colour",
                                        "print",      "exec"};
    return names[int(kind)];
}

} // namespace

ScriptedPrompts &ScriptedPrompts::expectMessage(const QString &textContains)
{
    m_steps.append({Kind::Message, textContains, std::monostate{}});
    return *this;
}

ScriptedPrompts &ScriptedPrompts::expectQuestion(Answer answer, const QString &textContains)
{
    m_steps.append({Kind::Question, textContains, answer});
    return *this;
}

ScriptedPrompts &ScriptedPrompts::expectInput(std::optional<QString> answer)
{
    m_steps.append({Kind::Input, {}, answer});
    return *this;
}

ScriptedPrompts &ScriptedPrompts::expectOpenFile(std::optional<QString> answer)
{
    m_steps.append({Kind::OpenFile, {}, answer});
    return *this;
}

ScriptedPrompts &ScriptedPrompts::expectOpenFiles(std::optional<QStringList> answer)
{
    m_steps.append({Kind::OpenFiles, {}, answer});
    return *this;
}

ScriptedPrompts &ScriptedPrompts::expectSaveFile(std::optional<QString> answer)
{
    m_steps.append({Kind::SaveFile, {}, answer});
    return *this;
}

ScriptedPrompts &ScriptedPrompts::expectFont(std::optional<QFont> answer)
{
    m_steps.append({Kind::Font, {}, answer});
    return *this;
}

ScriptedPrompts &ScriptedPrompts::expectColour(std::optional<int> answer)
{
    m_steps.append({Kind::Colour, {}, answer});
    return *this;
}

ScriptedPrompts &ScriptedPrompts::expectPrint(std::function<bool(QPrinter &)> answer)
{
    m_steps.append({Kind::Print, {}, std::move(answer)});
    return *this;
}

ScriptedPrompts &ScriptedPrompts::expectExec(std::function<int(QDialog &)> answer)
{
    m_steps.append({Kind::Exec, {}, std::move(answer)});
    return *this;
}

std::optional<ScriptedPrompts::Step> ScriptedPrompts::take(Kind kind, const QString &title,
                                                           const QString &text)
{
    m_seen.append({kind, title, text});
    if (m_steps.isEmpty() || m_steps.first().kind != kind) {
        const QByteArray why = QByteArray("unexpected ") + kindName(kind) + ": " + title.toUtf8() +
                               " / " + text.toUtf8();
        QTest::qFail(why.constData(), __FILE__, __LINE__);
        return std::nullopt;
    }
    Step step = m_steps.takeFirst();
    if (!step.textContains.isEmpty() && !text.contains(step.textContains)) {
        const QByteArray why = QByteArray(kindName(kind)) + " text \"" + text.toUtf8() +
                               "\" lacks \"" + step.textContains.toUtf8() + "\"";
        QTest::qFail(why.constData(), __FILE__, __LINE__);
    }
    return step;
}

void ScriptedPrompts::message(Icon, const QString &title, const QString &text)
{
    take(Kind::Message, title, text);
}

Prompts::Answer ScriptedPrompts::question(Icon, const QString &title, const QString &text, Buttons)
{
    const auto step = take(Kind::Question, title, text);
    return step ? std::get<Answer>(step->answer) : Answer::Cancel;
}

std::optional<QString> ScriptedPrompts::inputText(const QString &title, const QString &label,
                                                  const QString &)
{
    const auto step = take(Kind::Input, title, label);
    return step ? std::get<std::optional<QString>>(step->answer) : std::nullopt;
}

std::optional<QStringList> ScriptedPrompts::openFileNames(const QString &folder, const QString &)
{
    const auto step = take(Kind::OpenFiles, QString(), folder);
    return step ? std::get<std::optional<QStringList>>(step->answer) : std::nullopt;
}

std::optional<QString> ScriptedPrompts::openFileName(const QString &folder, const QString &)
{
    const auto step = take(Kind::OpenFile, QString(), folder);
    return step ? std::get<std::optional<QString>>(step->answer) : std::nullopt;
}

std::optional<QString> ScriptedPrompts::saveFileName(const QString &folder,
                                                     const QString &proposedName, const QString &)
{
    const auto step = take(Kind::SaveFile, folder, proposedName);
    return step ? std::get<std::optional<QString>>(step->answer) : std::nullopt;
}

std::optional<QFont> ScriptedPrompts::font(const QFont &initial)
{
    const auto step = take(Kind::Font, QString(), initial.family());
    return step ? std::get<std::optional<QFont>>(step->answer) : std::nullopt;
}

std::optional<int> ScriptedPrompts::colour(int initial)
{
    const auto step = take(Kind::Colour, QString(), QString::number(initial));
    return step ? std::get<std::optional<int>>(step->answer) : std::nullopt;
}

bool ScriptedPrompts::print(QPrinter &printer)
{
    const auto step = take(Kind::Print, QString(), QString());
    return step && std::get<std::function<bool(QPrinter &)>>(step->answer)(printer);
}

int ScriptedPrompts::exec(QDialog &dialog)
{
    const auto step = take(Kind::Exec, QString(), QString());
    return step ? std::get<std::function<int(QDialog &)>>(step->answer)(dialog) : 0;
}
