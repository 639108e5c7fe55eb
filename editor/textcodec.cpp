#include "editor/textcodec.h"

#include <QDebug>
#include <QHash>
#include <array>
#include <cstring>
#include <utility>

namespace {

// Output is handed on in pieces of about this size.
constexpr qsizetype kPiece = 1 << 20;
// How far back from a piece's end a converter's input looks for a place to cut.
constexpr qsizetype kCutSearch = 4096;

// 0x80..0x9F of Windows-1252; the unassigned bytes keep their own number.
constexpr std::array<char16_t, 32> kHighControls = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

char windows1252Byte(char32_t c)
{
    if (c < 0x80 || (c >= 0xA0 && c <= 0xFF))
        return char(c);
    for (int i = 0; i < 32; ++i) {
        if (kHighControls[i] == c)
            return char(0x80 + i);
    }
    return '?';
}

// Strict UTF-8 (no overlong forms, no surrogates, nothing above U+10FFFF): the length of
// the longest prefix of whole valid characters. `invalid` tells whether it stopped at a
// wrong byte rather than at a character cut off by the end.
qsizetype validUtf8Prefix(QByteArrayView bytes, bool &invalid)
{
    const auto *p = reinterpret_cast<const unsigned char *>(bytes.data());
    const qsizetype n = bytes.size();
    invalid = false;
    qsizetype i = 0;
    while (i < n) {
        // ASCII 32 and then 8 bytes at a time: most text is mostly ASCII.
        while (i + 32 <= n) {
            quint64 words[4];
            std::memcpy(words, p + i, 32);
            if ((words[0] | words[1] | words[2] | words[3]) & 0x8080808080808080ULL)
                break;
            i += 32;
        }
        while (i + 8 <= n) {
            quint64 word;
            std::memcpy(&word, p + i, 8);
            if (word & 0x8080808080808080ULL)
                break;
            i += 8;
        }
        if (i >= n)
            break;
        const unsigned char c = p[i];
        if (c < 0x80) {
            ++i;
            continue;
        }
        int length = 0;
        unsigned char low = 0x80, high = 0xBF; // allowed range of the second byte
        if (c >= 0xC2 && c <= 0xDF) {
            length = 2;
        } else if (c >= 0xE0 && c <= 0xEF) {
            length = 3;
            if (c == 0xE0)
                low = 0xA0;
            else if (c == 0xED)
                high = 0x9F;
        } else if (c >= 0xF0 && c <= 0xF4) {
            length = 4;
            if (c == 0xF0)
                low = 0x90;
            else if (c == 0xF4)
                high = 0x8F;
        } else {
            invalid = true;
            return i;
        }
        for (int k = 1; k < length; ++k) {
            if (i + k >= n)
                return i; // cut off: valid so far
            const unsigned char b = p[i + k];
            if (k == 1 ? (b < low || b > high) : (b & 0xC0) != 0x80) {
                invalid = true;
                return i;
            }
        }
        i += length;
    }
    return i;
}

// One character of the editor's UTF-8, surrogates allowed; a byte that starts no
// character reads as U+FFFD.
char32_t nextCodePoint(const unsigned char *&p, const unsigned char *end)
{
    const unsigned char c = *p++;
    if (c < 0x80)
        return c;
    int length = 0;
    char32_t value = 0;
    if (c >= 0xC2 && c <= 0xDF) {
        length = 2;
        value = c & 0x1F;
    } else if (c >= 0xE0 && c <= 0xEF) {
        length = 3;
        value = c & 0x0F;
    } else if (c >= 0xF0 && c <= 0xF4) {
        length = 4;
        value = c & 0x07;
    } else {
        return 0xFFFD;
    }
    if (end - p < length - 1)
        return 0xFFFD;
    for (int k = 1; k < length; ++k) {
        if ((p[k - 1] & 0xC0) != 0x80)
            return 0xFFFD;
    }
    for (int k = 1; k < length; ++k)
        value = value << 6 | (*p++ & 0x3F);
    return value;
}

void appendUtf8(QByteArray &out, char32_t c)
{
    if (c < 0x80) {
        out.append(char(c));
    } else if (c < 0x800) {
        out.append(char(0xC0 | c >> 6));
        out.append(char(0x80 | (c & 0x3F)));
    } else if (c < 0x10000) {
        out.append(char(0xE0 | c >> 12));
        out.append(char(0x80 | (c >> 6 & 0x3F)));
        out.append(char(0x80 | (c & 0x3F)));
    } else {
        out.append(char(0xF0 | c >> 18));
        out.append(char(0x80 | (c >> 12 & 0x3F)));
        out.append(char(0x80 | (c >> 6 & 0x3F)));
        out.append(char(0x80 | (c & 0x3F)));
    }
}

void appendUtf16Unit(QByteArray &out, char16_t unit, bool bigEndian)
{
    const char high = char(unit >> 8), low = char(unit & 0xFF);
    out.append(bigEndian ? high : low);
    out.append(bigEndian ? low : high);
}

const char *breakBytes(LineBreak style)
{
    switch (style) {
    case LineBreak::CrLf:
        return "\r\n";
    case LineBreak::Cr:
        return "\r";
    case LineBreak::Lf:
        break;
    }
    return "\n";
}

bool startsWith(QByteArrayView bytes, QByteArrayView mark)
{
    return bytes.size() >= mark.size() && std::memcmp(bytes.data(), mark.data(), mark.size()) == 0;
}

const QByteArrayView kUtf8Mark("\xEF\xBB\xBF", 3);
const QByteArrayView kUtf16LEMark("\xFF\xFE", 2);
const QByteArrayView kUtf16BEMark("\xFE\xFF", 2);

constexpr TextEncoding kAllEncodings[] = {
    TextEncoding::Utf8,      TextEncoding::Utf8WithMark, TextEncoding::Utf16LE,
    TextEncoding::Utf16BE,   TextEncoding::Windows1252,  TextEncoding::Iso8859_1,
    TextEncoding::Iso8859_2, TextEncoding::Iso8859_15,   TextEncoding::Koi8R,
    TextEncoding::ShiftJis,  TextEncoding::Gb18030};

// The name Qt's converters know an encoding by; null for those this file converts itself.
const char *converterName(TextEncoding encoding)
{
    switch (encoding) {
    case TextEncoding::Iso8859_1:
        return "ISO-8859-1";
    case TextEncoding::Iso8859_2:
        return "ISO-8859-2";
    case TextEncoding::Iso8859_15:
        return "ISO-8859-15";
    case TextEncoding::Koi8R:
        return "KOI8-R";
    case TextEncoding::ShiftJis:
        return "Shift_JIS";
    case TextEncoding::Gb18030:
        return "GB18030";
    default:
        return nullptr;
    }
}

bool isUtf(TextEncoding encoding)
{
    return encoding == TextEncoding::Utf8 || encoding == TextEncoding::Utf8WithMark ||
           encoding == TextEncoding::Utf16LE || encoding == TextEncoding::Utf16BE;
}

// Whether one of Qt's converters writes `c` so that it reads back the same, asked once
// per character and encoding.
bool converterHolds(TextEncoding encoding, char32_t c)
{
    static thread_local QHash<quint64, bool> known;
    const quint64 key = quint64(encoding) << 32 | c;
    if (const auto found = known.constFind(key); found != known.cend())
        return *found;
    const QString text = QString::fromUcs4(&c, 1);
    QStringEncoder encoder(converterName(encoding));
    const QByteArray bytes = encoder(text);
    QStringDecoder decoder(converterName(encoding));
    const QString back = decoder(bytes);
    const bool holds = !encoder.hasError() && !decoder.hasError() && back == text;
    known.insert(key, holds);
    return holds;
}

bool encodingHoldsAscii(TextEncoding encoding);

} // namespace

