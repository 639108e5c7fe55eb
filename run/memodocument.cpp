#include "run/memodocument.h"

#include "editor/synmemo.h"

#include <QCoreApplication>
#include <QKeyEvent>
#include <QKeySequence>

#include <algorithm>

int MemoDocument::lineCount() const
{
    return m_host.editor->LineTotal();
}

QStringList MemoDocument::lines(int first, int count) const
{
    QStringList result;
    const int end = std::min(lineCount(), first + std::max(0, count));
    for (int i = std::max(0, first); i < end; ++i)
        result << m_host.editor->Lines().Strings(i);
    return result;
}

void MemoDocument::setLines(const std::map<int, QString> &lines)
{
    if (lines.empty())
        return;
    // One edit over the stretch from the first to the last line given; the lines between
    // them that the macro left alone go in as they are.
    const int first = std::max(0, lines.begin()->first);
    const int last = std::min(lineCount() - 1, lines.rbegin()->first);
    if (first > last)
        return;
    QStringList texts;
    texts.reserve(last - first + 1);
    auto given = lines.lower_bound(first);
    for (int i = first; i <= last; ++i) {
        if (given != lines.end() && given->first == i)
            texts << (given++)->second;
        else
            texts << m_host.editor->Lines().Strings(i);
    }
    m_host.editor->ReplaceLines(first, texts);
}

QString MemoDocument::text() const
{
    return m_host.editor->Text();
}

void MemoDocument::replaceRange(int start, int length, const QString &text)
{
    m_host.editor->SetSelStart(start);
    m_host.editor->SetSelLength(length);
    m_host.editor->SetSelText(text);
    // Up and Down then keep the column the caret stands in now, as after typing
    m_host.editor->SendScintilla(QsciScintillaBase::SCI_CHOOSECARETX);
}

int MemoDocument::lineStart(int line) const
{
    if (line >= lineCount())
        return m_host.editor->TextLength();
    return m_host.editor->LineStartIndex(std::max(0, line));
}

QString MemoDocument::selText() const
{
    return m_host.editor->SelText();
}

int MemoDocument::selStart() const
{
    return m_host.editor->SelStart();
}

int MemoDocument::selLength() const
{
    return m_host.editor->SelLength();
}

void MemoDocument::select(int start, int length)
{
    m_host.editor->SetSelStart(start);
    m_host.editor->SetSelLength(length);
    m_host.editor->SendScintilla(QsciScintillaBase::SCI_CHOOSECARETX);
}

int MemoDocument::caretLine() const
{
    return m_host.editor->CaretY();
}

int MemoDocument::caretColumn() const
{
    return m_host.editor->CaretX();
}

bool MemoDocument::modified() const
{
    return m_host.editor->Modified();
}

QString MemoDocument::key(const QString &name)
{
    const QKeySequence sequence = QKeySequence::fromString(name, QKeySequence::PortableText);
    if (sequence.count() != 1 || sequence[0].key() == Qt::Key_unknown)
        return QStringLiteral("Unknown key: ") + name;
    // the editor's own handling of the key, as when it is pressed
    const QKeyCombination combination = sequence[0];
    QKeyEvent press(QEvent::KeyPress, combination.key(), combination.keyboardModifiers());
    QKeyEvent release(QEvent::KeyRelease, combination.key(), combination.keyboardModifiers());
    QCoreApplication::sendEvent(m_host.editor, &press);
    QCoreApplication::sendEvent(m_host.editor, &release);
    return {};
}
