#include "run/macrorecorder.h"

#include <QStringList>

namespace quillora {

namespace {

// A VBScript string expression: quotes doubled, control characters as Chr(n).
QString vbsString(const QString &text)
{
    QStringList parts;
    QString plain;
    const auto flushPlain = [&] {
        if (!plain.isEmpty())
            parts << u'"' + QString(plain).replace(u'"', QStringLiteral("\"\"")) + u'"';
        plain.clear();
    };
    for (const QChar c : text) {
        if (c.unicode() < 32) {
            flushPlain();
            parts << QStringLiteral("Chr(%1)").arg(c.unicode());
        } else {
            plain += c;
        }
    }
    flushPlain();
    return parts.isEmpty() ? QStringLiteral("\"\"") : parts.join(QStringLiteral(" & "));
}

QString jsString(const QString &text)
{
    QString out = QStringLiteral("\"");
    for (const QChar c : text) {
        if (c == u'"' || c == u'\\')
            out += u'\\' + QString(c);
        else if (c.unicode() < 32)
            out += QStringLiteral("\\x%1").arg(c.unicode(), 2, 16, QLatin1Char('0'));
        else
            out += c;
    }
    return out + u'"';
}

} // namespace

void MacroRecorder::typed(const QString &text)
{
    if (text.isEmpty())
        return;
    if (!m_steps.empty() && m_steps.back().kind == Step::Kind::Text)
        m_steps.back().value += text;
    else
        m_steps.push_back({Step::Kind::Text, text});
}

void MacroRecorder::key(const QString &name)
{
    if (!m_steps.empty() && m_steps.back().kind == Step::Kind::Key && m_steps.back().value == name)
        ++m_steps.back().count;
    else
        m_steps.push_back({Step::Kind::Key, name});
}

void MacroRecorder::command(const QString &name)
{
    m_steps.push_back({Step::Kind::Command, name});
}

QString MacroRecorder::script(Language language) const
{
    const bool vbs = language == Language::VBScript;
    const auto str = [vbs](const QString &s) { return vbs ? vbsString(s) : jsString(s); };
    QString out =
        vbs ? QStringLiteral("' Recorded macro\n") : QStringLiteral("// Recorded macro\n");
    for (const Step &step : m_steps) {
        QString call;
        QStringList args;
        switch (step.kind) {
        case Step::Kind::Text:
            call = QStringLiteral("InsertText");
            args << str(step.value);
            break;
        case Step::Kind::Key:
            call = QStringLiteral("Key");
            args << str(step.value);
            if (step.count > 1)
                args << QString::number(step.count);
            break;
        case Step::Kind::Command:
            call = QStringLiteral("RunCommand");
            args << str(step.value);
            break;
        }
        out += vbs ? QStringLiteral("Editor.%1 %2\n").arg(call, args.join(QStringLiteral(", ")))
                   : QStringLiteral("Editor.%1(%2);\n").arg(call, args.join(QStringLiteral(", ")));
    }
    return out;
}

} // namespace quillora
