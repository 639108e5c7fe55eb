#pragma once
// The completion pop-up of an editor (`SynCompletionProposal1` of the main window): a
// list of keywords (`ItemList`) and, line for line, the code to insert for each
// (`InsertList`). It opens on Ctrl+Space, or after one of `TriggerChars` is typed and
// the editor then rests for `TimerInterval` ms, but only while attached to an editor.
// The list shows the keywords that begin with the word before the caret, compared
// without regard to case; Enter, Tab or one of `EndOfTokenChr` completes with the
// selected keyword, Escape closes the list. Completing replaces the word by the insert
// text of the keyword's index as one undo step; without an insert text the document
// stays as it is.
//
// Built on Scintilla's own list (SCI_AUTOCSHOW) that is given our filtered list each
// time the word changes, while the insertion is ours (the list's choice is cancelled
// and the word replaced in one step).

#include <QKeySequence>
#include <QObject>
#include <QStringList>
#include <QTimer>
#include <functional>

class QsciScintilla;

class TSynCompletionProposal : public QObject
{
    Q_OBJECT
public:
    // At most this many keywords are handed to the list at once; typing narrows it.
    static constexpr int kMaxShown = 2000;

    explicit TSynCompletionProposal(QObject *parent = nullptr);
    ~TSynCompletionProposal() override;

    QsciScintilla *Editor() const { return m_editor; }
    // Attaches to `editor`; nullptr detaches (an open list closes).
    void SetEditor(QsciScintilla *editor);

    const QStringList &ItemList() const { return m_items; }
    void SetItemList(const QStringList &items);
    const QStringList &InsertList() const { return m_inserts; }
    void SetInsertList(const QStringList &inserts) { m_inserts = inserts; }

    QString TriggerChars() const { return m_triggerChars; }
    void SetTriggerChars(const QString &chars) { m_triggerChars = chars; }
    QString EndOfTokenChr() const { return m_endOfTokenChr; }
    void SetEndOfTokenChr(const QString &chars) { m_endOfTokenChr = chars; }
    int TimerInterval() const { return m_timer.interval(); }
    void SetTimerInterval(int ms) { m_timer.setInterval(ms); }
    QKeySequence ShortCut() const { return m_shortCut; }
    void SetShortCut(const QKeySequence &keys) { m_shortCut = keys; }

    // Called with the text about to be inserted, which it may rewrite; `index` is the
    // keyword's index in ItemList, `endToken` the character that completed (0 for Enter,
    // Tab or a double click).
    using CodeCompletion = std::function<void(QString &value, int index, QChar endToken)>;
    void SetOnCodeCompletion(CodeCompletion handler) { m_onCodeCompletion = std::move(handler); }

    // The line break the attached editor inserts for Enter.
    QString EditorLineBreak() const;

    // Opens the list at the caret (what the shortcut does); nothing when detached or when
    // no keyword matches.
    void Activate();
    void Cancel();
    bool IsActive() const;
    // What the open list shows, as indexes into ItemList.
    const QList<int> &ShownIndexes() const { return m_shown; }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    struct Word
    {
        long start = 0; // byte positions in the editor
        long end = 0;
        QString text;
    };
    Word wordBeforeCaret() const;
    long wordEndAfter(long position) const;
    void show(const Word &fragment);
    void refilter();
    void filter(const QString &fragment);
    QByteArray editorBytes(const QString &text) const;

    void onCharAdded(int ch);
    void onSelection(const char *selection, int position, int ch, int method);
    void onTimer();
    void detach();
    void forget();

    QsciScintilla *m_editor = nullptr; // cleared when the editor is destroyed
    QList<QMetaObject::Connection> m_connections;
    QStringList m_items;
    QStringList m_inserts;
    QString m_triggerChars = QStringLiteral(".");
    QString m_endOfTokenChr = QStringLiteral("()[]. ");
    QKeySequence m_shortCut{Qt::CTRL | Qt::Key_Space};
    QTimer m_timer;
    long m_triggerPosition = -1;
    CodeCompletion m_onCodeCompletion;

    // The open list: where its word starts and which keywords it shows.
    long m_wordStart = -1;
    QList<int> m_shown;
    // All matches of the last fragment (not capped), so a longer fragment filters them
    // instead of the whole list.
    QString m_matchedFragment;
    QList<int> m_matches;
    bool m_matchesValid = false;
};