std::span<const TextEncoding> allEncodings()
{
    return kAllEncodings;
}

QString encodingName(TextEncoding encoding)
{
    switch (encoding) {
    case TextEncoding::Utf8:
        return QStringLiteral("UTF-8");
    case TextEncoding::Utf8WithMark:
        return QStringLiteral("UTF-8 BOM");
    case TextEncoding::Utf16LE:
        return QStringLiteral("UTF-16 LE");
    case TextEncoding::Utf16BE:
        return QStringLiteral("UTF-16 BE");
    case TextEncoding::Windows1252:
        return QStringLiteral("Windows-1252");
    case TextEncoding::ShiftJis:
        return QStringLiteral("Shift-JIS");
    default:
        return QString::fromLatin1(converterName(encoding));
    }
}

namespace {

// Whether every ASCII character reads back as itself (then the checks skip them).
bool encodingHoldsAscii(TextEncoding encoding)
{
    if (!converterName(encoding))
        return true;
    for (char32_t c = 0; c < 0x80; ++c) {
        if (!converterHolds(encoding, c))
            return false;
    }
    return true;
}

} // namespace

bool encodingHolds(TextEncoding encoding, char32_t c)
{
    if (isUtf(encoding))
        return true;
    if (encoding == TextEncoding::Windows1252)
        return windows1252Holds(c);
    // A lone surrogate is no character any converter writes.
    return !QChar::isSurrogate(c) && converterHolds(encoding, c);
}

