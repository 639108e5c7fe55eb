#include "legacysyntax.h"

#include "ccexpression.h"

#include <QList>

#include <limits>

namespace quillora::js {

namespace {

bool isDigit(QChar c)
{
    return c >= u'0' && c <= u'9';
}

bool isOctal(QChar c)
{
    return c >= u'0' && c <= u'7';
}

bool isIdentChar(QChar c)
{
    return c.isLetterOrNumber() || c == u'_' || c == u'$' || c.unicode() >= 0x80;
}

bool isLineEnd(QChar c)
{
    return c == u'\n' || c == u'\r' || c == QChar(0x2028) || c == QChar(0x2029);
}

// Words after which a slash starts a regular expression rather than a division.
bool keywordBeforeRegExp(QStringView word)
{
    static const char16_t *const words[] = {u"return", u"typeof", u"instanceof", u"in",
                                            u"of",     u"new",    u"delete",     u"void",
                                            u"throw",  u"case",   u"do",         u"else"};
    for (const char16_t *w : words)
        if (word == QStringView(w))
            return true;
    return false;
}

class Rewriter
{
public:
    Rewriter(const QString &code, CcState *cc)
        : m_in(code), m_size(code.size()), m_forEngine(cc != nullptr), m_cc(cc)
    {
        if (cc) {
            m_ccOn = cc->on;
            m_ccVars = cc->variables;
        }
    }

    QString run()
    {
        bool regExpAllowed = true; // at a point where a slash starts a regular expression
        qsizetype i = 0;
        while (i < m_size) {
            const QChar c = m_in.at(i);
            if (m_forEngine && (c == u'/' || c == u'@') && conditional(i)) {
                regExpAllowed = !m_ccValue;
            } else if (c == u'/' && i + 1 < m_size && m_in.at(i + 1) == u'/') {
                i = skipLine(i);
            } else if (c == u'/' && i + 1 < m_size && m_in.at(i + 1) == u'*') {
                const qsizetype end = m_in.indexOf(u"*/", i + 2);
                i = end < 0 ? m_size : end + 2;
            } else if (c == u'/') {
                // a regular expression is an operand; a division wants one after it
                i = regExpAllowed ? skipRegExp(i) : i + 1;
                regExpAllowed = !regExpAllowed;
            } else if (c == u'"' || c == u'\'') {
                i = string(i);
                regExpAllowed = false;
            } else if (c == u'`') {
                i = skipTemplate(i);
                regExpAllowed = false;
            } else if (isDigit(c) || (c == u'.' && i + 1 < m_size && isDigit(m_in.at(i + 1)))) {
                i = number(i);
                regExpAllowed = false;
            } else if (isIdentChar(c)) {
                const qsizetype start = i;
                while (i < m_size && isIdentChar(m_in.at(i)))
                    ++i;
                const QStringView word = QStringView(m_in).mid(start, i - start);
                regExpAllowed = keywordBeforeRegExp(word);
                if (m_forEngine && word == u"eval")
                    evalCall(start, i);
                m_afterFunction = word == u"function";
            } else {
                if (!c.isSpace()) {
                    regExpAllowed = c != u')' && c != u']';
                    punctuation(i);
                } else if (isLineEnd(c)) {
                    m_ccLine = false;
                }
                ++i;
            }
        }
        if (m_cc) {
            m_cc->on = m_ccOn;
            m_cc->variables = m_ccVars;
        }
        const QString &same = m_out.isNull() ? m_in : m_out;
        return m_inserts.isEmpty() ? same : withInserts(same);
    }

private:
    QChar *out()
    {
        if (m_out.isNull())
            m_out = m_in;
        return m_out.data();
    }

    qsizetype skipLine(qsizetype i) const
    {
        while (i < m_size && !isLineEnd(m_in.at(i)))
            ++i;
        return i;
    }

    qsizetype skipRegExp(qsizetype i) const
    {
        bool inClass = false;
        for (++i; i < m_size && !isLineEnd(m_in.at(i)); ++i) {
            const QChar c = m_in.at(i);
            if (c == u'\\')
                ++i;
            else if (c == u'[')
                inClass = true;
            else if (c == u']')
                inClass = false;
            else if (c == u'/' && !inClass)
                return i + 1;
        }
        return i;
    }

    qsizetype skipTemplate(qsizetype i) const
    {
        for (++i; i < m_size; ++i) {
            if (m_in.at(i) == u'\\')
                ++i;
            else if (m_in.at(i) == u'`')
                return i + 1;
        }
        return i;
    }

