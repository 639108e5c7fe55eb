#pragma once
// Find and replace on one editor: the find dialog and the replace dialog (both modeless)
// and the searches their buttons run, with FindInText on the editor's text of the moment.
// The main window and the import editor each own one, for their own editor and with their
// own not-found text; the import editor simply never calls FindNext.
//
//   auto *search = new EditorFindReplace(*editor, prompts, window,
//                                        {QStringLiteral("Import"), [this] { return notFound; }});
//   search->setLanguage(language);   // dialog captions, before showing
//   search->ShowFind(false);         // find; `true` first puts the caret at index 1
//   search->ShowReplace();           // replace: empties both texts, caret to the top
//
// Positions are 1-based positions into the editor's `Text` (line breaks count two). With
// the regular-expression option the patterns follow RegexSearch (texttools/regexsearch.h),
// searched in the editor's LF form, where every line break is one `\n`; a hit over a
// line break selects the break whole.

#include <QObject>
#include <QString>
#include <functional>

class Prompts;
class QWidget;
class RegexSearch;
class TFindDialog;
class TReplaceDialog;
class TSynMemo;

// What find next continues from; set by the dialog searches.
struct SearchState
{
    QString SearchText;
    int SearchStart = 1;
    bool SearchMatchCase = false;
    bool SearchWholeWord = false;
    bool SearchRegex = false;
};

class EditorFindReplace : public QObject
{
    Q_OBJECT
public:
    struct Texts
    {
        QString boxTitle;                  // title of the not-found box
        std::function<QString()> notFound; // not-found text, asked for when it is shown
    };

    // The dialogs belong to `window` and stay in front of it.
    EditorFindReplace(TSynMemo &editor, Prompts &prompts, QWidget *window, Texts texts);

    TFindDialog *FindDialog1() const { return m_findDialog; }
    TReplaceDialog *ReplaceDialog1() const { return m_replaceDialog; }
    // Dialog captions: 0 German, any other value English.
    void setLanguage(int language);

    // Shows the find dialog. `fromTop`: put the caret at index 1 first (this removes the
    // selection), so the first search starts at the top; otherwise a search starts just
    // after the selection that exists.
    void ShowFind(bool fromTop);
    // Caret to index 1, both texts emptied, replace dialog shown.
    void ShowReplace();

    // The buttons of the dialogs.
    void FindDialog1Find();
    void ReplaceDialog1Find();
    void ReplaceDialog1Replace(bool all);

    // Find next: continues from SearchStart, wraps to the top, ignores caret and selection.
    void FindNext();
    SearchState &state() { return m_state; }
    const SearchState &state() const { return m_state; }

    // FindInText on the editor's `Text`, read from the editor's buffer without building the
    // text. 1-based position or 0.
    static int findInEditor(const TSynMemo &editor, const QString &pattern, int start,
                            bool wholeWord, bool matchCase);

    // A hit in the editor's `Text`: 1-based position (0 for none) and length.
    struct Hit
    {
        int position = 0;
        int length = 0;
    };
    // The first hit of the regular expression at or after `start` (1-based into `Text`),
    // searched in the editor's buffer; an empty hit at `notEmptyAt` is passed over.
    static Hit findRegexInEditor(const TSynMemo &editor, const RegexSearch &regex, int start,
                                 int notEmptyAt = 0);

private:
    // The dialog's search: plain or regular expression. An invalid regular expression is
    // reported (hit position -1) and nothing is searched.
    Hit find(const QString &pattern, int start, bool wholeWord, bool matchCase, bool regex);
    // Tells why a regular expression is invalid; false when it is.
    bool reportInvalid(const RegexSearch &regex);
    // Start of a dialog search: just after the selection, or 1 without one.
    int dialogStart() const;
    void notFound();
    void select(int position, int length);

    TSynMemo &m_editor;
    Prompts &m_prompts;
    Texts m_texts;
    TFindDialog *m_findDialog;
    TReplaceDialog *m_replaceDialog;
    SearchState m_state;
    int m_language = 0;
    // Where the last empty regular-expression hit was selected, so that the next search
    // moves on past it (1-based; 0 for none).
    int m_emptyHitAt = 0;
};