// ---- Encoding detection ----

qsizetype EncodingDetector::feed(QByteArrayView bytes, bool last)
{
    if (m_decided)
        return bytes.size();
    qsizetype taken = 0;
    if (!m_started) {
        if (bytes.size() < 3 && !last)
            return 0;
        m_started = true;
        if (startsWith(bytes, kUtf16LEMark) || startsWith(bytes, kUtf16BEMark)) {
            m_encoding = bytes[0] == '\xFF' ? TextEncoding::Utf16LE : TextEncoding::Utf16BE;
            m_decided = true;
            return bytes.size();
        }
        if (startsWith(bytes, kUtf8Mark)) {
            m_markSeen = true;
            taken = 3;
        }
    }
    bool invalid = false;
    taken += validUtf8Prefix(bytes.sliced(taken), invalid);
    if (invalid || (last && taken < bytes.size())) {
        m_encoding = TextEncoding::Windows1252;
        m_decided = true;
        return bytes.size();
    }
    if (last) {
        m_encoding = m_markSeen ? TextEncoding::Utf8WithMark : TextEncoding::Utf8;
        m_decided = true;
    }
    return taken;
}

TextEncoding detectEncoding(QByteArrayView bytes)
{
    EncodingDetector detector;
    detector.feed(bytes, true);
    return detector.encoding();
}

// ---- Decoding into the editor's form ----

EditorTextDecoder::EditorTextDecoder(TextEncoding encoding)
{
    m_format.encoding = encoding;
    if (const char *name = converterName(encoding))
        m_converter.emplace(name);
}

void EditorTextDecoder::lineBreak(LineBreak style)
{
    m_breaks.add(style);
}

void EditorTextDecoder::appendCodePoint(char32_t c)
{
    appendUtf8(m_buffer, c);
}

template <typename UnitAt>
void EditorTextDecoder::appendUnits(qsizetype units, const UnitAt &unitAt)
{
    m_buffer.reserve(m_buffer.size() + units * 3 / 2);
    for (qsizetype i = 0; i < units; ++i) {
        const char16_t u = unitAt(i);
        if (u == u'\n') {
            lineBreak(LineBreak::Lf);
            m_buffer.append('\n');
        } else if (u == u'\r') {
            const bool pair = i + 1 < units && unitAt(i + 1) == u'\n';
            lineBreak(pair ? LineBreak::CrLf : LineBreak::Cr);
            m_buffer.append('\n');
            i += pair ? 1 : 0;
        } else if (QChar::isHighSurrogate(u) && i + 1 < units &&
                   QChar::isLowSurrogate(unitAt(i + 1))) {
            appendCodePoint(QChar::surrogateToUcs4(u, unitAt(i + 1)));
            ++i;
        } else {
            appendCodePoint(u); // lone surrogates too, in their three-byte form
        }
    }
}

