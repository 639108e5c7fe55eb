#include "editor/completion.h"

#include <QKeyEvent>
#include <Qsci/qsciscintilla.h>

namespace {

using Sci = QsciScintillaBase;

// How far the word before or after the caret is looked for; longer runs are cut.
constexpr long kMaxWordBytes = 256;

bool isWordChar(QChar c)
{
    return c.isLetterOrNumber() || c == u'_';
}

// Characters Scintilla's list cannot show as part of an entry: the end of the list
// string, our item and type separators.
QString listEntry(const QString &item)
{
    QString entry = item;
    for (QChar &c : entry) {
        if (c.unicode() == 0 || c.unicode() == 0x1E || c.unicode() == 0x1F)
            c = u' ';
    }
    return entry;
}

} // namespace

TSynCompletionProposal::TSynCompletionProposal(QObject *parent) : QObject(parent)
{
    m_timer.setSingleShot(true);
    m_timer.setInterval(500);
    connect(&m_timer, &QTimer::timeout, this, &TSynCompletionProposal::onTimer);
}

TSynCompletionProposal::~TSynCompletionProposal()
{
    detach();
}

void TSynCompletionProposal::SetEditor(QsciScintilla *editor)
{
    if (editor == m_editor)
        return;
    detach();
    m_editor = editor;
    if (!editor)
        return;
    editor->installEventFilter(this);
    m_connections = {
        connect(editor, &Sci::SCN_CHARADDED, this, &TSynCompletionProposal::onCharAdded),
        connect(editor, qOverload<const char *, int, int, int>(&Sci::SCN_AUTOCSELECTION), this,
                &TSynCompletionProposal::onSelection),
        connect(editor, &Sci::SCN_AUTOCCHARDELETED, this, &TSynCompletionProposal::refilter),
        connect(editor, &Sci::SCN_AUTOCCANCELLED, this, [this] { m_wordStart = -1; }),
        // A widget sends this from its base destructor: the editor must not be used any more.
        connect(editor, &QObject::destroyed, this, [this] { forget(); }),
    };
}

void TSynCompletionProposal::forget()
{
    m_timer.stop();
    m_connections.clear();
    m_editor = nullptr;
    m_wordStart = -1;
}

void TSynCompletionProposal::detach()
{
    m_timer.stop();
    for (const QMetaObject::Connection &connection : std::as_const(m_connections))
        disconnect(connection);
    m_connections.clear();
    if (m_editor) {
        m_editor->removeEventFilter(this);
        Cancel();
    }
    m_editor = nullptr;
    m_wordStart = -1;
}

void TSynCompletionProposal::SetItemList(const QStringList &items)
{
    m_items = items;
    m_matchesValid = false;
}

QString TSynCompletionProposal::EditorLineBreak() const
{
    if (!m_editor)
        return QStringLiteral("\n");
    switch (m_editor->eolMode()) {
    case QsciScintilla::EolWindows:
        return QStringLiteral("\r\n");
    case QsciScintilla::EolMac:
        return QStringLiteral("\r");
    default:
        return QStringLiteral("\n");
    }
}

bool TSynCompletionProposal::IsActive() const
{
    return m_editor && m_editor->SendScintilla(Sci::SCI_AUTOCACTIVE) != 0;
}

void TSynCompletionProposal::Cancel()
{
    if (IsActive())
        m_editor->SendScintilla(Sci::SCI_AUTOCCANCEL);
    m_wordStart = -1;
}

QByteArray TSynCompletionProposal::editorBytes(const QString &text) const
{
    return m_editor->isUtf8() ? text.toUtf8() : text.toLatin1();
}

TSynCompletionProposal::Word TSynCompletionProposal::wordBeforeCaret() const
{
    Word word;
    const long caret = m_editor->SendScintilla(Sci::SCI_GETCURRENTPOS);
    const long line = m_editor->SendScintilla(Sci::SCI_LINEFROMPOSITION, caret);
    const long lineStart = m_editor->SendScintilla(Sci::SCI_POSITIONFROMLINE, line);
    // A cut through a multi-byte character reads as a replacement character, which is no
    // word character: the walk stops there.
    const QString before = m_editor->text(int(qMax(lineStart, caret - kMaxWordBytes)), int(caret));
    qsizetype at = before.size();
    while (at > 0 && isWordChar(before[at - 1]))
        --at;
    word.text = before.sliced(at);
    word.end = caret;
    word.start = caret - long(editorBytes(word.text).size());
    return word;
}

long TSynCompletionProposal::wordEndAfter(long position) const
{
    const long line = m_editor->SendScintilla(Sci::SCI_LINEFROMPOSITION, position);
    const long lineEnd = m_editor->SendScintilla(Sci::SCI_GETLINEENDPOSITION, line);
    const QString after =
        m_editor->text(int(position), int(qMin(lineEnd, position + kMaxWordBytes)));
    qsizetype length = 0;
    while (length < after.size() && isWordChar(after[length]))
        ++length;
    return position + long(editorBytes(after.first(length)).size());
}

void TSynCompletionProposal::filter(const QString &fragment)
{
    // A longer fragment only narrows the matches of the shorter one.
    const bool narrowing =
        m_matchesValid && fragment.startsWith(m_matchedFragment, Qt::CaseInsensitive);
    QList<int> matches;
    auto test = [&](int index) {
        if (QStringView(m_items[index]).startsWith(fragment, Qt::CaseInsensitive))
            matches.append(index);
    };
    if (narrowing) {
        for (int index : std::as_const(m_matches))
            test(index);
    } else {
        for (int index = 0; index < m_items.size(); ++index)
            test(index);
    }
    m_matches = std::move(matches);
    m_matchedFragment = fragment;
    m_matchesValid = true;
    m_shown = m_matches.first(qMin<qsizetype>(m_matches.size(), kMaxShown));
}

