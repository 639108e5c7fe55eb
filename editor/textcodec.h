#pragma once
// Byte form of text files: which encoding and line breaks a file uses, and the
// conversions that let a file read and written back unedited stay byte for byte the same.
//
// Between the two stands the editor's form: UTF-8 with LF breaks, the break of every
// line kept apart in a LineBreaks record. A lone UTF-16 surrogate, which UTF-8 cannot
// hold, is kept as its three-byte form (as the editor's bytes, never shown as such), so
// any UTF-16 file survives too. Decoding and encoding work piece by piece, so a large
// file goes from disk into the editor and back without a whole copy in between.

#include "editor/linebreaks.h"

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <functional>
#include <optional>

enum class TextEncoding
{
    Utf8,
    Utf8WithMark,
    Utf16LE,
    Utf16BE,
    Windows1252
};

struct TextFormat
{
    TextEncoding encoding = TextEncoding::Utf8;
    // The dominant break; every line's own is in the LineBreaks record.
    LineBreak lineBreak = LineBreak::Lf;
    // A UTF-16 file of an odd number of bytes: the last byte, which is no character. It
    // is written back after the text, so such a file also survives a load and save.
    QByteArray strayByte;
    bool operator==(const TextFormat &) const = default;
};

// Receives output piece by piece; false stops the work (a failed write).
using ByteSink = std::function<bool(QByteArrayView)>;

// Which encoding a file's bytes are in: a byte-order mark selects UTF-16 LE or BE; the
// UTF-8 mark and no mark mean UTF-8 when what follows is valid UTF-8, else
// Windows-1252 (the mark then counts as three characters). Fed piece by piece.
class EncodingDetector
{
public:
    // Returns how many bytes were taken; the rest must come again at the start of the
    // next piece. `last` marks the final piece.
    qsizetype feed(QByteArrayView bytes, bool last);
    // Known once the answer cannot change any more (or after the last piece).
    bool decided() const { return m_decided; }
    TextEncoding encoding() const { return m_encoding; }

private:
    bool m_started = false;
    bool m_decided = false;
    bool m_markSeen = false;
    TextEncoding m_encoding = TextEncoding::Utf8;
};

TextEncoding detectEncoding(QByteArrayView bytes);

// Turns a file's bytes into the editor's form.
class EditorTextDecoder
{
public:
    explicit EditorTextDecoder(TextEncoding encoding);
    // Returns how many bytes were taken (see EncodingDetector::feed); the output goes to
    // `out`, possibly as a view into `bytes`.
    qsizetype feed(QByteArrayView bytes, bool last, const ByteSink &out);
    TextFormat format() const { return m_format; }
    // Once, after the last piece.
    LineBreaks takeBreaks();

private:
    void lineBreak(LineBreak style);
    void appendCodePoint(char32_t c);

    TextFormat m_format;
    LineBreaks::Builder m_breaks;
    QByteArray m_buffer;
    bool m_atStart = true;
};

// Writes the editor's form in the file's format, piece by piece.
bool encodeEditorText(QByteArrayView utf8, const TextFormat &format, const LineBreaks &breaks,
                      const ByteSink &out);

// The whole of a file's bytes at once, as text with "\n" breaks.
struct DecodedText
{
    QString text; // line breaks normalised to "\n"
    TextFormat format;
    LineBreaks breaks;
};
DecodedText decodeText(const QByteArray &bytes);
// `text` holds "\n" line breaks; each gets its break from `breaks`.
QByteArray encodeText(QStringView text, const TextFormat &format, const LineBreaks &breaks);
// The same with the format's break for every line.
QByteArray encodeText(QStringView text, const TextFormat &format);

// The editor's UTF-8 and QString, lone surrogates kept both ways.
QByteArray toEditorUtf8(QStringView text);
QString fromEditorUtf8(QByteArrayView utf8);

// Windows-1252, one byte per character. All 256 bytes map to a character (the five
// unassigned ones to the C1 control of the same number), so any bytes survive a round
// trip; characters it cannot hold become "?".
QString fromWindows1252(QByteArrayView bytes);
QByteArray toWindows1252(QStringView text);

bool isValidUtf8(QByteArrayView bytes);

// The first character that an encoding cannot hold, and where: `line` counts from 1
// (CR LF, lone CR and LF each end a line), `index` is the character's UTF-16 index into
// the text (into the editor's text counting each LF as one). Only Windows-1252 can miss a
// character; a save into it checks first, so nothing is replaced by "?" unseen.
struct Unencodable
{
    char32_t character = 0;
    qsizetype line = 0;
    qsizetype index = 0;
};
std::optional<Unencodable> firstUnencodable(QStringView text, TextEncoding encoding);
// The same for the editor's form (UTF-8, LF breaks), without a whole copy of the text.
std::optional<Unencodable> firstUnencodableUtf8(QByteArrayView utf8, TextEncoding encoding);
// Whether Windows-1252 has a byte for `c`.
bool windows1252Holds(char32_t c);

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