qsizetype EditorTextDecoder::feedConverter(QByteArrayView bytes, bool last)
{
    // A piece ends after a byte below 0x30, which is no part of a longer character in any
    // of these encodings: Qt 6.4's converters may lose a byte of an invalid sequence that
    // is cut in two. A piece with no such byte near its end waits for more, up to a limit.
    if (!last) {
        const qsizetype from = qMax<qsizetype>(0, bytes.size() - kCutSearch);
        qsizetype cut = bytes.size();
        while (cut > from && static_cast<unsigned char>(bytes[cut - 1]) >= 0x30)
            --cut;
        if (cut > from)
            bytes = bytes.first(cut);
        else if (bytes.size() < kCutSearch)
            return 0;
    }
    // The converter tells of invalid bytes only until its next call.
    QString text = std::exchange(m_held, QString()) + (*m_converter)(bytes);
    m_invalid = m_invalid || m_converter->hasError();
    if (last) {
        // A character cut off by the end stays inside the converter; a line break after
        // it brings it out (as an invalid one).
        QString rest = (*m_converter)(QByteArrayView("\n", 1));
        m_invalid = m_invalid || m_converter->hasError();
        if (rest.endsWith(u'\n'))
            rest.chop(1);
        text += rest;
    } else if (!text.isEmpty() && (text.back() == u'\r' || text.back().isHighSurrogate())) {
        m_held = text.back();
        text.chop(1);
    }
    // The runs between breaks go to UTF-8 whole, which is much faster than unit by unit.
    const QStringView all(text);
    m_buffer.reserve(all.size() * 2);
    qsizetype start = 0;
    for (qsizetype i = 0; i < all.size(); ++i) {
        const char16_t u = all[i].unicode();
        if (u != u'\n' && u != u'\r')
            continue;
        m_buffer.append(toEditorUtf8(all.sliced(start, i - start)));
        const bool pair = u == u'\r' && i + 1 < all.size() && all[i + 1] == u'\n';
        lineBreak(pair ? LineBreak::CrLf : (u == u'\r' ? LineBreak::Cr : LineBreak::Lf));
        m_buffer.append('\n');
        i += pair ? 1 : 0;
        start = i + 1;
    }
    m_buffer.append(toEditorUtf8(all.sliced(start)));
    return bytes.size();
}