void TSynCompletionProposal::show(const Word &fragment)
{
    filter(fragment.text);
    if (m_shown.isEmpty()) {
        Cancel();
        return;
    }
    QStringList entries;
    entries.reserve(m_shown.size());
    for (int index : std::as_const(m_shown))
        entries.append(listEntry(m_items[index]));
    // Setting a lexer resets these, so they go with every show.
    QsciScintilla &editor = *m_editor;
    editor.SendScintilla(Sci::SCI_AUTOCSETSEPARATOR, 0x1E);
    editor.SendScintilla(Sci::SCI_AUTOCSETTYPESEPARATOR, 0x1F);
    editor.SendScintilla(Sci::SCI_AUTOCSETIGNORECASE, 1);
    editor.SendScintilla(Sci::SCI_AUTOCSETCASEINSENSITIVEBEHAVIOUR,
                         Sci::SC_CASEINSENSITIVEBEHAVIOUR_IGNORECASE);
    editor.SendScintilla(Sci::SCI_AUTOCSETORDER, Sci::SC_ORDER_CUSTOM);
    editor.SendScintilla(Sci::SCI_AUTOCSETCANCELATSTART, 0);
    editor.SendScintilla(Sci::SCI_AUTOCSETAUTOHIDE, 0);
    editor.SendScintilla(Sci::SCI_AUTOCSETCHOOSESINGLE, 0);
    editor.SendScintilla(Sci::SCI_AUTOCSETDROPRESTOFWORD, 0);
    editor.SendScintilla(Sci::SCI_AUTOCSETMAXHEIGHT, 12);
    editor.SendScintilla(Sci::SCI_AUTOCSTOPS, 0ul, "");
    editor.SendScintilla(Sci::SCI_AUTOCSETFILLUPS, 0ul, editorBytes(m_endOfTokenChr).constData());
    const QByteArray bytes = editorBytes(entries.join(QChar(0x1E)));
    editor.SendScintilla(Sci::SCI_AUTOCSHOW,
                         static_cast<unsigned long>(fragment.end - fragment.start),
                         bytes.constData());
    // Scintilla preselects the alphabetically first match; ours is the first in the list.
    if (IsActive())
        editor.SendScintilla(Sci::SCI_VCHOME);
    m_wordStart = fragment.start;
}

void TSynCompletionProposal::Activate()
{
    if (!m_editor)
        return;
    m_timer.stop();
    m_matchesValid = false;
    show(wordBeforeCaret());
}

void TSynCompletionProposal::refilter()
{
    if (!m_editor || m_wordStart < 0)
        return;
    const Word word = wordBeforeCaret();
    // The caret left the word the list was opened for.
    if (word.start != m_wordStart) {
        Cancel();
        return;
    }
    show(word);
}

void TSynCompletionProposal::onCharAdded(int ch)
{
    const QChar typed = ch >= 0 && ch <= 0xFFFF ? QChar(ch) : QChar();
    if (IsActive() && m_wordStart >= 0) {
        if (isWordChar(typed))
            refilter();
        else
            Cancel();
    }
    if (!typed.isNull() && m_triggerChars.contains(typed) && !IsActive()) {
        m_triggerPosition = m_editor->SendScintilla(Sci::SCI_GETCURRENTPOS);
        m_timer.start();
    }
}

void TSynCompletionProposal::onTimer()
{
    // Only when the editor rested right after the trigger character.
    if (!m_editor || IsActive() ||
        m_editor->SendScintilla(Sci::SCI_GETCURRENTPOS) != m_triggerPosition)
        return;
    Activate();
}

void TSynCompletionProposal::onSelection(const char *, int, int ch, int method)
{
    QsciScintilla &editor = *m_editor;
    const long current = editor.SendScintilla(Sci::SCI_AUTOCGETCURRENT);
    const long wordStart = m_wordStart;
    // Our own insertion replaces the list's.
    editor.SendScintilla(Sci::SCI_AUTOCCANCEL);
    m_wordStart = -1;
    if (current < 0 || current >= m_shown.size() || wordStart < 0)
        return;
    const int index = m_shown[int(current)];
    if (index >= m_inserts.size())
        return; // no insert text: the typed word stays as it is

    const long caret = editor.SendScintilla(Sci::SCI_GETCURRENTPOS);
    const bool byEndChar = method == Sci::SC_AC_FILLUP;
    const long end = byEndChar ? caret : wordEndAfter(caret);
    QString value = m_inserts[index];
    if (m_onCodeCompletion)
        m_onCodeCompletion(value, index, byEndChar ? QChar(ch) : QChar());

    const QByteArray bytes = editorBytes(value);
    editor.beginUndoAction();
    editor.SendScintilla(Sci::SCI_SETTARGETRANGE, static_cast<unsigned long>(wordStart), end);
    editor.SendScintilla(Sci::SCI_REPLACETARGET, static_cast<unsigned long>(bytes.size()),
                         bytes.constData());
    editor.endUndoAction();
    editor.SendScintilla(Sci::SCI_GOTOPOS, static_cast<unsigned long>(wordStart + bytes.size()));
}

bool TSynCompletionProposal::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_editor && event->type() == QEvent::KeyPress) {
        auto *key = static_cast<QKeyEvent *>(event);
        // Any key but the trigger character itself ends the pause before the list.
        m_timer.stop();
        if (QKeySequence(key->keyCombination()) == m_shortCut) {
            Activate();
            return true;
        }
    }
    return QObject::eventFilter(watched, event);
}