    // A numeric literal from i. 010 becomes "8  ", 080 becomes " 80", 09.5 " 9.5".
    qsizetype number(qsizetype i)
    {
        const qsizetype start = i;
        if (m_in.at(i) == u'0' && i + 1 < m_size && isDigit(m_in.at(i + 1))) {
            qsizetype end = i + 1;
            bool octal = true;
            while (end < m_size && isDigit(m_in.at(end))) {
                octal = octal && isOctal(m_in.at(end));
                ++end;
            }
            if (octal) {
                writeOctal(start, end);
                return end;
            }
            // a decimal with leading zeros: the zeros become spaces
            QChar *d = out();
            for (qsizetype k = start; k + 1 < end && m_in.at(k) == u'0'; ++k)
                d[k] = u' ';
            i = end;
        } else if (m_in.at(i) == u'0' && i + 1 < m_size &&
                   (m_in.at(i + 1) == u'x' || m_in.at(i + 1) == u'X')) {
            i += 2;
            while (i < m_size && isIdentChar(m_in.at(i)))
                ++i;
            return i;
        }
        while (i < m_size && isDigit(m_in.at(i)))
            ++i;
        if (i < m_size && m_in.at(i) == u'.')
            for (++i; i < m_size && isDigit(m_in.at(i));)
                ++i;
        if (i < m_size && (m_in.at(i) == u'e' || m_in.at(i) == u'E')) {
            ++i;
            if (i < m_size && (m_in.at(i) == u'+' || m_in.at(i) == u'-'))
                ++i;
            while (i < m_size && isDigit(m_in.at(i)))
                ++i;
        }
        return i;
    }

    // The octal digits start+1..end as a decimal (or, when long, hexadecimal) literal of
    // the same length, padded with spaces after it.
    void writeOctal(qsizetype start, qsizetype end)
    {
        const qsizetype digits = end - start - 1;
        QString value;
        if (digits <= 17) { // below 2^51: exact as a double and short in decimal
            quint64 v = 0;
            for (qsizetype k = start + 1; k < end; ++k)
                v = v * 8 + quint64(m_in.at(k).unicode() - u'0');
            value = QString::number(v);
        } else { // three bits per octal digit, four per hexadecimal one: the shorter form
            QString bits;
            bits.reserve(digits * 3);
            for (qsizetype k = start + 1; k < end; ++k) {
                const int d = m_in.at(k).unicode() - u'0';
                bits += QChar(u'0' + (d >> 2 & 1));
                bits += QChar(u'0' + (d >> 1 & 1));
                bits += QChar(u'0' + (d & 1));
            }
            while (bits.size() % 4)
                bits.prepend(u'0');
            while (bits.size() > 4 && bits.startsWith(QLatin1String("0000")))
                bits.remove(0, 4);
            value = QStringLiteral("0x");
            for (qsizetype k = 0; k < bits.size(); k += 4)
                value += QString::number(bits.mid(k, 4).toInt(nullptr, 2), 16);
        }
        QChar *d = out();
        for (qsizetype k = 0; k < end - start; ++k)
            d[start + k] = k < value.size() ? value.at(k) : QChar(u' ');
    }

    // A string literal from its opening quote. Octal escapes become the character itself
    // (or a two-character escape for a quote, backslash or line end); the string gets
    // shorter and spaces after its closing quote keep the rest of the line in place.
    qsizetype string(qsizetype i)
    {
        const QChar quote = m_in.at(i);
        qsizetype w = i + 1; // where the next character of the string goes
        for (++i; i < m_size; ++i) {
            const QChar c = m_in.at(i);
            if (c == quote || isLineEnd(c))
                break;
            if (c != u'\\' || i + 1 >= m_size) {
                put(w++, c);
                continue;
            }
            const QChar e = m_in.at(i + 1);
            const bool octalEscape =
                isOctal(e) && !(e == u'0' && !(i + 2 < m_size && isDigit(m_in.at(i + 2))));
            if (e == u'v') { // JScript has no vertical-tab escape: "\v" is "v"
                put(w++, e);
                ++i;
                continue;
            }
            if (!octalEscape && e != u'8' && e != u'9') {
                put(w++, c);
                put(w++, e);
                ++i;
                if (e == u'\r' && i + 1 < m_size && m_in.at(i + 1) == u'\n')
                    put(w++, m_in.at(++i));
                continue;
            }
            // \8 and \9 stand for the digit itself
            int value = octalEscape ? e.unicode() - u'0' : e.unicode();
            qsizetype k = i + 2;
            if (octalEscape) {
                const int most = e <= u'3' ? 3 : 2;
                for (int n = 1; n < most && k < m_size && isOctal(m_in.at(k)); ++n, ++k)
                    value = value * 8 + (m_in.at(k).unicode() - u'0');
            }
            i = k - 1;
            const char16_t *escape = nullptr;
            if (value == '\n')
                escape = u"\\n";
            else if (value == '\r')
                escape = u"\\r";
            else if (value == quote.unicode())
                escape = quote == u'"' ? u"\\\"" : u"\\'";
            else if (value == '\\')
                escape = u"\\\\";
            if (escape) {
                put(w++, QChar(escape[0]));
                put(w++, QChar(escape[1]));
            } else {
                put(w++, QChar(char16_t(value)));
            }
        }
        if (i < m_size && m_in.at(i) == quote)
            put(w++, quote);
        // pad what the rewritten escapes saved
        for (; w < i + (i < m_size && m_in.at(i) == quote ? 1 : 0); ++w)
            put(w, u' ');
        return i < m_size && m_in.at(i) == quote ? i + 1 : i;
    }

