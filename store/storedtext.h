#pragma once
// The program's own files may be stored scrambled: an additive byte cipher with the fixed
// key "kuve" over the Windows-1252 form of the whole text. Files written by earlier
// versions of the program must read here and ours there, so the byte form, the key and the
// plain-text check below are a file format and must not change.

#include "base/safewrite.h"
#include "editor/textcodec.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

// The Windows-1252 bytes of `text` (characters it cannot hold become "?"), each byte
// raised by the key byte of its position modulo 4, modulo 256. Same length as the text's
// byte form; nothing is added before or after.
QByteArray ScrambleText(QStringView text);

// The inverse: each byte lowered by its key byte, then read as Windows-1252, one
// character per byte. Any byte string survives ScrambleText(UnscrambleText(bytes)).
QString UnscrambleText(QByteArrayView bytes);

// The plain-text check: true when `text` looks scrambled. A statistical guess on the
// share of printable ASCII characters once line breaks, tabs, "kqo" and spaces are gone;
// lengths count UTF-16 code units.
bool IsScrambled(QStringView text);

struct StoredText
{
    QStringList lines;
    FileResult result;
    // How the file was written: a scrambled file is Windows-1252; the line-break style
    // is the first one found (LF when there is none).
    TextFormat format;
};

// The lines of one of the program's own files, plain or scrambled. A plain file is read
// like any document (byte-order mark, else UTF-8 when valid, else Windows-1252). A
// scrambled one is unscrambled from its bytes on disk and split at CR LF, lone CR and
// lone LF, so every byte value written comes back. A missing or unreadable file gives
// the system's error text.
StoredText ReadStoredText(const QString &path);

// The same for a file's bytes already read.
StoredText DecodeStoredText(const QByteArray &bytes);

// Writes `lines`, joined with CR LF and no break after the last, scrambled, as the whole
// file (through writeFileSafely; a new file is readable by its owner only).
SaveResult WriteStoredText(const QString &path, const QStringList &lines);
