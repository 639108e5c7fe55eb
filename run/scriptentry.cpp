#include "run/scriptentry.h"

#include "base/textrules.h"

namespace quillora {

namespace {

bool isNameStart(QChar c)
{
    return c.isLetter() || c == u'_' || c == u'$';
}

bool isNameChar(QChar c)
{
    return c.isLetterOrNumber() || c == u'_' || c == u'$';
}

qsizetype skipBlanks(QStringView text, qsizetype at)
{
    while (at < text.size() && text[at].unicode() <= 32)
        ++at;
    return at;
}

// The word beginning at `at`, ASCII lower-cased; empty when no name starts there.
QString wordAt(QStringView text, qsizetype at, qsizetype *end)
{
    qsizetype e = at;
    if (e < text.size() && isNameStart(text[e]))
        while (e < text.size() && isNameChar(text[e]))
            ++e;
    *end = e;
    return asciiLower(text.sliced(at, e - at).toString());
}

// A procedure header in the statement that begins at `at`: optional modifiers, then the
// keyword as a whole word, blanks and a name. Fills `entry` and `header` (the text after
// the keyword) and returns true when there is one.
bool headerAt(QStringView text, qsizetype at, ScriptSyntax syntax, ScriptEntry &entry,
              QString &header)
{
    static const QStringList modifiers = {QStringLiteral("public"), QStringLiteral("private"),
                                          QStringLiteral("default"), QStringLiteral("async")};
    qsizetype end = 0;
    QString word = wordAt(text, skipBlanks(text, at), &end);
    while (modifiers.contains(word))
        word = wordAt(text, skipBlanks(text, end), &end);
    const bool function = word == u"function";
    const bool sub = word == u"sub" && syntax == ScriptSyntax::VBScript;
    if (!function && !sub)
        return false;
    const qsizetype name = skipBlanks(text, end);
    if (name == end || name >= text.size() || !isNameStart(text[name]))
        return false;
    entry.isFunction = function;
    header = trimCodes(text.mid(name));
    return true;
}

} // namespace

ScriptEntry FindScriptEntry(int count, const std::function<QString(int)> &line, ScriptSyntax syntax)
{
    const bool vb = syntax == ScriptSyntax::VBScript;
    ScriptEntry entry;
    QString header;
    bool found = false;
    bool inBlockComment = false; // JScript /* ... */ across lines
    for (int i = 0; i < count && !found; ++i) {
        const QString text = line(i);
        const QStringView t(text);
        qsizetype at = 0;
        bool statementStart = true;
        QChar quote; // the open string's delimiter, or null
        while (at <= t.size() && !found) {
            if (inBlockComment) {
                const qsizetype close = t.indexOf(u"*/", at);
                if (close < 0)
                    break;
                inBlockComment = false;
                at = close + 2;
                continue;
            }
            if (statementStart) {
                const qsizetype s = skipBlanks(t, at);
                if (!vb && t.sliced(s).startsWith(u"/*")) {
                    inBlockComment = true;
                    at = s + 2;
                    continue;
                }
                statementStart = false;
                if (headerAt(t, s, syntax, entry, header)) {
                    found = true;
                    break;
                }
                at = s;
            }
            if (at >= t.size())
                break;
            const QChar c = t[at];
            if (!quote.isNull()) {
                if (c == u'\\' && !vb)
                    ++at;
                else if (c == quote)
                    quote = QChar();
                ++at;
                continue;
            }
            if (c == u'"' || (!vb && (c == u'\'' || c == u'`'))) {
                quote = c;
            } else if (vb && c == u'\'') {
                break; // comment to the end of the line
            } else if (!vb && c == u'/' && at + 1 < t.size() && t[at + 1] == u'/') {
                break;
            } else if (!vb && c == u'/' && at + 1 < t.size() && t[at + 1] == u'*') {
                inBlockComment = true;
                at += 2;
                statementStart = true; // a statement may follow the comment's end
                continue;
            } else if (c == (vb ? u':' : u';')) {
                statementStart = true;
            }
            ++at;
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

ScriptEntry FindScriptEntry(const QStringList &lines, ScriptSyntax syntax)
{
    return FindScriptEntry(
        int(lines.size()), [&](int i) { return lines.at(i); }, syntax);
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
        QStringLiteral("<html><head><meta charset=\"utf-8\"><title>testpage</title>"
                       "<script type=text/") +
        typeWord + u'>';
    const QString tail =
        onLoad ? QStringLiteral("</script></head><body bgcolor=\"#ffffff\" onload=\"") + name +
                     callArguments + QStringLiteral("\">") + crlf +
                     QStringLiteral("script test</body></html>")
               : QStringLiteral("</script></head><body bgcolor=\"#ffffff\">") + crlf +
                     QStringLiteral("script test</body></html>");
    return head + crlf + script + crlf + tail;
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