    void put(qsizetype at, QChar c)
    {
        if (m_out.isNull() && m_in.at(at) == c)
            return;
        out()[at] = c;
    }

    // Conditional compilation: a comment opened by "/*@" or "//@" holds code once it is on
    // (or when @cc_on turns it on); @cc_on, @if (...) @elif (...) @else @end and
    // @set @name = ... are worked out here, before the engine sees the text: they and the
    // branches not taken become blanks (line ends kept), and an @name in code becomes its
    // value. An @if or @set outside a comment also turns it on. A directive that does not
    // read stays as written: the engine refuses it and the grammar check names the fault.
    // True when `i` held such a piece; `i` is then past it.
    bool conditional(qsizetype &i)
    {
        const QStringView rest = QStringView(m_in).mid(i);
        m_ccValue = false;
        if (!m_ccComment && !m_ccLine && (rest.startsWith(u"/*@") || rest.startsWith(u"//@")) &&
            (m_ccOn || rest.mid(3).startsWith(u"cc_on"))) {
            (rest.at(1) == u'*' ? m_ccComment : m_ccLine) = true;
            // the at sign begins the directive or name right after it, or goes with "/*"
            const qsizetype opener = ccName(m_in, i + 3).isEmpty() ? 3 : 2;
            blank(i, i + opener);
            i += opener;
            return true;
        }
        if (rest.startsWith(u"@*/") && (m_ccComment || m_ccOn)) {
            m_ccComment = false;
            blank(i, i + 3);
            i += 3;
            return true;
        }
        if (rest.at(0) != u'@')
            return false;
        const QStringView word = ccName(m_in, i + 1);
        const qsizetype end = i + 1 + word.size();
        if (word == u"cc_on") {
            m_ccOn = true;
            blank(i, end);
            i = end;
            return true;
        }
        if (word.isEmpty() || (!m_ccOn && word != u"if" && word != u"set"))
            return false;
        qsizetype next = end;
        if (word == u"set") {
            next = ccSet(end);
        } else if (word == u"if") {
            m_ccOn = true;
            CcValue v;
            if (!ccCondition(next, v))
                return false;
            if (!v.isTrue())
                next = ccSkip(next, false);
            else
                ++m_ccDepth;
        } else if (word == u"elif" || word == u"else") { // the branch before was taken
            if (m_ccDepth == 0)
                return false;
            next = ccSkip(i, true);
        } else if (word == u"end") {
            if (m_ccDepth == 0)
                return false;
            --m_ccDepth;
        } else {
            m_ccValue = true;
            const CcValue v =
                m_ccVars.value(word.toString(), {std::numeric_limits<double>::quiet_NaN(), false});
            replace(i, end, v.scriptText());
            i = end;
            return true;
        }
        if (next < 0)
            return false;
        blank(i, next);
        i = next;
        return true;
    }

    // "(expression)" from `p`; `p` then after it.
    bool ccCondition(qsizetype &p, CcValue &v) const
    {
        const QStringView text(m_in);
        while (p < m_size && m_in.at(p).isSpace())
            ++p;
        if (p >= m_size || m_in.at(p) != u'(')
            return false;
        ++p;
        if (!readCcExpression(text, p, m_ccVars, v))
            return false;
        while (p < m_size && m_in.at(p).isSpace())
            ++p;
        if (p >= m_size || m_in.at(p) != u')')
            return false;
        ++p;
        return true;
    }

    // "@name = expression" after @set: the position after it, -1 when it does not read.
    qsizetype ccSet(qsizetype p)
    {
        while (p < m_size && m_in.at(p).isSpace())
            ++p;
        if (p >= m_size || m_in.at(p) != u'@')
            return -1;
        const QStringView name = ccName(m_in, p + 1);
        if (name.isEmpty())
            return -1;
        p += 1 + name.size();
        while (p < m_size && m_in.at(p).isSpace())
            ++p;
        if (p >= m_size || m_in.at(p) != u'=' || (p + 1 < m_size && m_in.at(p + 1) == u'='))
            return -1;
        ++p;
        CcValue v;
        if (!readCcExpression(m_in, p, m_ccVars, v))
            return -1;
        m_ccVars.insert(name.toString(), v);
        m_ccOn = true;
        return p;
    }

