#include "store/storedtext.h"

#include "editor/linelist.h"
#include "editor/textcodec.h"

namespace {

constexpr char kKey[] = {'k', 'u', 'v', 'e'};
constexpr int kKeyLength = 4;

// The key restarts with every call: one call covers one whole file.
QByteArray shiftBytes(QByteArrayView bytes, int direction)
{
    QByteArray out(bytes.size(), Qt::Uninitialized);
    for (qsizetype i = 0; i < bytes.size(); ++i)
        out[i] = char(static_cast<unsigned char>(bytes[i]) + direction * kKey[i % kKeyLength]);
    return out;
}

// The plain-text check as one pass that builds nothing. IsScrambled is defined as four
// removals, each a left-to-right pass over the whole text that drops non-overlapping
// occurrences and does not look again at what it joins: CR LF, then tab, then "kqo" in
// any case, then space. Each removal here is a stage that hands on what it keeps, so
// the text can also come in pieces (the lines of a file and the breaks between them).
class ScrambleCheck
{
public:
    void feed(QStringView text)
    {
        for (QChar c : text)
            dropLineBreak(c.unicode());
    }

    bool looksScrambled()
    {
        finish();
        if (m_printable == m_length)
            return false;
        // length / 1.4 rounded to the nearest integer; 5 * length / 7 never ends in a half.
        const qsizetype threshold = (10 * m_length + 7) / 14;
        return m_printable == 0 || m_printable < threshold;
    }

private:
    void dropLineBreak(char16_t c)
    {
        if (m_heldCr) {
            m_heldCr = false;
            if (c == u'\n')
                return;
            dropTab(u'\r');
        }
        if (c == u'\r')
            m_heldCr = true;
        else
            dropTab(c);
    }

    void dropTab(char16_t c)
    {
        if (c != u'\t')
            dropKqo(c);
    }

    // "kqo" cannot start inside a partial match of itself, so a mismatch only lets the
    // held characters through and starts again at the current one. The comparison folds
    // case as Qt's case-insensitive search does (the Kelvin sign is a "k").
    void dropKqo(char16_t c)
    {
        static constexpr char16_t pattern[] = u"kqo";
        const char16_t folded = c < 128 ? (c >= u'A' && c <= u'Z' ? c + 32 : c)
                                        : char16_t(QChar::toCaseFolded(char32_t(c)));
        if (folded != pattern[m_matched]) {
            releaseHeld();
            if (folded != pattern[0]) {
                count(c);
                return;
            }
        }
        m_held[m_matched++] = c;
        if (m_matched == 3)
            m_matched = 0;
    }

    void releaseHeld()
    {
        for (int i = 0; i < m_matched; ++i)
            count(m_held[i]);
        m_matched = 0;
    }

    // The last removal, spaces, and the tally of what is left.
    void count(char16_t c)
    {
        if (c == u' ')
            return;
        ++m_length;
        if (c >= 33 && c <= 126)
            ++m_printable;
    }

    void finish()
    {
        if (m_heldCr) {
            m_heldCr = false;
            dropTab(u'\r');
        }
        releaseHeld();
    }

    bool m_heldCr = false;
    char16_t m_held[3] = {};
    int m_matched = 0;
    qsizetype m_length = 0;
    qsizetype m_printable = 0;
};

} // namespace

QByteArray ScrambleText(QStringView text)
{
    return shiftBytes(toWindows1252(text), +1);
}

QString UnscrambleText(QByteArrayView bytes)
{
    return fromWindows1252(shiftBytes(bytes, -1));
}

bool IsScrambled(QStringView text)
{
    ScrambleCheck check;
    check.feed(text);
    return check.looksScrambled();
}

StoredText ReadStoredText(const QString &path)
{
    QByteArray bytes;
    if (FileResult result = readFileBytes(path, bytes); !result)
        return {{}, result, {}};
    return DecodeStoredText(bytes);
}

StoredText DecodeStoredText(const QByteArray &bytes)
{
    StoredText stored;
    const DecodedText decoded = decodeText(bytes);
    // The check sees the lines joined with CR LF, whichever break separated them.
    QStringList lines = splitLines(decoded.text);
    stored.format = decoded.format;
    ScrambleCheck check;
    for (qsizetype i = 0; i < lines.size(); ++i) {
        if (i > 0)
            check.feed(u"\r\n");
        check.feed(lines[i]);
    }
    if (check.looksScrambled()) {
        QString plain = UnscrambleText(bytes);
        stored.lines = splitLines(plain);
        stored.format.encoding = TextEncoding::Windows1252;
        stored.format.lineBreak = normaliseLineBreaks(plain);
    } else {
        stored.lines = std::move(lines);
    }
    return stored;
}

SaveResult WriteStoredText(const QString &path, const QStringList &lines)
{
    return writeFileSafely(path, ScrambleText(lines.join(QStringLiteral("\r\n"))), kOwnerOnlyFile);
}
