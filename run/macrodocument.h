#pragma once
// What a macro's `Editor` object works on: the document operations, once over the window's
// editor and once over a file read headless by the console runner. Lines count from 0
// here; positions are 0-based indexes into `Text` (the lines joined by CR LF). Every call
// that changes the text is one edit of the document.

#include <QString>
#include <QStringList>

#include <map>

namespace quillora {

// The options of Find and ReplaceAll.
struct SearchOptions
{
    bool matchCase = false;
    bool wholeWord = false;
    // A regular expression (QRegularExpression syntax) instead of plain text.
    bool regex = false;
};

// Reads an options text such as "case word" or "MatchCase, Regex": the words case /
// matchcase, word / wholeword and regex / regexp, in any case and order.
SearchOptions parseSearchOptions(const QString &text);

struct TextMatch
{
    qsizetype position = -1; // index into the text, -1 for none
    qsizetype length = 0;
};

// The first match at or after `from` in a CR LF text. Plain text is the document search
// (letter case folded for A-Z only, word characters A-Z, a-z and codes 192-255); the
// regular expression is matched as given, with case folded unless matchCase.
TextMatch findMatch(const QString &text, const QString &pattern, qsizetype from,
                    const SearchOptions &options);
// Every match replaced, left to right without overlap. A regular expression's
// replacement may use \1 ... \9 for its groups. `count` receives the number.
QString replaceMatches(const QString &text, const QString &pattern, const QString &replacement,
                       const SearchOptions &options, int *count);

// The length of `text` in `Text`, where every line break counts two characters.
int crlfLength(const QString &text);

class MacroDocument
{
public:
    virtual ~MacroDocument() = default;

    // ---- text ----
    virtual int lineCount() const = 0;
    // Lines [first, first + count), clamped to the document.
    virtual QStringList lines(int first, int count) const = 0;
    // Gives these lines (by number) new texts without line breaks, as one edit; each
    // keeps its own line break.
    virtual void setLines(const std::map<int, QString> &lines) = 0;
    virtual QString text() const = 0;
    // Replaces `length` characters at `start` by `text` (which may hold line breaks in any
    // style) as one edit; the caret then stands after the new text.
    virtual void replaceRange(int start, int length, const QString &text) = 0;
    // Index of the start of line `line`; the text's length for `line` = lineCount().
    virtual int lineStart(int line) const = 0;
    virtual QString selText() const = 0;

    // ---- selection and caret ----
    virtual int selStart() const = 0;
    virtual int selLength() const = 0;
    // Selects `length` characters from `start`; the caret goes to the end.
    virtual void select(int start, int length) = 0;
    // From 1, as the status bar shows them.
    virtual int caretLine() const = 0;
    virtual int caretColumn() const = 0;

    // ---- the document ----
    virtual QString fileName() const = 0;
    virtual QString scheme() const = 0;
    // False for a name that is no scheme.
    virtual bool setScheme(const QString &name) = 0;
    virtual bool modified() const = 0;
    // Each returns what went wrong, empty on success.
    virtual QString newDocument() = 0;
    virtual QString open(const QString &path) = 0;
    virtual QString save() = 0;
    virtual QString saveAs(const QString &path) = 0;
    // A command of the window's menus by name; what went wrong, empty on success.
    virtual QString runCommand(const QString &name) = 0;
    virtual void statusText(const QString &text) = 0;
    // Presses a key by its portable name ("Left", "Shift+End", "Backspace") as the user
    // would; what went wrong, empty on success.
    virtual QString key(const QString &name) = 0;
};

} // namespace quillora
