#pragma once
// The editor component the rest of the program talks to. It wraps QsciScintilla and
// speaks in the program's own terms: `Text` is the lines joined by CR LF, positions are
// 0-based UTF-16 indexes into that text (each line break counts two), lines and columns
// count from 1. Inside, the document always holds UTF-8 with LF line breaks; the file's
// own encoding and the break of every line are remembered beside it and used again when
// saving. Loading and saving go piece by piece between the file and the editor's buffer.

#include "editor/linelist.h"

#include <QKeySequence>
#include <QFile>
#include <Qsci/qsciscintilla.h>
#include <array>
#include <functional>

class TSynMemo;

// Told how far a long load or save has come (bytes of the file); returns false to stop it.
using WorkProgress = std::function<bool(qint64 done, qint64 total)>;

// Why the last load or save ended early, beside its FileResult.
enum class WorkStop
{
    None,
    Cancelled,
    TooLarge
};

// The `Lines` view of an editor: a string list over the editor's document.
class TSynMemoLines
{
public:
    explicit TSynMemoLines(TSynMemo &memo) : m_memo(memo) {}
    int Count() const;
    QString Strings(int index) const;
    void SetStrings(int index, const QString &line);
    void Add(const QString &line);
    void Clear();
    QString Text() const;
    void SetText(const QString &text);
    // Without `encoding` the encoding is detected from the bytes.
    FileResult LoadFromFile(const QString &path, std::optional<TextEncoding> encoding = {});
    FileResult SaveToFile(const QString &path) const;

private:
    TSynMemo &m_memo;
};

class TSynMemo : public QsciScintilla
{
    Q_OBJECT
public:
    static constexpr int kBookmarkCount = 10;
    // The largest text the editor holds, in its own bytes (UTF-8): positions and the
    // length of `Text` stay within an int below it.
    static constexpr qint64 kMaxTextBytes = 2'000'000'000;
    // Loaded plain texts from this size on are kept without style bytes; a highlighter
    // chosen later moves the text into a document that has them.
    static constexpr qint64 kPlainWithoutStylesFrom = 16 << 20;

    explicit TSynMemo(QWidget *parent = nullptr);

    QString Text() const;
    // Replaces everything: empties the undo history, caret to 1,1, view to the top.
    void SetText(const QString &text);
    // The same two with LF line breaks, as the editor holds the text: for whole-text
    // commands that work alike on either kind of break, without converting twice.
    QString LfText() const { return documentText(); }
    void SetLfText(const QString &lfText);
    // The same two as one undo step: the history stays, caret to 1,1.
    void ReplaceText(const QString &text);
    void ReplaceLfText(const QString &lfText);
    TSynMemoLines &Lines() { return m_lines; }
    const TSynMemoLines &Lines() const { return m_lines; }
    // Length of `Text` without building it.
    int TextLength() const;
    // Whether `Text` holds no character above the space, without building it.
    bool IsBlank() const;
    // Finds the next occurrence in the editor's bytes at or after `from`, or -1.
    using ByteFinder = std::function<qsizetype(QByteArrayView text, qsizetype from)>;
    // Replaces every occurrence that `find` gives (each `length` bytes long, none holding
    // a line break) by `replacement` (no line break either), left to right, as one undo
    // step; the caret goes to the start. The lines keep their breaks and bookmarks. The
    // text is changed in pieces of about a megabyte, so no copy of the whole text is made.
    // Returns the number of replacements.
    qsizetype replaceAllBytes(const ByteFinder &find, qsizetype length, QByteArrayView replacement);
    // The document's own bytes (UTF-8, LF breaks), valid until the next edit.
    QByteArrayView TextBytes() const;

    int SelStart() const;
    void SetSelStart(int index);
    int SelLength() const;
    void SetSelLength(int length);
    QString SelText() const;
    // Replaces the selection (or inserts at the caret) as one undo step.
    void SetSelText(const QString &text);

    int CaretX() const;
    int CaretY() const;
    void SetCaretX(int column);
    void SetCaretY(int line);
    void SetCaretXY(int column, int line);

    bool Modified() const { return m_textReplaced || isModified(); }
    void SetModified(bool modified);

    // Removes text, bookmarks and undo history; keeps the remembered file format.
    void Clear();
    void Undo() { undo(); }
    void SelectAll() { selectAll(true); }
    void CutToClipboard() { cut(); }
    void CopyToClipboard() { copy(); }
    void PasteFromClipboard() { paste(); }

