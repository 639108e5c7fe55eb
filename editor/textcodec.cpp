#include "editor/textcodec.h"

#include <QDebug>
#include <array>

namespace {

// 0x80..0x9F of Windows-1252; the unassigned bytes keep their own number.
constexpr std::array<char16_t, 32> kHighControls = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

char windows1252Byte(char16_t c)
{
    if (c < 0x80 || (c >= 0xA0 && c <= 0xFF))
        return char(c);
    for (int i = 0; i < 32; ++i) {
        if (kHighControls[i] == c)
            return char(0x80 + i);
    }
    return '?';
}

QString decodeUtf16(QByteArrayView bytes, bool bigEndian)
{
    const qsizetype units = bytes.size() / 2;
    QString text(units, Qt::Uninitialized);
    auto *out = reinterpret_cast<char16_t *>(text.data());
    const auto *in = reinterpret_cast<const unsigned char *>(bytes.data());
    for (qsizetype i = 0; i < units; ++i) {
        const unsigned a = in[2 * i], b = in[2 * i + 1];
        out[i] = char16_t(bigEndian ? (a << 8 | b) : (b << 8 | a));
    }
    return text;
}

QByteArray encodeUtf16(QStringView text, bool bigEndian)
{
    QByteArray bytes(2 + text.size() * 2, Qt::Uninitialized);
    auto *out = reinterpret_cast<unsigned char *>(bytes.data());
    out[0] = bigEndian ? 0xFE : 0xFF;
    out[1] = bigEndian ? 0xFF : 0xFE;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char16_t c = text[i].unicode();
        out[2 + 2 * i + (bigEndian ? 0 : 1)] = (c >> 8) & 0xFF;
        out[2 + 2 * i + (bigEndian ? 1 : 0)] = c & 0xFF;
    }
    return bytes;
}

} // namespace

bool isValidUtf8(QByteArrayView bytes)
{
    // Strict: no overlong forms, no surrogates, nothing above U+10FFFF, nothing cut off.
    const auto *p = reinterpret_cast<const unsigned char *>(bytes.data());
    const qsizetype n = bytes.size();
    qsizetype i = 0;
    while (i < n) {
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
            return false;
        }
        if (i + length > n || p[i + 1] < low || p[i + 1] > high)
            return false;
        for (int k = 2; k < length; ++k) {
            if ((p[i + k] & 0xC0) != 0x80)
                return false;
        }
        i += length;
    }
    return true;
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

DecodedText decodeText(const QByteArray &bytes)
{
    DecodedText result;
    const auto startsWith = [&](std::initializer_list<unsigned char> mark) {
        if (bytes.size() < qsizetype(mark.size()))
            return false;
        qsizetype i = 0;
        for (unsigned char m : mark) {
            if (static_cast<unsigned char>(bytes[i++]) != m)
                return false;
        }
        return true;
    };
    if (startsWith({0xEF, 0xBB, 0xBF})) {
        result.format.encoding = TextEncoding::Utf8WithMark;
        result.text = QString::fromUtf8(QByteArrayView(bytes).sliced(3));
    } else if (startsWith({0xFF, 0xFE}) || startsWith({0xFE, 0xFF})) {
        const bool bigEndian = static_cast<unsigned char>(bytes[0]) == 0xFE;
        result.format.encoding = bigEndian ? TextEncoding::Utf16BE : TextEncoding::Utf16LE;
        result.text = decodeUtf16(QByteArrayView(bytes).sliced(2), bigEndian);
        if (bytes.size() % 2 != 0)
            result.format.strayByte = bytes.right(1);
    } else if (isValidUtf8(bytes)) {
        result.format.encoding = TextEncoding::Utf8;
        result.text = QString::fromUtf8(bytes);
    } else {
        result.format.encoding = TextEncoding::Windows1252;
        result.text = fromWindows1252(bytes);
    }
    result.format.lineBreak = normaliseLineBreaks(result.text);
    return result;
}

QString lineBreakText(LineBreak style)
{
    switch (style) {
    case LineBreak::CrLf:
        return QStringLiteral("\r\n");
    case LineBreak::Cr:
        return QStringLiteral("\r");
    case LineBreak::Lf:
        break;
    }
    return QStringLiteral("\n");
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

QByteArray encodeText(QStringView text, const TextFormat &format)
{
    QString withBreaks;
    QStringView body = text;
    if (format.lineBreak != LineBreak::Lf) {
        withBreaks = withLineBreaks(text, lineBreakText(format.lineBreak));
        body = withBreaks;
    }
    switch (format.encoding) {
    case TextEncoding::Utf8:
        return body.toUtf8();
    case TextEncoding::Utf8WithMark:
        return QByteArray("\xEF\xBB\xBF") + body.toUtf8();
    case TextEncoding::Utf16LE:
        return encodeUtf16(body, false) + format.strayByte;
    case TextEncoding::Utf16BE:
        return encodeUtf16(body, true) + format.strayByte;
    case TextEncoding::Windows1252:
        return toWindows1252(body);
    }
    return {};
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
    static const char *const encodings[] = {"UTF-8", "UTF-8 with mark", "UTF-16 LE", "UTF-16 BE",
                                            "Windows-1252"};
    static const char *const breaks[] = {"CR LF", "LF", "CR"};
    QDebugStateSaver saver(debug);
    debug.nospace() << encodings[int(format.encoding)] << ", " << breaks[int(format.lineBreak)];
    return debug;
}
