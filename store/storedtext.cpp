#include "store/storedtext.h"

#include "editor/textcodec.h"

#include <QFile>

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

// One left-to-right pass that drops every non-overlapping occurrence of `pattern`; what
// the removal joins together is not looked at again.
QString removeAll(QStringView text, QStringView pattern, Qt::CaseSensitivity cs)
{
    QString out;
    out.reserve(text.size());
    qsizetype from = 0;
    for (qsizetype at; (at = text.indexOf(pattern, from, cs)) >= 0; from = at + pattern.size())
        out.append(text.sliced(from, at - from));
    out.append(text.sliced(from));
    return out;
}

// True when the removals of IsScrambled would leave printable characters only: every
// character is one, or a tab, a space or part of a CR LF pair, all of which they remove.
// Plain text, the common case, is then told in one pass without copying it four times.
bool onlyPrintableAfterRemovals(QStringView text)
{
    const qsizetype n = text.size();
    for (qsizetype i = 0; i < n; ++i) {
        const char16_t c = text[i].unicode();
        if ((c >= 33 && c <= 126) || c == u'\t' || c == u' ')
            continue;
        if (c == u'\r' && i + 1 < n && text[i + 1] == u'\n') {
            ++i;
            continue;
        }
        return false;
    }
    return true;
}

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
    if (onlyPrintableAfterRemovals(text))
        return false;
    // The removals run in this order, each over the whole text: a tab or a line break
    // inside "k<tab>qo" lets the "kqo" removal see it.
    QString cleaned = removeAll(text, u"\r\n", Qt::CaseSensitive);
    cleaned = removeAll(cleaned, u"\t", Qt::CaseSensitive);
    cleaned = removeAll(cleaned, u"kqo", Qt::CaseInsensitive);
    cleaned = removeAll(cleaned, u" ", Qt::CaseSensitive);

    qsizetype printable = 0;
    for (QChar c : std::as_const(cleaned)) {
        if (c.unicode() >= 33 && c.unicode() <= 126)
            ++printable;
    }
    if (printable == cleaned.size())
        return false;
    // length / 1.4 rounded to the nearest integer; 5 * length / 7 never ends in a half.
    const qsizetype threshold = (10 * cleaned.size() + 7) / 14;
    return printable == 0 || printable < threshold;
}

StoredText ReadStoredText(const QString &path)
{
    StoredText stored;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        stored.result = FileResult::failure(file.errorString());
        return stored;
    }
    const QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError) {
        stored.result = FileResult::failure(file.errorString());
        return stored;
    }
    const DecodedText decoded = decodeText(bytes);
    // The check sees the lines joined with CR LF, whichever break separated them.
    QStringList lines = splitLines(decoded.text);
    stored.format = decoded.format;
    if (IsScrambled(lines.join(QStringLiteral("\r\n")))) {
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
