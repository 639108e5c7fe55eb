#include "texttools/findreplace.h"

#include "base/prompts.h"
#include "base/textrules.h"
#include "editor/synmemo.h"
#include "texttools/regexsearch.h"
#include "texttools/searchdialogs.h"
#include "texttools/textsearch.h"

#include <algorithm>

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
    m_language = language;
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

EditorFindReplace::Hit EditorFindReplace::findRegexInEditor(const TSynMemo &editor,
                                                            const RegexSearch &regex, int start,
                                                            int notEmptyAt)
{
    if (start < 1)
        return {};
    const qsizetype from = editor.indexToPosition(start - 1);
    const qsizetype skip = notEmptyAt > 0 ? editor.indexToPosition(notEmptyAt - 1) : -1;
    const RegexSearch::Utf8Hit hit = regex.findInUtf8(editor.TextBytes(), from, skip);
    if (hit.start < 0)
        return {};
    const qsizetype first = editor.positionToIndex(hit.start);
    const qsizetype last = editor.positionToIndex(hit.end);
    return {int(first + 1), int(last - first)};
}

EditorFindReplace::Hit EditorFindReplace::find(const QString &pattern, int start, bool wholeWord,
                                               bool matchCase, bool regex)
{
    if (!regex) {
        const int position = findInEditor(m_editor, pattern, start, wholeWord, matchCase);
        return {position, position > 0 ? int(pattern.size()) : 0};
    }
    const RegexSearch search(pattern, matchCase, wholeWord);
    if (reportInvalid(search))
        return {-1, 0};
    return findRegexInEditor(m_editor, search, start, start == m_emptyHitAt ? start : 0);
}

bool EditorFindReplace::reportInvalid(const RegexSearch &regex)
{
    if (regex.isValid())
        return false;
    m_prompts.message(Prompts::Icon::Warning, m_texts.boxTitle, regex.errorText(m_language));
    return true;
}

int EditorFindReplace::dialogStart() const
{
    const int length = m_editor.SelLength();
    if (length > 0)
        return m_editor.SelStart() + length + 1;
    // Just after an empty hit the search goes on from there (and passes over that hit).
    if (m_emptyHitAt > 0 && m_editor.SelStart() + 1 == m_emptyHitAt)
        return m_emptyHitAt;
    return 1;
}

void EditorFindReplace::notFound()
{
    m_prompts.message(Prompts::Icon::Information, m_texts.boxTitle,
                      m_texts.notFound ? m_texts.notFound() : QString());
    m_editor.SetSelStart(1);
}

void EditorFindReplace::select(int position, int length)
{
    m_emptyHitAt = length == 0 ? position : 0;
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
    m_state.SearchRegex = m_findDialog->Regex();
    m_state.SearchText = m_findDialog->FindText();
    const Hit hit = find(m_state.SearchText, dialogStart(), m_state.SearchWholeWord,
                         m_state.SearchMatchCase, m_state.SearchRegex);
    if (hit.position < 0)
        return;
    if (hit.position == 0) {
        notFound();
        return;
    }
    m_state.SearchStart = hit.position + 1;
    m_editor.window()->activateWindow();
    m_editor.setFocus();
    select(hit.position, hit.length);
}

void EditorFindReplace::FindNext()
{
    const int length = m_editor.TextLength();
    if (isBlank(m_state.SearchText) || length == 0)
        return;
    int start = m_state.SearchStart;
    // A start past the last character wraps to the top; one on the last character still
    // finds an occurrence of one character there.
    if (start < 1 || start > length)
        start = 1;
    const Hit hit = find(m_state.SearchText, start, m_state.SearchWholeWord,
                         m_state.SearchMatchCase, m_state.SearchRegex);
    if (hit.position < 0)
        return;
    if (hit.position == 0) {
        m_state.SearchStart = 1;
        m_prompts.message(Prompts::Icon::Information, m_texts.boxTitle,
                          m_texts.notFound ? m_texts.notFound() : QString());
        return;
    }
    m_editor.setFocus();
    select(hit.position, hit.length);
    // A plain search goes on one character after the hit, so adjacent and overlapping
    // occurrences are found too; a pattern goes on after its match (and past an empty one).
    m_state.SearchStart = hit.position + (m_state.SearchRegex ? std::max(hit.length, 1) : 1);
}

void EditorFindReplace::ReplaceDialog1Find()
{
    m_state.SearchMatchCase = m_replaceDialog->MatchCase();
    m_state.SearchWholeWord = false;
    m_state.SearchRegex = m_replaceDialog->Regex();
    const Hit hit = find(m_replaceDialog->FindText(), dialogStart(), false, m_state.SearchMatchCase,
                         m_state.SearchRegex);
    if (hit.position < 0)
        return;
    if (hit.position == 0) {
        notFound();
        return;
    }
    select(hit.position, hit.length);
}

void EditorFindReplace::ReplaceDialog1Replace(bool all)
{
    if (all) {
        const QString search = m_replaceDialog->FindText();
        if (search.isEmpty())
            return;
        const QString replacement = m_replaceDialog->ReplaceText();
        if (m_replaceDialog->Regex()) {
            // On the editor's LF form, where every line break is one "\n".
            const RegexSearch regex(search, m_replaceDialog->MatchCase(), false);
            if (reportInvalid(regex))
                return;
            qsizetype count = 0;
            QString result = regex.replaceAll(m_editor.LfText(), replacement, &count);
            if (count > 0)
                m_editor.SetLfText(result);
            return;
        }
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
            m_editor.ReplaceLfText(result);
        else if (count > 0)
            m_editor.ReplaceText(result);
        return;
    }
    const bool regex = m_replaceDialog->Regex();
    const bool emptyHit = regex && m_emptyHitAt > 0 && m_editor.SelStart() + 1 == m_emptyHitAt;
    if (m_editor.SelLength() == 0 && !emptyHit)
        return;
    QString replacement = m_replaceDialog->ReplaceText();
    if (regex) {
        // The captures of the pattern matched on the selection.
        const RegexSearch search(m_replaceDialog->FindText(), m_replaceDialog->MatchCase(), false);
        if (reportInvalid(search))
            return;
        QString selected = m_editor.SelText();
        selected.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
        const QRegularExpressionMatch match =
            search.expression().match(selected, 0, QRegularExpression::NormalMatch,
                                      QRegularExpression::AnchorAtOffsetMatchOption);
        replacement = RegexSearch::expand(replacement, match);
        m_emptyHitAt = 0;
    }
    m_editor.SetSelText(replacement);
}
