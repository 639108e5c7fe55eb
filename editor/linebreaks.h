#pragma once
// Which break ends each line of a document, kept outside the text.
//
// The editor holds LF breaks only; this record says what each line was read with, so a
// file with mixed breaks (or a binary file) is written back byte for byte. Most files
// use one style throughout: the record is then the dominant style and an empty list,
// and an edit costs nothing extra. Only the lines whose break differs from the dominant
// one are listed, sorted by line, and shifted when lines are inserted or removed.

#include <QtGlobal>
#include <vector>

enum class LineBreak
{
    CrLf,
    Lf,
    Cr
};

class LineBreaks
{
public:
    struct Exception
    {
        qsizetype line;
        LineBreak style;
        bool operator==(const Exception &) const = default;
    };

    LineBreaks() = default;
    explicit LineBreaks(LineBreak dominant) : m_dominant(dominant) {}

    // The most frequent break of the file (the first one found on a tie, LF for new
    // text): the break of every line not listed, and of every line the user creates.
    LineBreak dominant() const { return m_dominant; }
    LineBreak breakOf(qsizetype line) const;
    const std::vector<Exception> &exceptions() const { return m_exceptions; }
    bool uniform() const { return m_exceptions.empty(); }

    // Line `line` was split into `count` + 1 lines: the new breaks are the dominant
    // one, the old break of `line` now ends line `line + count`.
    void linesInserted(qsizetype line, qsizetype count);
    // Lines `line` .. `line + count` were joined into one: it keeps the break of the
    // last of them. Returns the listed breaks that were lost, for undo.
    std::vector<Exception> linesRemoved(qsizetype line, qsizetype count);
    // Puts back breaks that linesRemoved() returned, once the lines they end exist again
    // (after the matching linesInserted()).
    void restore(const std::vector<Exception> &breaks);

    // Builds the record from the break of every line in order (the last line of a file
    // has none and is not passed).
    class Builder
    {
    public:
        void add(LineBreak style) { m_styles.push_back(static_cast<unsigned char>(style)); }
        LineBreaks finish();

    private:
        std::vector<unsigned char> m_styles;
    };

    bool operator==(const LineBreaks &) const = default;

private:
    std::vector<Exception>::iterator firstAtOrAfter(qsizetype line);

    LineBreak m_dominant = LineBreak::Lf;
    std::vector<Exception> m_exceptions;
};
