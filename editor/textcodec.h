#pragma once
// Byte form of text files: which encoding and line-break style a file uses, and the
// conversions that let a file read and written back unedited stay byte for byte the same.

#include <QByteArray>
#include <QString>
#include <QStringList>

enum class TextEncoding
{
    Utf8,
    Utf8WithMark,
    Utf16LE,
    Utf16BE,
    Windows1252
};
enum class LineBreak
{
    CrLf,
    Lf,
    Cr
};

struct TextFormat
{
    TextEncoding encoding = TextEncoding::Utf8;
    LineBreak lineBreak = LineBreak::Lf;
    // A UTF-16 file of an odd number of bytes: the last byte, which is no character. It
    // is written back after the text, so such a file also survives a load and save.
    QByteArray strayByte;
    bool operator==(const TextFormat &) const = default;
};

struct DecodedText
{
    QString text; // line breaks normalised to "\n"
    TextFormat format;
};

// Byte-order mark first; without one UTF-8 when the bytes are valid UTF-8, else
// Windows-1252. The line-break style is the first one found (LF when there is none).
DecodedText decodeText(const QByteArray &bytes);

// `text` holds "\n" line breaks; they are written in the format's style.
QByteArray encodeText(QStringView text, const TextFormat &format);

// Windows-1252, one byte per character. All 256 bytes map to a character (the five
// unassigned ones to the C1 control of the same number), so any bytes survive a round
// trip; characters it cannot hold become "?".
QString fromWindows1252(QByteArrayView bytes);
QByteArray toWindows1252(QStringView text);

bool isValidUtf8(QByteArrayView bytes);

// CR LF, lone CR, lone LF and U+2028 (line separator) all end a line; text that ends with
// a break yields a last, empty line, and empty text yields no lines.
QStringList splitLines(QStringView text);

// "\r\n" and lone "\r" become "\n"; returns the first style seen.
LineBreak normaliseLineBreaks(QString &text);

QString lineBreakText(LineBreak style);

// `lfText` with every "\n" replaced by `lineBreak`, in one pass (QString::replace of one
// character by two moves the text once per thousand breaks).
QString withLineBreaks(QStringView lfText, QStringView lineBreak);
QDebug operator<<(QDebug debug, const TextFormat &format);
