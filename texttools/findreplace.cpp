#include "texttools/findreplace.h"

#include "app/prompts.h"
#include "app/textrules.h"
#include "editor/synmemo.h"
#include "texttools/searchdialogs.h"
#include "texttools/textsearch.h"

EditorFindReplace::EditorFindReplace(TSynMemo &editor, Prompts &prompts, QWidget *window,
                                     Texts texts)
    : QObject(window), m_editor(editor), m_prompts(prompts), m_texts(std::move(texts)),
      m_findDialog(new TFindDialog(window)), m_replaceDialog(new TReplaceDialog(window))
{
    connect(m_findDialog, &TFindDialog::OnFind, this, &EditorFindReplace::FindDialog1Find);
    connect(m_replaceDialog, &TReplaceDialog::OnFind, this, &EditorFindReplace::ReplaceDialog1Find);
    connect(m_replaceDialog, &TReplaceDialog::OnReplace, this,
            &EditorFindReplace::ReplaceDialog1Replace);
}

void EditorFindReplace::setLanguage(int language)
{
    m_findDialog->setLanguage(language);
    m_replaceDialog->setLanguage(language);
}

int EditorFindReplace::findInEditor(const TSynMemo &editor, const QString &pattern, int start,
                                    bool wholeWord, bool matchCase)
{
    if (pattern.isEmpty() || start < 1 || editor.TextLength() == 0)
        return 0;
    // A pattern with line breaks (or broken UTF-16) is searched on `Text` itself.
    if (pattern.contains(u'\r') || pattern.contains(u'\n') || !pattern.isValidUtf16())
        return FindInText(editor.Text(), pattern, start, wholeWord, matchCase);
    const QByteArray bytes = pattern.toUtf8();
    const QByteArrayView text = editor.TextBytes();
    // An index between CR and LF maps to the LF: no occurrence of a pattern without line
    // breaks starts there, so nothing is lost.
    qsizetype from = editor.indexToPosition(start - 1);
    for (;;) {
        const qsizetype hit = findInUtf8(text, bytes, from, wholeWord, matchCase);
        if (hit < 0)
            return 0;
        const qsizetype index = editor.positionToIndex(hit);
        // A start inside a surrogate pair maps to the pair's beginning; an occurrence that
        // begins there lies before the start.
        if (index >= start - 1)
            return int(index + 1);
        from = hit + 1;
        while (from < text.size() && (static_cast<unsigned char>(text[from]) & 0xC0) == 0x80)
            ++from;
    }
}

int EditorFindReplace::dialogStart() const
{
    const int length = m_editor.SelLength();
    return length == 0 ? 1 : m_editor.SelStart() + length + 1;
}

void EditorFindReplace::notFound()
{
    m_prompts.message(Prompts::Icon::Information, m_texts.boxTitle,
                      m_texts.notFound ? m_texts.notFound() : QString());
    m_editor.SetSelStart(1);
}

void EditorFindReplace::select(int position, int length)
{
    m_editor.SetSelStart(position - 1);
    m_editor.SetSelLength(length);
}

void EditorFindReplace::ShowFind(bool fromTop)
{
    if (fromTop)
        m_editor.SetSelStart(1);
    m_findDialog->show();
    m_findDialog->raise();
    m_findDialog->activateWindow();
}

void EditorFindReplace::ShowReplace()
{
    m_editor.SetSelStart(1);
    m_editor.SetSelLength(0);
    m_replaceDialog->setFindText(QString());
    m_replaceDialog->setReplaceText(QString());
    m_replaceDialog->show();
    m_replaceDialog->raise();
    m_replaceDialog->activateWindow();
}

void EditorFindReplace::FindDialog1Find()
{
    m_state.SearchMatchCase = m_findDialog->MatchCase();
    m_state.SearchWholeWord = m_findDialog->WholeWord();
    m_state.SearchText = m_findDialog->FindText();
    const int position = findInEditor(m_editor, m_state.SearchText, dialogStart(),
                                      m_state.SearchWholeWord, m_state.SearchMatchCase);
    if (position < 1) {
        notFound();
        return;
    }
    m_state.SearchStart = position + 1;
    m_editor.window()->activateWindow();
    m_editor.setFocus();
    select(position, int(m_state.SearchText.size()));
}

void EditorFindReplace::FindNext()
{
    const int length = m_editor.TextLength();
    if (isBlank(m_state.SearchText) || length == 0)
        return;
    int start = m_state.SearchStart;
    if (start < 1 || start >= length)
        start = 1;
    const int position = findInEditor(m_editor, m_state.SearchText, start, m_state.SearchWholeWord,
                                      m_state.SearchMatchCase);
    if (position < 1) {
        m_state.SearchStart = 1;
        m_prompts.message(Prompts::Icon::Information, m_texts.boxTitle,
                          m_texts.notFound ? m_texts.notFound() : QString());
        return;
    }
    m_editor.setFocus();
    select(position, int(m_state.SearchText.size()));
    m_state.SearchStart = position + int(m_state.SearchText.size()) + 1;
}

void EditorFindReplace::ReplaceDialog1Find()
{
    m_state.SearchMatchCase = m_replaceDialog->MatchCase();
    m_state.SearchWholeWord = false;
    const QString pattern = m_replaceDialog->FindText();
    const int position =
        findInEditor(m_editor, pattern, dialogStart(), false, m_state.SearchMatchCase);
    if (position < 1) {
        notFound();
        return;
    }
    select(position, int(pattern.size()));
}

void EditorFindReplace::ReplaceDialog1Replace(bool all)
{
    if (all) {
        const QString search = m_replaceDialog->FindText();
        if (search.isEmpty())
            return;
        const QString replacement = m_replaceDialog->ReplaceText();
        const auto hasBreak = [](const QString &s) {
            return s.contains(u'\r') || s.contains(u'\n');
        };
        // Without line breaks in either text the editor's own LF form gives the same
        // result as `Text` and saves two conversions of the whole text.
        const bool lf = !hasBreak(search) && !hasBreak(replacement);
        // An exact search goes over the editor's own bytes and changes them in place.
        if (lf && m_replaceDialog->MatchCase() && search.isValidUtf16() &&
            replacement.isValidUtf16()) {
            const QByteArray pattern = search.toUtf8();
            m_editor.replaceAllBytes(
                [&pattern](QByteArrayView text, qsizetype from) {
                    return findExact(text, pattern, from);
                },
                pattern.size(), replacement.toUtf8());
            return;
        }
        qsizetype count = 0;
        QString result = replaceAllText(lf ? m_editor.LfText() : m_editor.Text(), search,
                                        replacement, m_replaceDialog->MatchCase(), &count);
        // Nothing found: the text, its undo history and the caret stay as they are.
        if (count > 0 && lf)
            m_editor.SetLfText(result);
        else if (count > 0)
            m_editor.SetText(result);
        return;
    }
    if (m_editor.SelLength() > 0)
        m_editor.SetSelText(m_replaceDialog->ReplaceText());
}
