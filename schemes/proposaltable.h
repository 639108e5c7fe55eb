#pragma once
// Rules of the proposal table editor: a table row is one proposal (Keyword, Code), each
// column is saved as its own proposal file of non-blank cells, a Code cell holds its line
// breaks as "$ret". Also the word count of the import editor's status bar.

#include "editor/textcodec.h"

#include <QList>
#include <QString>
#include <QStringList>
#include <array>

using ProposalRow = std::array<QString, 2>; // [0] Keyword, [1] Code

// The text a cell keeps once it is selected: when it is not blank, trimmed and with every
// line break (CR LF, lone CR or LF, U+2028) turned into "$ret"; a blank cell unchanged.
QString selectedCellText(const QString &cell);

// One line of a proposal file for a cell: the cell untrimmed, with every line break
// turned into "$ret", so a cell can never become two lines and shift the pairing.
QString cellFileLine(const QString &cell);

// The non-blank cells of one column in row order, as the lines of its proposal file.
QStringList columnFileLines(const QList<ProposalRow> &rows, int column);

// The 0-based index of the first row with exactly one of its two cells non-blank; -1 when
// every row is complete or empty.
int firstHalfFilledRow(const QList<ProposalRow> &rows);

// The number of rows a sort takes from the top: as many as there are Code cells that are
// not empty (a cell of blanks counts). Rows with code fill the table from the top, so a gap further
// down is left out.
int sortableRowCount(const QList<ProposalRow> &rows);

// Sorts the first `count` rows by the trimmed text of `column`, compared without regard to
// case by the locale's collation; equal texts are ordered by Keyword, then Code.
void sortProposalRows(QList<ProposalRow> &rows, int count, int column);

// The name shown for a proposal prefix chosen in the scheme picker: "Pas" is "Pascal",
// "Js" "JavaScript", "Vb" "Visual Basic", "Vbs" "VbScript", "C" "C/C++"; any other
// prefix is shown as it is.
QString proposalDisplayName(const QString &prefix);

// The line-break dialog's two directions: a Code cell as the dialog's lines, and the
// dialog's text (lines joined by "\n") back as a Code cell, trimmed.
QString codeCellToLines(const QString &cell);
QString linesToCodeCell(const QString &text);

// The format a column is written in: the encoding and line-break style of the last file
// loaded (CR LF when there was none); a text the file's single-byte code page cannot hold
// is written as UTF-8 instead, so no character turns into "?".
TextFormat proposalSaveFormat(const TextFormat &lastLoaded, bool loadedAny,
                              const QStringList &lines);

// The import editor's word count. A word is a stretch of letters ("@", A-Z, a-z and the
// codes 192 to 255), digits and hyphens that holds at least one letter. Blank lines are
// skipped; a line ending in "-" runs on into the next non-blank line.
int CountWords(const QStringList &lines);

// The same count fed one line at a time, for an editor's lines without joining them.
class WordCounter
{
public:
    void addLine(QStringView line);
    int count() const { return m_words; }

private:
    int m_words = 0;
    int m_run = 0; // letters of the word being read; carried from line to line
};