    void SetBookMark(int number, int column, int line);
    void GotoBookMark(int number);
    void ClearBookMark(int number);
    bool GetBookMark(int number, int &column, int &line) const;

    // Applies a change of the document's bytes as TextEdited reports it, as an edit the
    // user could have made; false (and nothing changed) when it does not fit the text.
    bool ApplyEdit(qsizetype position, qsizetype removed, QByteArrayView inserted);

    // Lines of the document, at least one (an empty text is one empty line).
    int LineTotal() const { return int(lineCount()); }
    // Index into `Text` of the start of line `line` (from 0).
    int LineStartIndex(int line) const { return int(lineStartIndex(line)); }
    // Gives lines `first` ... `first + lines.size() - 1` these texts (without line breaks)
    // as one undo step; every line keeps its own break.
    void ReplaceLines(int first, const QStringList &lines);

    // Index into `Text` of a 1-based column and line (clamped to the text).
    int RowColToCharIndex(int column, int line) const;

    bool WordWrap() const { return wrapMode() != WrapNone; }
    void SetWordWrap(bool on);
    int RightEdge() const { return edgeColumn(); }
    void SetRightEdge(int column);
    int CharsInWindow() const;
    int MaxScrollWidth() const { return m_maxScrollWidth; }
    void SetMaxScrollWidth(int characters);
    bool ShowLineNumbers() const { return m_showLineNumbers; }
    void SetShowLineNumbers(bool show);

    // The component keeps the keys of its built-in commands while it has the focus, ahead
    // of the window's shortcuts; this gives up its binding of `keys`, if it has one.
    void ReleaseKey(const QKeySequence &keys);

    QFont EditorFont() const { return m_font; }
    void SetEditorFont(const QFont &font);

    // View aids, all the component's own: brace matching with its highlight, folding in
    // a margin of its own, zoom, visible white space and line ends, indentation guides
    // and a marker line at a chosen column beside the right edge.
    void SetBraceMatching(bool on);
    // Caret to the partner of the brace at (or else just before) the caret.
    void GoToMatchingBrace();
    bool FoldMargin() const { return m_foldMargin; }
    void SetFoldMargin(bool on);
    // Every block folded (`fold`) or unfolded.
    void FoldAll(bool fold);
    // Points added to every font size, -10 to 20; 0 is the plain size.
    int Zoom() const;
    void SetZoom(int points);
    void SetShowWhitespace(bool on);
    void SetShowLineEnds(bool on);
    void SetIndentGuides(bool on);
    // 0 for none.
    void SetLongLineColumn(int column);

    // Line commands, each one undo step. The selected lines run from the selection's
    // first line to its last, leaving out a last line the selection only touches at its
    // start (0-based lines).
    void SelectedLines(int &first, int &last) const;
    // `length` characters at `column` of line `line` (UTF-16, 0-based) replaced by `text`
    // (which holds no line break); the caret and selection move with the text.
    void ReplaceInLine(int line, int column, int length, const QString &text);
    // The selection doubled, or the caret's line when nothing is selected.
    void DuplicateSelection();
    void MoveSelectedLines(bool up);
    void DeleteSelectedLines();

    // Marks every occurrence of the selected text (one line, up to 200 characters), or of
    // the whole word at the caret, in the lines on screen and `marginLines` lines around
    // them; the marks of before go first. A text found only once is not marked. Returns
    // the number of marks.
    int MarkOccurrences(int marginLines = 200);
    void ClearOccurrenceMarks();

    QsciLexer *Highlighter() const { return lexer(); }
    void SetHighlighter(QsciLexer *highlighter);

    // The encoding and line-break style of the last file read (or of a new text).
    TextFormat format() const { return m_format; }
    // Every line then ends with the format's break.
    void setFormat(const TextFormat &format);
    // Another encoding for the next save; every line keeps its break. A UTF-16 file read
    // without a mark keeps that only while it stays in its encoding.
    void setEncoding(TextEncoding encoding)
    {
        if (encoding != m_format.encoding)
            m_format.withoutMark = false;
        m_format.encoding = encoding;
    }
    // The encoding of `format` again (with its mark and stray byte); the breaks stay.
    void restoreEncoding(const TextFormat &format)
    {
        m_format.encoding = format.encoding;
        m_format.withoutMark = format.withoutMark;
        m_format.strayByte = format.strayByte;
    }
    // Whether the last file read held bytes that are no character of its encoding.
    bool loadFoundInvalidBytes() const { return m_invalidBytes; }
    LineBreak lineBreak() const { return m_format.lineBreak; }
    // The break of every line, kept up to date through every edit.
    const LineBreaks &lineBreaks() const { return m_breaks; }

