#pragma once
// What "Record macro" collects: typed text, keys and menu commands, written out as a
// readable VBScript or JScript of Editor calls. Consecutive typed characters become one
// InsertText, a key pressed several times in a row one Key call with a count.

#include <QString>
#include <vector>

namespace quillora {

class MacroRecorder
{
public:
    enum class Language
    {
        VBScript,
        JScript
    };

    void typed(const QString &text);
    // A key by its portable name ("Left", "Shift+End", "Backspace", "Return").
    void key(const QString &name);
    // A menu command by the name Editor.RunCommand takes.
    void command(const QString &name);
    bool isEmpty() const { return m_steps.empty(); }
    void clear() { m_steps.clear(); }

    QString script(Language language) const;

private:
    struct Step
    {
        enum class Kind
        {
            Text,
            Key,
            Command
        } kind;
        QString value;
        int count = 1;
    };
    std::vector<Step> m_steps;
};

} // namespace quillora
