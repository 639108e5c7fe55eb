#include "texttools/documenttools.h"

#include "base/prompts.h"
#include "editor/synmemo.h"
#include "texttools/textsearch.h"
#include "texttools/transformations.h"

#include <QAction>

namespace {

const QString kBreakCaption = QStringLiteral("Umbrüche einfügen");
const QString kBreakPrompt =
    QStringLiteral("Geben Sie ein Zeichen ein, nachdem Umbrüche eingefügt werden sollen:");
const QString kBreakPreset = QStringLiteral(";");

} // namespace

DocumentTools::DocumentTools(Host host, QObject *parent) : QObject(parent), m_host(std::move(host))
{
    for (int n = 0; n < TSynMemo::kBookmarkCount; ++n) {
        for (bool goTo : {false, true}) {
            if (QAction *item = m_host.bookmarkItem ? m_host.bookmarkItem(n, goTo) : nullptr)
                item->setCheckable(true);
        }
    }
}

// ---- transformations ----

void DocumentTools::RemoveHyphenation1Click()
{
    TSynMemo &editor = *m_host.editor;
    const HyphenRemoval removal = removeHyphenation(editor.Text());
    if (removal.count > 0) {
        // Only the stretch from the first to the last removed hyphen changes: one
        // replacement, undone in one step.
        editor.SetSelStart(int(removal.first));
        editor.SetSelLength(int(removal.oldEnd - removal.first));
        editor.SetSelText(removal.text.mid(removal.first, removal.newEnd - removal.first));
    }
    m_host.prompts->message(Prompts::Icon::Information, m_host.boxTitle,
                            QString::number(removal.count) + QStringLiteral(" x ") +
                                m_host.message(8));
}

void DocumentTools::Removelinebreaks1Click()
{
    TSynMemo &editor = *m_host.editor;
    const QString text = editor.Text();
    const QString result = removeLineBreaks(text);
    if (result != text)
        editor.ReplaceText(result);
}

void DocumentTools::Insertlinebreaks1Click()
{
    // Cancel changes nothing.
    const QString value =
        m_host.prompts->inputText(kBreakCaption, kBreakPrompt, kBreakPreset).value_or(QString());
    if (value.isEmpty())
        return;
    TSynMemo &editor = *m_host.editor;
    const QString text = editor.Text();
    const QString result = insertLineBreaks(text, value);
    if (result != text)
        editor.ReplaceText(result);
}

void DocumentTools::convertSelection(QString (*convert)(QString))
{
    TSynMemo &editor = *m_host.editor;
    if (editor.SelLength() == 0)
        return;
    editor.SetSelText(convert(editor.SelText()));
}

void DocumentTools::UppertoLower1Click()
{
    convertSelection(asciiLower);
}

void DocumentTools::LowertoUpper1Click()
{
    convertSelection(asciiUpperCase);
}

// ---- go to line, delete ----

void DocumentTools::GoToLine1Click()
{
    const std::optional<QString> answer =
        m_host.prompts->inputText(m_host.message(12), QStringLiteral("Goto line"), QString());
    if (!answer)
        return; // Cancel does nothing
    const std::optional<int> number = strToInt(answer.value_or(QString()));
    if (!number) {
        m_host.prompts->message(Prompts::Icon::Information, m_host.boxTitle, m_host.message(10));
        return;
    }
    TSynMemo &editor = *m_host.editor;
    const int lines = editor.Lines().Count();
    const int line = qMin(*number, lines);
    if (line > 0)
        editor.SetCaretXY(1, line);
    else
        editor.SetCaretY(line); // clamped to line 1; the column stays
    editor.ensureCursorVisible();
}

void DocumentTools::ToolButtonDelClick()
{
    if (m_host.editor->SelLength() > 0)
        m_host.editor->SetSelText(QString());
}

// ---- bookmarks ----

void DocumentTools::setChecked(int number, bool checked)
{
    m_checked.at(number) = checked;
}

void DocumentTools::showChecks()
{
    for (int n = 0; n < TSynMemo::kBookmarkCount; ++n) {
        for (bool goTo : {false, true}) {
            if (QAction *item = m_host.bookmarkItem ? m_host.bookmarkItem(n, goTo) : nullptr)
                item->setChecked(m_checked.at(n));
        }
    }
}

void DocumentTools::SetBookmark(int number)
{
    TSynMemo &editor = *m_host.editor;
    if (editor.Lines().Count() > 0) {
        editor.ClearBookMark(number);
        editor.SetBookMark(number, editor.CaretX(), editor.CaretY());
        setChecked(number, true);
    }
    showChecks();
}

void DocumentTools::GotoBookmark(int number)
{
    m_host.editor->GotoBookMark(number);
    showChecks();
}

void DocumentTools::Lesezeichenlschen1Click()
{
    for (int n = 0; n < TSynMemo::kBookmarkCount; ++n) {
        m_host.editor->ClearBookMark(n);
        setChecked(n, false);
    }
    showChecks();
}

void DocumentTools::SynMemo1GutterClick(int line)
{
    TSynMemo &editor = *m_host.editor;
    for (int n = 0; n < TSynMemo::kBookmarkCount; ++n) {
        int column = 0, markedLine = 0;
        if (editor.GetBookMark(n, column, markedLine) && markedLine == line) {
            editor.ClearBookMark(n);
            setChecked(n, false);
            showChecks();
            return;
        }
    }
    for (int n = 0; n < TSynMemo::kBookmarkCount; ++n) {
        if (!m_checked.at(n)) {
            SetBookmark(n);
            return;
        }
    }
}