    // Called through long loads and saves; it may stop them.
    void setWorkProgress(WorkProgress progress) { m_progress = std::move(progress); }
    WorkStop lastWorkStop() const { return m_workStop; }

    // Position conversion between `Text` indexes and the editor's byte positions.
    qsizetype indexToPosition(qsizetype index) const;
    qsizetype positionToIndex(qsizetype position) const;

signals:
    void OnChange();
    // Every change of the document's bytes (UTF-8, LF breaks), whole-text replacements
    // and undo included: at byte `position`, `removed` bytes went or `inserted` came.
    void TextEdited(qsizetype position, qsizetype removed, QByteArrayView inserted);
    void OnClick();
    void OnKeyUp(int key, Qt::KeyboardModifiers modifiers);
    void OnGutterClick(Qt::MouseButton button, int line);
    // The zoom changed (keys, wheel or SetZoom).
    void zoomChanged(int points);

public slots:
    // Styles only down to what is shown; the rest is styled as it comes into view, so
    // switching the highlighter of a large document does not freeze the window.
    void recolor(int start = 0, int end = -1) override;

protected:
    void keyReleaseEvent(QKeyEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;

private:
    friend class TSynMemoLines;

    // Scintilla messages with integer arguments, whatever their integer types.
    long sci(unsigned int message, qsizetype wParam = 0, qsizetype lParam = 0) const
    {
        return SendScintilla(message, static_cast<unsigned long>(wParam),
                             static_cast<long>(lParam));
    }

    // Document text with LF breaks, straight from the editor's buffer.
    QString documentText() const;
    void setDocumentText(const QString &lfText);
    // Reads the file into a new document, which replaces the shown one only when the
    // whole file went in; a failed, refused or cancelled load leaves the old one as it was.
    // Without a `chosen` encoding the file's own is found while it is read.
    FileResult loadFile(QFile &file, std::optional<TextEncoding> chosen);
    // One attempt at reading `file` as `encoding` into a fresh document, returned in
    // `document`; with `detect`, `notUtf8` tells that a UTF-8 guess met a byte that is not
    // UTF-8.
    FileResult fillDocument(QFile &file, TextEncoding encoding, bool detect, void *&document,
                            bool &notUtf8, EditorTextDecoder &decoder);
    // Shows `document` (taking over the reference it comes with) in place of the current one.
    void showDocument(void *document);
    // Undoes the harm that creating a document does to the view of the current one.
    void refreshView();
    // Gives a document kept without style bytes a copy that has them.
    void moveToStyledDocument();
    bool reportProgress(qint64 done, qint64 total) const;
    void afterReplace();
    void onModified(int position, int type, int linesAdded);
    void restoreLostBreaks(qsizetype line, qsizetype count);
    qsizetype lineStartIndex(qsizetype line) const;
    qsizetype lineCount() const;
    void defineBookmarkImages();
    void applyMargins();
    void applyEdges();
    void onMarginClicked(int margin, int line, Qt::KeyboardModifiers modifiers);

    TSynMemoLines m_lines{*this};
    WorkProgress m_progress;
    mutable WorkStop m_workStop = WorkStop::None;
    TextFormat m_format;
    bool m_invalidBytes = false;
    LineBreaks m_breaks;
    // What each line-joining edit in the undo history took from m_breaks, newest last,
    // so that undoing the edit gives the lines their own breaks back. Stays empty while
    // no edit has taken a listed break.
    struct LostBreaks
    {
        qsizetype line;
        qsizetype count;
        std::vector<LineBreaks::Exception> breaks;
    };
    std::vector<LostBreaks> m_lostBreaks;
    QFont m_font;
    std::array<int, kBookmarkCount> m_bookmarkColumn{};
    int m_maxScrollWidth = 0;
    bool m_foldMargin = false;
    int m_longLineColumn = 0;
    bool m_showLineNumbers = true;
    int m_lineNumberDigits = 5;
    // Replacing the whole text empties the undo history, which the editor would take for
    // "unmodified"; the replacement is an edit all the same.
    bool m_textReplaced = false;
    Qt::MouseButton m_lastMarginButton = Qt::LeftButton;
};
