#pragma once
// The text transformations of the document: hyphen removal, line-break removal and
// insertion, and the two ASCII case conversions. Texts use CR LF between lines, as the
// editor's `Text` does. Positions are 0-based indexes unless a name says otherwise.

#include <QString>
#include <QStringView>
#include <optional>

// The markup test of hyphen removal. `afterHyphen` is the index just after the hyphen; the
// test looks at the nearest "<", ">", "{" and "}" at or after it. The hyphen lies inside a
// tag when a ">" comes before the next "<" (or no "<" follows), and inside a block in
// braces when a "}" comes before the next "{" (or no "{" follows): in both cases the
// hyphen belongs to markup (an attribute, a style property such as "font-size") and stays.
bool hyphenInMarkup(QStringView text, qsizetype afterHyphen);

struct HyphenRemoval
{
    QString text;          // the text without the removed hyphens
    int count = 0;         // hyphens removed
    qsizetype first = -1;  // index in the old text of the first removed hyphen
    qsizetype oldEnd = -1; // one beyond the last removed hyphen, in the old text
    qsizetype newEnd = -1; // the same place in the new text
};

// Removes the hyphens that join the parts of a word broken by hyphenation. A hyphen goes
// when it is not inside markup (hyphenInMarkup, or anywhere inside a <style> or <script>
// element or a <!-- --> comment), is followed by a lower-case ASCII letter, and is no part
// of an exception: the 10 characters from 4 before it hold "-to-", "-of-", "Know-how",
// "the-art" or "fast-movin", or the 25 characters from 15 before it hold "www.". A window
// that would start before the text starts at its beginning and keeps its length. The
// windows see the text as it stands with the earlier hyphens already removed. One pass.
HyphenRemoval removeHyphenation(QStringView text);

// Every CR LF removed, then six times every two spaces made one (left to right).
QString removeLineBreaks(QStringView text);

// Every occurrence of `value` (letter case ignored, Unicode simple case mapping) replaced
// by `value` followed by CR LF. An empty value changes nothing.
QString insertLineBreaks(QStringView text, QStringView value);

// The platform's integer conversion: optional leading blanks, a sign, decimal digits or a
// hexadecimal number after "$" or "0x"; nothing may follow. No value on failure.
std::optional<int> strToInt(QStringView text);