qsizetype EditorTextDecoder::feed(QByteArrayView bytes, bool last, const ByteSink &out)
{
    const TextEncoding encoding = m_format.encoding;
    const bool utf8 = encoding == TextEncoding::Utf8 || encoding == TextEncoding::Utf8WithMark;
    const bool utf16 = encoding == TextEncoding::Utf16LE || encoding == TextEncoding::Utf16BE;
    qsizetype taken = 0;
    if (m_atStart) {
        const QByteArrayView mark = utf8                                ? kUtf8Mark
                                    : encoding == TextEncoding::Utf16LE ? kUtf16LEMark
                                    : encoding == TextEncoding::Utf16BE ? kUtf16BEMark
                                                                        : QByteArrayView();
        if (bytes.size() < mark.size() && !last)
            return 0;
        m_atStart = false;
        const bool marked = !mark.isEmpty() && startsWith(bytes, mark);
        if (utf8)
            m_format.encoding = marked ? TextEncoding::Utf8WithMark : TextEncoding::Utf8;
        if (utf16)
            m_format.withoutMark = !marked;
        taken = marked ? mark.size() : 0;
    }
    m_buffer.clear();
    if (m_converter) {
        const qsizetype used = feedConverter(bytes, last);
        if (!m_buffer.isEmpty() && !out(m_buffer))
            return -1;
        return used;
    }
    // A CR at the end of a piece is decided by the next one: the LF of a CR LF pair
    // must not be taken for a break of its own.
    const auto takeWithBreaks = [&](const char *p, qsizetype n, bool mayHoldCr) -> qsizetype {
        const bool holdCr = mayHoldCr && n > 0 && p[n - 1] == '\r';
        if (holdCr)
            --n;
        qsizetype i = 0;
        while (i < n) {
            const void *cr = std::memchr(p + i, '\r', size_t(n - i));
            const qsizetype runEnd = cr ? static_cast<const char *>(cr) - p : n;
            for (const char *lf = p + i; lf < p + runEnd; ++lf) {
                lf = static_cast<const char *>(std::memchr(lf, '\n', size_t(p + runEnd - lf)));
                if (!lf)
                    break;
                lineBreak(LineBreak::Lf);
            }
            if (!cr)
                break;
            if (runEnd + 1 < n && p[runEnd + 1] == '\n') {
                lineBreak(LineBreak::CrLf);
                i = runEnd + 2;
            } else {
                lineBreak(LineBreak::Cr);
                i = runEnd + 1;
            }
        }
        return n;
    };

    if (utf8) {
        const char *p = bytes.data() + taken;
        const qsizetype available = bytes.size() - taken;
        const qsizetype n = takeWithBreaks(p, available, !last);
        if (n <= 0)
            return taken;
        if (!std::memchr(p, '\r', size_t(n))) {
            if (!out(QByteArrayView(p, n)))
                return -1;
            return taken + n;
        }
        // CR LF and CR become LF; the runs between them are copied whole.
        m_buffer.reserve(n);
        for (qsizetype i = 0; i < n;) {
            const auto *cr = static_cast<const char *>(std::memchr(p + i, '\r', size_t(n - i)));
            const qsizetype runEnd = cr ? qsizetype(cr - p) : n;
            m_buffer.append(p + i, runEnd - i);
            if (!cr)
                break;
            m_buffer.append('\n');
            i = runEnd + (runEnd + 1 < n && p[runEnd + 1] == '\n' ? 2 : 1);
        }
        if (!out(m_buffer))
            return -1;
        return taken + n;
    }

    if (encoding == TextEncoding::Windows1252) {
        const char *p = bytes.data() + taken;
        const qsizetype n = takeWithBreaks(p, bytes.size() - taken, !last);
        m_buffer.reserve(n + n / 2);
        for (qsizetype i = 0; i < n; ++i) {
            const auto b = static_cast<unsigned char>(p[i]);
            if (b == '\r') {
                m_buffer.append('\n');
                if (i + 1 < n && p[i + 1] == '\n')
                    ++i;
            } else if (b < 0x80) {
                m_buffer.append(char(b));
            } else {
                appendCodePoint(b < 0xA0 ? kHighControls[b - 0x80] : char32_t(b));
            }
        }
        if (n > 0 && !out(m_buffer))
            return -1;
        return taken + n;
    }

    // UTF-16: whole units only; a high surrogate waits for its partner and a CR for a
    // possible LF, unless this is the last piece.
    const bool bigEndian = encoding == TextEncoding::Utf16BE;
    const auto *p = reinterpret_cast<const unsigned char *>(bytes.data() + taken);
    qsizetype units = (bytes.size() - taken) / 2;
    const auto unitAt = [&](qsizetype i) -> char16_t {
        const unsigned a = p[2 * i], b = p[2 * i + 1];
        return char16_t(bigEndian ? (a << 8 | b) : (b << 8 | a));
    };
    if (!last && units > 0) {
        const char16_t lastUnit = unitAt(units - 1);
        if (QChar::isHighSurrogate(lastUnit) || lastUnit == u'\r')
            --units;
    }
    appendUnits(units, unitAt);
    qsizetype used = taken + units * 2;
    if (last && used < bytes.size()) {
        m_format.strayByte = bytes.sliced(used).toByteArray();
        used = bytes.size();
    }
    if (!m_buffer.isEmpty() && !out(m_buffer))
        return -1;
    return used;
}

LineBreaks EditorTextDecoder::takeBreaks()
{
    LineBreaks breaks = m_breaks.finish();
    m_format.lineBreak = breaks.dominant();
    return breaks;
}

// ---- Encoding from the editor's form ----

