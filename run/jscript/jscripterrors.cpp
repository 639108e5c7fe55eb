#include "jscripterrors.h"

#include <QRegularExpression>

namespace quillora::js {

const QString &compileSource()
{
    static const QString s = QStringLiteral("Microsoft JScript compilation error");
    return s;
}

const QString &runtimeSource()
{
    static const QString s = QStringLiteral("Microsoft JScript runtime error");
    return s;
}

namespace {

QString stripPrefix(const QString &message)
{
    // "SyntaxError: text" -> "text"
    static const QRegularExpression prefix(QStringLiteral("^[A-Za-z]*Error: "));
    QString m = message;
    m.remove(prefix);
    return m;
}

bool isIdentChar(QChar c)
{
    return c.isLetterOrNumber() || c == u'_' || c == u'$';
}

// Positions in `line` that lie in code: not in a string literal or a comment.
QList<bool> codeMask(const QString &line)
{
    QList<bool> mask(line.size(), true);
    QChar quote;
    for (qsizetype i = 0; i < line.size(); ++i) {
        const QChar c = line.at(i);
        if (!quote.isNull()) {
            mask[i] = false;
            if (c == u'\\')
                mask[++i < line.size() ? i : i - 1] = false;
            else if (c == quote)
                quote = QChar();
            continue;
        }
        if (c == u'"' || c == u'\'') {
            quote = c;
            mask[i] = false;
        } else if (c == u'/' && i + 1 < line.size() && line.at(i + 1) == u'/') {
            for (qsizetype k = i; k < line.size(); ++k)
                mask[k] = false;
            break;
        }
    }
    return mask;
}

// First whole-word occurrence of `word` in code; with `afterDot` only one that follows a
// ".", with `called` only one followed by "(". -1 when there is none.
int findToken(const QString &line, const QString &word, bool afterDot = false, bool called = false)
{
    if (word.isEmpty())
        return -1;
    const QList<bool> mask = codeMask(line);
    qsizetype from = 0;
    while (true) {
        const qsizetype p = line.indexOf(word, from);
        if (p < 0)
            return -1;
        from = p + 1;
        const qsizetype end = p + word.size();
        if (!mask.value(p))
            continue;
        if (p > 0 && isIdentChar(line.at(p - 1)))
            continue;
        if (end < line.size() && isIdentChar(line.at(end)))
            continue;
        if (called) {
            qsizetype q = end;
            while (q < line.size() && line.at(q).isSpace())
                ++q;
            if (q >= line.size() || line.at(q) != u'(')
                continue;
        }
        if (afterDot) {
            qsizetype q = p - 1;
            while (q >= 0 && line.at(q).isSpace())
                --q;
            if (q < 0 || line.at(q) != u'.')
                continue;
        }
        return int(p);
    }
}

// The first call in code, "name(" with a name that is no keyword; -1 when there is none.
int firstCall(const QString &line)
{
    static const QRegularExpression call(QStringLiteral("([A-Za-z_$][A-Za-z0-9_$]*)\\s*\\("));
    static const QStringList keywords = {
        QStringLiteral("if"),     QStringLiteral("while"),  QStringLiteral("for"),
        QStringLiteral("switch"), QStringLiteral("catch"),  QStringLiteral("function"),
        QStringLiteral("return"), QStringLiteral("typeof"), QStringLiteral("with")};
    const QList<bool> mask = codeMask(line);
    for (auto it = call.globalMatch(line); it.hasNext();) {
        const QRegularExpressionMatch m = it.next();
        const qsizetype p = m.capturedStart(1);
        if (mask.value(p) && (p == 0 || !isIdentChar(line.at(p - 1))) &&
            !keywords.contains(m.captured(1)))
            return int(p);
    }
    return -1;
}

int firstNonBlank(const QString &line)
{
    for (qsizetype i = 0; i < line.size(); ++i)
        if (line.at(i) > u' ')
            return int(i);
    return 0;
}

} // namespace

MappedError mapCompileError(const QString &message, const QString &lineText, int column)
{
    const QString m = stripPrefix(message);
    const QString at = lineText.mid(column, 2);
    if (at.startsWith(u'"') || at.startsWith(u'\'')) {
        // an opening quote with no closing one on its line
        const QChar q = at.at(0);
        if (lineText.indexOf(q, column + 1) < 0)
            return {1015, QStringLiteral("Unterminated string constant")};
    }
    if (at == u"/*" && m.contains(u"Unterminated"))
        return {1016, QStringLiteral("Unterminated comment")};
    static const QRegularExpression expected(QStringLiteral("^Expected token `(.*)'$"));
    const QRegularExpressionMatch e = expected.match(m);
    if (e.hasMatch()) {
        static const struct
        {
            const char16_t *token;
            int number;
            const char16_t *text;
        } table[] = {
            {u";", 1004, u"Expected ';'"},
            {u"(", 1005, u"Expected '('"},
            {u")", 1006, u"Expected ')'"},
            {u"]", 1007, u"Expected ']'"},
            {u"{", 1008, u"Expected '{'"},
            {u"}", 1009, u"Expected '}'"},
            {u":", 1003, u"Expected ':'"},
            {u"=", 1011, u"Expected '='"},
            {u"identifier", 1010, u"Expected identifier"},
        };
        const QString token = e.captured(1);
        for (const auto &row : table)
            if (token == QStringView(row.token))
                return {row.number, QString::fromUtf16(row.text)};
        return {1002, QStringLiteral("Syntax error")};
    }
    if (m.startsWith(u"Return statement"))
        return {1018, QStringLiteral("'return' statement outside of function")};
    if (m.startsWith(u"Break outside", Qt::CaseInsensitive))
        return {1019, QStringLiteral("Can't have 'break' outside of loop")};
    if (m.startsWith(u"Continue outside", Qt::CaseInsensitive))
        return {1020, QStringLiteral("Can't have 'continue' outside of loop")};
    if (m.startsWith(u"Undefined label"))
        return {1026, QStringLiteral("Label not found")};
    if (m.startsWith(u"Label ") && m.endsWith(u"has already been declared"))
        return {1025, QStringLiteral("Label redefined")};
    if (m == u"Unexpected token `@'")
        return {1030, QStringLiteral("Conditional compilation is turned off")};
    if (m.contains(u"Unterminated string"))
        return {1015, QStringLiteral("Unterminated string constant")};
    if (m.contains(u"Invalid regular expression") || m.contains(u"regular expression"))
        return {5017, QStringLiteral("Syntax error in regular expression")};
    return {1002, QStringLiteral("Syntax error")};
}

MappedError mapRuntimeError(const QString &name, const QString &message)
{
    const QString m = stripPrefix(message);
    static const QRegularExpression notDefined(QStringLiteral("^(.+) is not defined$"));
    static const QRegularExpression notFunction(QStringLiteral("^(.+) is not a function$"));
    static const QRegularExpression property(
        QStringLiteral("^Property '(.+)' of object .* is not a function$"));
    QRegularExpressionMatch r = notDefined.match(m);
    if (r.hasMatch())
        return {5009, QStringLiteral("'%1' is undefined").arg(r.captured(1))};
    if (m.contains(u"of object [null] is not a function"))
        return {5002, QStringLiteral("Function expected")}; // a global that is no function
    if (property.match(m).hasMatch())
        return {438, QStringLiteral("Object doesn't support this property or method")};
    if (m.startsWith(u"Cannot read property") || m.startsWith(u"Cannot set property") ||
        m.startsWith(u"Cannot call method") || m.contains(u"of undefined") ||
        m.contains(u"of null") || m.contains(u"could not be converted to an object"))
        return {5007, QStringLiteral("Object expected")};
    if (m.contains(u"is not a constructor"))
        return {445, QStringLiteral("Object doesn't support this action")};
    if (notFunction.match(m).hasMatch())
        return {5002, QStringLiteral("Function expected")};
    if (m.startsWith(u"Maximum call stack"))
        return {28, QStringLiteral("Out of stack space")};
    if (m.contains(u"is not a valid radix"))
        return {5, QStringLiteral("Invalid procedure call or argument")};
    if (m.contains(u"precision out of range"))
        return {5027, QStringLiteral("The precision is out of range")};
    if (m.contains(u"fractionDigits") || m.contains(u"fraction digits"))
        return {5026, QStringLiteral("The number of fractional digits is out of range")};
    if (m == u"Invalid array length" || m.endsWith(u"out of range"))
        return {5029, QStringLiteral("Array length must be a finite positive integer")};
    if (m == u"Interrupted")
        return {-2147467260, QStringLiteral("Operation aborted")};
    if (name == u"SyntaxError")
        return mapCompileError(message, QString(), 0);
    if (name == u"TypeError")
        return {5007, m.isEmpty() ? QStringLiteral("Object expected") : m};
    return {5022, m.isEmpty() ? QStringLiteral("Exception thrown and not caught") : m};
}

int runtimeErrorColumn(const QString &message, const QString &lineText)
{
    const QString m = stripPrefix(message);
    static const QRegularExpression patterns[] = {
        QRegularExpression(QStringLiteral("^(.+) is not defined$")),
        QRegularExpression(QStringLiteral("^Property '(.+)' of object .* is not a function$")),
        QRegularExpression(QStringLiteral("^Cannot (?:read|set) property '(.+)' of")),
        QRegularExpression(QStringLiteral("^Cannot call method '(.+)' of")),
        QRegularExpression(QStringLiteral("^(.+) is not a function$")),
    };
    for (size_t i = 0; i < std::size(patterns); ++i) {
        const QRegularExpressionMatch r = patterns[i].match(m);
        if (!r.hasMatch())
            continue;
        QString word = r.captured(1);
        const bool member = (i == 1 && !m.contains(u"[null]")) || i == 2 || i == 3;
        if (i == 4)
            word = word.section(u'.', -1); // "o.f is not a function": f
        const bool called = i == 1 || i == 3 || i == 4;
        int col = findToken(lineText, word, member, called);
        if (col < 0 && i == 4) // "1 is not a function": the value, not the name
            col = firstCall(lineText);
        if (col < 0)
            col = findToken(lineText, word, member);
        if (col < 0 && member)
            col = findToken(lineText, word);
        if (col >= 0)
            return col;
        break;
    }
    // "new Array(-1)": the constructor call
    if (m.endsWith(u"out of range") || m == u"Invalid array length") {
        const int col = findToken(lineText, QStringLiteral("Array"));
        if (col >= 0)
            return col;
    }
    const int thrown = findToken(lineText, QStringLiteral("throw"));
    if (thrown >= 0)
        return thrown;
    return firstNonBlank(lineText);
}

} // namespace quillora::js
