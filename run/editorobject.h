#pragma once
// The `Editor` object that macros and scripts of both languages see: the current document
// with properties and methods named the way a VBScript user would guess them. Lines and
// columns count from 1, as the status bar shows them; SelStart and SelLength are indexes
// into `Text` (from 0, each line break two characters).
//
// Scripts run on the engine thread; the document lives on the window's thread. Every
// call goes through `Dispatch`, which runs it there and waits. Reading and rewriting
// lines one by one is the common macro loop, so Line(n) reads a block of lines at once
// and keeps it, and Line(n) = text collects the new lines until any other member is used
// (or the run ends, see flush()), which writes them as one edit.

#include "run/macrodocument.h"

#include <QObject>
#include <QString>

#include <functional>
#include <map>

namespace quillora {

class EditorObject : public QObject
{
    Q_OBJECT
    Q_PROPERTY(QString Text READ text WRITE setText)
    Q_PROPERTY(QString SelText READ selText WRITE setSelText)
    Q_PROPERTY(int SelStart READ selStart WRITE setSelStart)
    Q_PROPERTY(int SelLength READ selLength WRITE setSelLength)
    Q_PROPERTY(int LineCount READ lineCount)
    Q_PROPERTY(int CaretLine READ caretLine WRITE setCaretLine)
    Q_PROPERTY(int CaretColumn READ caretColumn WRITE setCaretColumn)
    Q_PROPERTY(QString FileName READ fileName)
    Q_PROPERTY(QString Scheme READ scheme WRITE setScheme)
    Q_PROPERTY(bool Modified READ modified)
    Q_PROPERTY(QString LastError READ lastError)
public:
    // Runs a job on the document's thread and returns when it is done.
    using Dispatch = std::function<void(const std::function<void()> &)>;

    explicit EditorObject(QObject *parent = nullptr);

    // The document of the next calls (null: every call does nothing); `dispatch` empty
    // runs calls directly.
    void setDocument(MacroDocument *document, Dispatch dispatch = {});
    // Writes collected lines and forgets what was read: at the end of every run.
    void flush();

    Q_INVOKABLE QString Line(int line);
    Q_INVOKABLE void Line(int line, const QString &text);
    Q_INVOKABLE void SetLine(int line, const QString &text) { Line(line, text); }
    // Like typing: replaces the selection, the caret after the new text.
    Q_INVOKABLE void InsertText(const QString &text);
    // Replaces the selection; the new text stays selected.
    Q_INVOKABLE void ReplaceSelection(const QString &text);
    Q_INVOKABLE void DeleteLines(int first) { DeleteLines(first, 1); }
    Q_INVOKABLE void DeleteLines(int first, int count);
    // Searches on from the selection's end; selects the hit.
    Q_INVOKABLE bool Find(const QString &text) { return Find(text, QString()); }
    Q_INVOKABLE bool Find(const QString &text, const QString &options);
    Q_INVOKABLE int ReplaceAll(const QString &find, const QString &replacement)
    {
        return ReplaceAll(find, replacement, QString());
    }
    Q_INVOKABLE int ReplaceAll(const QString &find, const QString &replacement,
                               const QString &options);
    Q_INVOKABLE void GotoLine(int line);
    Q_INVOKABLE bool New();
    Q_INVOKABLE bool Open(const QString &path);
    Q_INVOKABLE bool Save();
    Q_INVOKABLE bool SaveAs(const QString &path);
    Q_INVOKABLE bool RunCommand(const QString &name);
    Q_INVOKABLE void StatusText(const QString &text);
    // Presses a key `count` times, as a recording plays it back ("Left", "Shift+End").
    Q_INVOKABLE bool Key(const QString &name) { return Key(name, 1); }
    Q_INVOKABLE bool Key(const QString &name, int count);

    QString text();
    void setText(const QString &text);
    QString selText();
    void setSelText(const QString &text) { ReplaceSelection(text); }
    int selStart();
    void setSelStart(int start);
    int selLength();
    void setSelLength(int length);
    int lineCount();
    int caretLine();
    void setCaretLine(int line);
    int caretColumn();
    void setCaretColumn(int column);
    QString fileName();
    QString scheme();
    void setScheme(const QString &name);
    bool modified();
    QString lastError() const { return m_lastError; }

private:
    // Runs `job` with the document on its thread, after writing collected lines.
    template <typename Job> auto onDocument(Job job);
    void forget();
    void moveCaret(int line, int column);
    bool succeeded(const QString &error);

    MacroDocument *m_document = nullptr;
    Dispatch m_dispatch;
    QString m_lastError;
    int m_lineCount = -1; // -1: not known
    int m_cacheFirst = 0;
    QStringList m_cache;
    std::map<int, QString> m_pending; // new texts of lines, from 0
};

} // namespace quillora