    // Skips a branch not taken from `p`, as text: only @if, @elif, @else and @end count
    // there. Past a taken branch (`toEnd`) everything up to its @end goes; otherwise the
    // first @elif whose condition holds, an @else or the @end ends the skip. The position
    // where code goes on, -1 when the @end is missing.
    qsizetype ccSkip(qsizetype p, bool toEnd)
    {
        int nested = 0;
        while ((p = m_in.indexOf(u'@', p)) >= 0) {
            const QStringView word = ccName(m_in, p + 1);
            qsizetype end = p + 1 + word.size();
            if (word == u"if") {
                ++nested;
            } else if (word == u"end") {
                if (nested-- == 0) {
                    if (toEnd)
                        --m_ccDepth;
                    return end;
                }
            } else if (nested == 0 && !toEnd && word == u"else") {
                ++m_ccDepth;
                return end;
            } else if (nested == 0 && !toEnd && word == u"elif") {
                CcValue v;
                if (ccCondition(end, v) && v.isTrue()) {
                    ++m_ccDepth;
                    return end;
                }
            }
            p = end;
        }
        return -1;
    }

    // Blanks from..to, line ends kept.
    void blank(qsizetype from, qsizetype to)
    {
        for (qsizetype k = from; k < to && k < m_size; ++k)
            if (!isLineEnd(m_in.at(k)))
                put(k, u' ');
    }

    // The text from..to replaced by `text`: in place when it fits, else inserted.
    void replace(qsizetype from, qsizetype to, const QString &text)
    {
        blank(from, to);
        if (text.size() > to - from) {
            m_inserts.append({from, text});
            return;
        }
        for (qsizetype k = 0; k < text.size(); ++k)
            put(from + k, text.at(k));
    }

    // A direct call eval(x) becomes eval(__evalText(x)): the host checks the text with
    // JScript's grammar and rewrites it as a script's text is rewritten. A call through a
    // member (o.eval) or a function named eval stays as written.
    void evalCall(qsizetype start, qsizetype end)
    {
        qsizetype k = end;
        while (k < m_size && m_in.at(k).isSpace())
            ++k;
        if (k >= m_size || m_in.at(k) != u'(' || m_afterFunction)
            return;
        qsizetype b = start - 1;
        while (b >= 0 && m_in.at(b).isSpace())
            --b;
        if (b >= 0 && m_in.at(b) == u'.')
            return;
        m_inserts.append({k + 1, QStringLiteral("__evalText(")});
        m_evalDepths.append(m_depth + 1);
    }

    // Brackets are counted to find where the first argument of a wrapped eval call ends.
    void punctuation(qsizetype i)
    {
        const QChar c = m_in.at(i);
        m_afterFunction = false;
        if (c == u'(' || c == u'[' || c == u'{') {
            ++m_depth;
            return;
        }
        const bool ends = c == u')' || c == u']' || c == u'}';
        if ((ends || c == u',') && !m_evalDepths.isEmpty() && m_evalDepths.last() == m_depth) {
            m_inserts.append({i, QStringLiteral(")")});
            m_evalDepths.removeLast();
        }
        if (ends && m_depth > 0)
            --m_depth;
    }

    QString withInserts(const QString &text) const
    {
        QString r;
        qsizetype from = 0;
        for (const Insert &in : m_inserts) {
            r += QStringView(text).mid(from, in.at - from);
            r += in.text;
            from = in.at;
        }
        r += QStringView(text).mid(from);
        return r;
    }

    const QString &m_in;
    const qsizetype m_size;
    const bool m_forEngine;
    QString m_out; // null until the first change
    struct Insert
    {
        qsizetype at;
        QString text;
    };
    QList<Insert> m_inserts; // in the order of their positions
    QList<int> m_evalDepths; // bracket depths of the wrapped eval calls still open
    int m_depth = 0;
    CcState *m_cc;
    CcVariables m_ccVars;
    int m_ccDepth = 0;        // @if blocks open
    bool m_ccOn = false;      // conditional compilation turned on
    bool m_ccComment = false; // inside "/*@ ... @*/"
    bool m_ccLine = false;    // inside "//@ ..." up to the line end
    bool m_ccValue = false;   // the piece just read was a value
    bool m_afterFunction = false;
};

} // namespace

QString rewriteLegacySyntax(const QString &code)
{
    return Rewriter(code, nullptr).run();
}

QString engineText(const QString &code, CcState &cc)
{
    return Rewriter(code, &cc).run();
}

} // namespace quillora::js