bool encodeEditorText(QByteArrayView utf8, const TextFormat &format, const LineBreaks &breaks,
                      const ByteSink &out)
{
    const TextEncoding encoding = format.encoding;
    const bool utf16 = encoding == TextEncoding::Utf16LE || encoding == TextEncoding::Utf16BE;
    const bool bigEndian = encoding == TextEncoding::Utf16BE;
    if (encoding == TextEncoding::Utf8WithMark && !out(kUtf8Mark))
        return false;
    if (utf16 && !format.withoutMark && !out(bigEndian ? kUtf16BEMark : kUtf16LEMark))
        return false;
    const bool toUtf8 = encoding == TextEncoding::Utf8 || encoding == TextEncoding::Utf8WithMark;
    const char *const converter = converterName(encoding);
    QStringEncoder encoder(converter ? converter : "UTF-8");
    if (toUtf8 && breaks.uniform() && breaks.dominant() == LineBreak::Lf) {
        // The text as it is, in pieces: the sink may report progress or stop between them.
        for (qsizetype at = 0; at < utf8.size(); at += kPiece) {
            if (!out(utf8.sliced(at, qMin<qsizetype>(kPiece, utf8.size() - at))))
                return false;
        }
        return true;
    }

    QByteArray buffer;
    buffer.reserve(kPiece + 64);
    auto exception = breaks.exceptions().begin();
    const auto exceptionsEnd = breaks.exceptions().end();
    qsizetype line = 0;
    const auto appendBreak = [&] {
        LineBreak style = breaks.dominant();
        if (exception != exceptionsEnd && exception->line == line)
            style = (exception++)->style;
        ++line;
        for (const char *b = breakBytes(style); *b; ++b) {
            if (utf16)
                appendUtf16Unit(buffer, char16_t(*b), bigEndian);
            else
                buffer.append(*b);
        }
    };
    const auto flushIfFull = [&] {
        if (buffer.size() < kPiece)
            return true;
        const bool ok = out(buffer);
        buffer.clear();
        return ok;
    };

    const auto *p = reinterpret_cast<const unsigned char *>(utf8.data());
    const auto *end = p + utf8.size();
    if (toUtf8 || converter) {
        // Runs between LFs are copied as they are, or go through the converter in pieces
        // of whole characters.
        while (p < end) {
            const auto *lf =
                static_cast<const unsigned char *>(std::memchr(p, '\n', size_t(end - p)));
            const auto *runEnd = lf ? lf : end;
            while (p < runEnd) {
                qsizetype n = qMin<qsizetype>(runEnd - p, kPiece);
                while (p + n < runEnd && (p[n] & 0xC0) == 0x80)
                    --n;
                const QByteArrayView run(reinterpret_cast<const char *>(p), n);
                if (converter)
                    buffer.append(encoder(fromEditorUtf8(run)));
                else
                    buffer.append(run);
                p += n;
                if (!flushIfFull())
                    return false;
            }
            if (lf) {
                appendBreak();
                ++p;
            }
        }
    } else {
        while (p < end) {
            if (*p == '\n') {
                appendBreak();
                ++p;
            } else {
                const char32_t c = nextCodePoint(p, end);
                if (!utf16) {
                    buffer.append(windows1252Byte(c));
                } else if (c >= 0x10000) {
                    appendUtf16Unit(buffer, QChar::highSurrogate(c), bigEndian);
                    appendUtf16Unit(buffer, QChar::lowSurrogate(c), bigEndian);
                } else {
                    appendUtf16Unit(buffer, char16_t(c), bigEndian);
                }
            }
            if (!flushIfFull())
                return false;
        }
    }
    if (utf16)
        buffer.append(format.strayByte);
    return buffer.isEmpty() || out(buffer);
}

// ---- Whole texts ----

QByteArray toEditorUtf8(QStringView text)
{
    // Qt's own conversion is much faster; it turns a lone surrogate into "?", so only text
    // without one goes that way.
    bool lone = false;
    for (qsizetype i = 0; i < text.size() && !lone; ++i) {
        const char16_t u = text[i].unicode();
        if (QChar::isHighSurrogate(u) && i + 1 < text.size() && text[i + 1].isLowSurrogate())
            ++i;
        else
            lone = QChar::isSurrogate(u);
    }
    if (!lone)
        return text.toUtf8();
    QByteArray out;
    out.reserve(text.size() + text.size() / 4);
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char16_t u = text[i].unicode();
        if (QChar::isHighSurrogate(u) && i + 1 < text.size() && text[i + 1].isLowSurrogate()) {
            appendUtf8(out, QChar::surrogateToUcs4(u, text[i + 1].unicode()));
            ++i;
        } else {
            appendUtf8(out, u);
        }
    }
    return out;
}

