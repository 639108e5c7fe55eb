#include "run/scriptentry.h"

#include "base/textrules.h"

namespace quillora {

ScriptEntry FindScriptEntry(int count, const std::function<QString(int)> &line)
{
    ScriptEntry entry;
    QString header;
    bool found = false;
    for (int i = 0; i < count && !found; ++i) {
        const QString text = line(i);
        const QString lower = asciiLower(text);
        qsizetype p = lower.indexOf(u"function");
        if (p >= 0) {
            entry.isFunction = true;
            header = trimCodes(QStringView(text).mid(p + 9));
            found = true;
            break;
        }
        p = lower.indexOf(u"sub");
        if (p >= 0) {
            header = trimCodes(QStringView(text).mid(p + 4));
            found = true;
        }
    }
    if (!found)
        return entry;
    const qsizetype q = header.indexOf(u'(');
    QString rest;
    if (q >= 0) {
        rest = trimCodes(QStringView(header).mid(q));
        entry.name = trimCodes(QStringView(header).left(q));
    } else {
        entry.name = header;
    }
    const qsizetype close = rest.indexOf(u')');
    if (!isBlank(rest) && close >= 0) {
        rest.truncate(close + 1);
        rest.remove(u'(');
        rest.remove(u')');
        if (!isBlank(rest))
            entry.paramList = rest;
    }
    return entry;
}

ScriptEntry FindScriptEntry(const QStringList &lines)
{
    return FindScriptEntry(int(lines.size()), [&](int i) { return lines.at(i); });
}

ParamNameSlots SplitParameters(const QString &paramList)
{
    ParamNameSlots names;
    QString rest = trimCodes(paramList);
    int i = 0;
    while (!isBlank(rest)) {
        const qsizetype comma = rest.indexOf(u',');
        if (comma < 0) {
            names[size_t(i)] = trimCodes(rest);
            break;
        }
        names[size_t(i)] = rest.left(comma);
        rest = rest.mid(comma + 1);
        if (i < kParamSlots - 1)
            ++i;
    }
    return names;
}

QStringList ParameterNameLines(const ParamNameSlots &names)
{
    QStringList lines;
    for (const QString &name : names)
        if (!name.isEmpty())
            lines << name + u'=';
    return lines;
}

QStringList ValuesForNames(const QStringList &typed, int nameCount)
{
    QStringList values;
    for (int k = 0; k < nameCount; ++k)
        values << typed.value(k);
    return values;
}

QStringList MemoLines(const QString &text)
{
    if (text.isEmpty())
        return {};
    QStringList lines = text.split(u'\n');
    if (lines.last().isEmpty())
        lines.removeLast();
    for (QString &l : lines)
        if (l.endsWith(u'\r'))
            l.chop(1);
    return lines;
}

QString RewriteEcho(QString text)
{
    text.replace(QStringLiteral("Wscript.echo"), QStringLiteral("MsgBox"), Qt::CaseInsensitive);
    text.replace(QStringLiteral("WSH.echo"), QStringLiteral("MsgBox"), Qt::CaseInsensitive);
    return text;
}

QString TestPage(const QString &typeWord, const QString &name, bool onLoad,
                 const QString &callArguments, const QString &script)
{
    const QString crlf = QStringLiteral("\r\n");
    const QString head =
        QStringLiteral("<html><head><title>testpage</title><script type=text/") + typeWord + u'>';
    const QString tail =
        onLoad ? QStringLiteral("</script></head><body bgcolor=\"#ffffff\" onload=\"") + name +
                     callArguments + QStringLiteral("\">") + crlf +
                     QStringLiteral("script test</body></html>")
               : QStringLiteral("</script></head><body bgcolor=\"#ffffff\">") + crlf +
                     QStringLiteral("script test</body></html>");
    return head + crlf + script + crlf + tail;
}

QString BrowserProgramOf(const QString &commandLine)
{
    const QString line = trimCodes(commandLine);
    if (line.startsWith(u'"')) {
        const qsizetype end = line.indexOf(u'"', 1);
        return end < 0 ? QString() : line.mid(1, end - 1);
    }
    QString program = line.section(u' ', 0, 0);
    program.remove(u'"');
    if (program.startsWith(u'%'))
        return QString();
    return program;
}

QString ResultText(const QVariant &value)
{
    if (!value.isValid() || value.isNull())
        return QString();
    if (value.typeId() == QMetaType::QVariantList) {
        QStringList parts;
        for (const QVariant &item : value.toList())
            parts << ResultText(item);
        return parts.join(u',');
    }
    if (value.typeId() == QMetaType::Bool) // a variant Boolean's text, in either language
        return value.toBool() ? QStringLiteral("True") : QStringLiteral("False");
    return value.toString();
}

} // namespace quillora
