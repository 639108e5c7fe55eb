#pragma once
// The program's own search routines and the text rules they share. Positions handed in
// and out are 1-based positions into the searched text. Letter case is folded for the
// ASCII letters only, so a search without case finds "A" for "a" but not "Ä" for "ä".

#include "base/textrules.h"

#include <QByteArrayView>
#include <QString>
#include <QStringView>

// Word characters of the document search: A-Z, a-z and the codes 192 to 255.
bool isDocumentWordChar(char32_t c);
// Word characters of the file search: the codes 48 to 57 and 65 to 122.
bool isFileWordChar(char32_t c);

// Maps a-z onto A-Z; every other character stays (asciiLower is the reverse).
QString asciiUpperCase(QString text);

// The first occurrence of `pattern` at or after `start` that counts: with `wholeWord` the
// characters just before and after it must be non-word characters (document set; the
// ends of the text count as non-word), and a rejected occurrence makes the search go on
// directly after it. Returns 0 when there is none, also for an empty text or pattern and
// for a start below 1.
int FindInText(QStringView text, QStringView pattern, int start, bool wholeWord, bool matchCase);

// The same search on UTF-8 text whose line breaks are single LF characters, for a pattern
// without line breaks: gives the byte position (from 0) of the occurrence that FindInText
// gives on the CR LF form of the text, or -1. `from` is a byte position at a character
// start. Only the part of the text up to the occurrence is read.
qsizetype findInUtf8(QByteArrayView text, QByteArrayView pattern, qsizetype from, bool wholeWord,
                     bool matchCase);

// The search of the multi-file run: a start below 1 counts as 1; the file word set; a
// rejected occurrence makes the search go on one character after its start. Returns -1
// when there is none (also for an empty pattern).
qsizetype FindInFileText(QStringView text, QStringView pattern, qsizetype start, bool wholeWord,
                         bool matchCase);

// Every occurrence of `search` replaced by `replacement`, left to right without overlap.
// Without `matchCase` characters are compared after upper-casing each one (Unicode simple
// case mapping, so "ä" matches "Ä"; it keeps every position). An empty search changes
// nothing. `count`, when given, receives the number of replacements.
QString replaceAllText(QStringView text, QStringView search, QStringView replacement,
                       bool matchCase, qsizetype *count = nullptr);

// Position (from 0) of the first occurrence of `pattern` in `text` at or after `from`, or
// -1; exact comparison. Linear time also for long patterns.
qsizetype findExact(QStringView text, QStringView pattern, qsizetype from);
qsizetype findExact(QByteArrayView text, QByteArrayView pattern, qsizetype from);