QString fromEditorUtf8(QByteArrayView utf8)
{
    // Qt's own conversion is much faster; it would turn the three-byte form of a lone
    // surrogate into U+FFFD and it drops a byte-order mark at the start, so the marks at
    // the start are counted apart and only text without such forms goes that way.
    const auto *bytes = reinterpret_cast<const unsigned char *>(utf8.data());
    bool surrogates = false;
    for (qsizetype i = 0; i + 1 < utf8.size() && !surrogates; ++i)
        surrogates = bytes[i] == 0xED && bytes[i + 1] >= 0xA0;
    if (!surrogates) {
        qsizetype marks = 0;
        while (utf8.sliced(3 * marks).startsWith(kUtf8Mark))
            ++marks;
        if (marks == 0)
            return QString::fromUtf8(utf8);
        return QString(marks, QChar(0xFEFF)) + QString::fromUtf8(utf8.sliced(3 * marks));
    }
    QString text;
    text.reserve(utf8.size());
    const auto *p = reinterpret_cast<const unsigned char *>(utf8.data());
    const auto *end = p + utf8.size();
    while (p < end) {
        const char32_t c = nextCodePoint(p, end);
        if (c >= 0x10000) {
            text.append(QChar(QChar::highSurrogate(c)));
            text.append(QChar(QChar::lowSurrogate(c)));
        } else {
            text.append(QChar(char16_t(c)));
        }
    }
    return text;
}

DecodedText decodeText(const QByteArray &bytes)
{
    EditorTextDecoder decoder(detectEncoding(bytes));
    QByteArray utf8;
    decoder.feed(bytes, true, [&utf8](QByteArrayView piece) {
        utf8.append(piece);
        return true;
    });
    DecodedText result;
    result.breaks = decoder.takeBreaks();
    result.format = decoder.format();
    result.text = fromEditorUtf8(utf8);
    return result;
}

QByteArray encodeText(QStringView text, const TextFormat &format, const LineBreaks &breaks)
{
    QByteArray bytes;
    encodeEditorText(toEditorUtf8(text), format, breaks, [&bytes](QByteArrayView piece) {
        bytes.append(piece);
        return true;
    });
    return bytes;
}

QByteArray encodeText(QStringView text, const TextFormat &format)
{
    return encodeText(text, format, LineBreaks(format.lineBreak));
}

bool isValidUtf8(QByteArrayView bytes)
{
    bool invalid = false;
    return validUtf8Prefix(bytes, invalid) == bytes.size();
}

QString fromWindows1252(QByteArrayView bytes)
{
    QString text(bytes.size(), Qt::Uninitialized);
    auto *out = reinterpret_cast<char16_t *>(text.data());
    for (qsizetype i = 0; i < bytes.size(); ++i) {
        const auto b = static_cast<unsigned char>(bytes[i]);
        out[i] = (b >= 0x80 && b < 0xA0) ? kHighControls[b - 0x80] : char16_t(b);
    }
    return text;
}

QByteArray toWindows1252(QStringView text)
{
    QByteArray bytes(text.size(), Qt::Uninitialized);
    qsizetype n = 0;
    for (qsizetype i = 0; i < text.size(); ++i) {
        // A surrogate pair is one character and becomes one "?".
        if (text[i].isHighSurrogate() && i + 1 < text.size() && text[i + 1].isLowSurrogate())
            ++i;
        bytes[n++] = windows1252Byte(text[i].unicode());
    }
    bytes.truncate(n);
    return bytes;
}

bool windows1252Holds(char32_t c)
{
    return c == u'?' || windows1252Byte(c) != '?';
}

std::optional<Unencodable> firstUnencodable(QStringView text, TextEncoding encoding)
{
    if (isUtf(encoding))
        return std::nullopt;
    const bool asciiHeld = encodingHoldsAscii(encoding);
    qsizetype line = 1;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char16_t unit = text[i].unicode();
        if (unit < 0x80 &&
            (asciiHeld || unit == u'\n' || unit == u'\r' || encodingHolds(encoding, unit))) {
            if (unit == u'\n' || (unit == u'\r' && (i + 1 == text.size() || text[i + 1] != u'\n')))
                ++line;
            continue;
        }
        char32_t c = unit;
        if (text[i].isHighSurrogate() && i + 1 < text.size() && text[i + 1].isLowSurrogate())
            c = QChar::surrogateToUcs4(text[i], text[i + 1]);
        if (!encodingHolds(encoding, c))
            return Unencodable{c, line, i};
        if (c >= 0x10000)
            ++i;
    }
    return std::nullopt;
}

std::optional<Unencodable> firstUnencodableUtf8(QByteArrayView utf8, TextEncoding encoding)
{
    if (isUtf(encoding))
        return std::nullopt;
    const bool asciiHeld = encodingHoldsAscii(encoding);
    const auto *p = reinterpret_cast<const unsigned char *>(utf8.data());
    const auto *end = p + utf8.size();
    qsizetype line = 1;
    qsizetype index = 0;
    while (p < end) {
        if (*p < 0x80 && (asciiHeld || *p == '\n' || *p == '\r' || encodingHolds(encoding, *p))) {
            if (*p == '\n')
                ++line;
            ++p;
            ++index;
            continue;
        }
        const char32_t c = nextCodePoint(p, end);
        if (!encodingHolds(encoding, c))
            return Unencodable{c, line, index};
        index += c >= 0x10000 ? 2 : 1;
    }
    return std::nullopt;
}

LineBreak normaliseLineBreaks(QString &text)
{
    const qsizetype firstCr = text.indexOf(u'\r');
    const qsizetype firstLf = text.indexOf(u'\n');
    LineBreak style = LineBreak::Lf;
    if (firstCr >= 0 && (firstLf < 0 || firstCr < firstLf))
        style = (firstCr + 1 < text.size() && text[firstCr + 1] == u'\n') ? LineBreak::CrLf
                                                                          : LineBreak::Cr;
    if (firstCr < 0)
        return style;
    // One pass: CR LF -> LF, lone CR -> LF.
    QChar *data = text.data();
    qsizetype out = 0;
    const qsizetype size = text.size();
    for (qsizetype i = 0; i < size; ++i) {
        if (data[i] == u'\r') {
            data[out++] = u'\n';
            if (i + 1 < size && data[i + 1] == u'\n')
                ++i;
        } else {
            data[out++] = data[i];
        }
    }
    text.truncate(out);
    return style;
}

QString lineBreakText(LineBreak style)
{
    return QString::fromLatin1(breakBytes(style));
}

QString withLineBreaks(QStringView lfText, QStringView lineBreak)
{
    const qsizetype breaks = lfText.count(u'\n');
    if (breaks == 0 || lineBreak == u"\n")
        return lfText.toString();
    QString result;
    result.reserve(lfText.size() + breaks * (lineBreak.size() - 1));
    qsizetype from = 0;
    for (qsizetype at = lfText.indexOf(u'\n'); at >= 0; at = lfText.indexOf(u'\n', from)) {
        result.append(lfText.sliced(from, at - from));
        result.append(lineBreak);
        from = at + 1;
    }
    result.append(lfText.sliced(from));
    return result;
}

QStringList splitLines(QStringView text)
{
    QStringList lines;
    if (text.isEmpty())
        return lines;
    qsizetype start = 0;
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text[i] == u'\r' || text[i] == u'\n' || text[i] == QChar::LineSeparator) {
            lines.append(text.mid(start, i - start).toString());
            if (text[i] == u'\r' && i + 1 < text.size() && text[i + 1] == u'\n')
                ++i;
            start = i + 1;
        }
    }
    lines.append(text.mid(start).toString());
    return lines;
}

QDebug operator<<(QDebug debug, const TextFormat &format)
{
    static const char *const breaks[] = {"CR LF", "LF", "CR"};
    QDebugStateSaver saver(debug);
    debug.nospace() << encodingName(format.encoding) << ", " << breaks[int(format.lineBreak)];
    return debug;
}
