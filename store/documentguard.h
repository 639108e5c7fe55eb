#pragma once
// Keeps the main window's document from being lost:
// - notices when its file is changed, replaced or deleted by another program (when the
//   window gets the focus back, or at once while it has it) and asks once per change;
//   asks before a save overwrites a file that changed since it was read;
// - journals the unsaved edits (store/editjournal.h) and offers them at the next start
//   after a crash; warns when another running window has the file open with edits;
// - remembers caret, view and bookmarks of closed files (store/viewmemory.h).
// The main window owns one and tells it what happens to the document through the
// document*() calls; everything else it needs comes through the Host.

#include "store/editjournal.h"
#include "store/viewmemory.h"

#include <QFileSystemWatcher>
#include <QObject>
#include <QTimer>
#include <functional>

class Prompts;
class QWidget;
class TSynMemo;

class DocumentGuard : public QObject
{
    Q_OBJECT
public:
    struct Host
    {
        TSynMemo *editor = nullptr;
        Prompts *prompts = nullptr;
        // The window whose focus counts.
        QWidget *window = nullptr;
        QString boxTitle;
        std::function<int()> uiLanguage;
        // The data folder, ending with "/"; known once the window is shown.
        std::function<QString()> dataFolder;
        // Opens a file as the open command does; false when it was not opened.
        std::function<bool(const QString &path)> openFile;
        // Starts a new untitled document (no question).
        std::function<void()> newDocument;
        // Sets bookmark `number` on a line and column (from 1), check marks included.
        std::function<void(int number, int line, int column)> setBookmark;
    };

    // Edits are written out this long after they were made at the latest.
    static constexpr int kFlushMilliseconds = 500;
    // A change on disk is asked about once the file has been quiet this long.
    static constexpr int kSettleMilliseconds = 300;

    explicit DocumentGuard(Host host, QObject *parent = nullptr);
    ~DocumentGuard() override;

    // Journaling on or off (preference "recovery.journal"); off removes the journal.
    void setJournaling(bool on);
    bool journaling() const { return m_journaling; }
    // Reads the remembered views; called once the data folder is known.
    void loadViews();

    // ---- what happens to the document ----
    // Before its text is replaced (open, new): remembers the view, drops the journal.
    void beforeDocumentChange();
    // Its text was read from `path`.
    void documentOpened(const QString &path);
    // It was written to `path` and is unmodified now; `asText` is false when what was
    // written is not the text as it reads back (the ANSI copy, which ends every line).
    void documentSaved(const QString &path, bool asText = true);
    // It has no file (new document, failed read, or a text emptied by an edit, which
    // starts a new document).
    void documentCleared();
    // Its text has the name `path` again (an undo gave a document emptied by an edit its
    // file back): the file is watched again; the journal starts from the text at the next
    // edit reported, the undo's own.
    void documentRenamed(const QString &path);
    // The window closes with nothing left to save: remembers the view, removes the journal.
    void documentClosing();

    // ---- questions ----
    // Before the document is written over `path`: true unless the file changed on disk
    // since it was read or saved and the user does not want it overwritten.
    bool confirmOverwrite(const QString &path);
    // Before `path` is opened: true unless another running window has it open with
    // unsaved edits and the user cancels.
    bool mayOpen(const QString &path);
    // Compares the file with what was read or last noticed and asks once about a change.
    void checkDisk();
    // The window got the focus back.
    void windowActivated() { checkDisk(); }
    // At start: offers the journals of windows that ended without closing, one by one,
    // until one is restored into this window.
    void offerRecovery();
    // After opening `path` from the recent list or the command line.
    void restoreView(const QString &path);

    // Restores a journal into the window: true when its text is shown.
    bool restore(const QString &journalPath);
    const EditJournal &journal() const { return m_journal; }
    // Writes what is pending now instead of on the timer.
    void flushJournal();
    const ViewMemory &views() const { return m_views; }

private:
    void onEdit(qsizetype position, qsizetype removed, QByteArrayView inserted);
    // Starts the journal; `snapshot` takes the whole text as it is now for its base.
    bool startJournal(bool snapshot);
    // The text no longer builds on the file: a journal goes on from a snapshot of it.
    void journalFromText();
    void watch(const QString &path);
    void reloadKeepingLine();
    void rememberView();
    QString text(int which) const;
    void reportAside(const QString &journalPath, const QString &reason);

    Host m_host;
    EditJournal m_journal;
    ViewMemory m_views;
    QFileSystemWatcher m_watcher;
    QTimer m_flushTimer;
    QTimer m_settleTimer;
    QString m_token;
    // The file whose text is in the editor; empty without one.
    QString m_path;
    // The file as read or last saved, and as last noticed (asked about).
    FileStamp m_readStamp;
    FileStamp m_seenStamp;
    // Whether the text is the file's content plus the journaled edits.
    bool m_textMatchesFile = false;
    bool m_journaling = true;
    // Off while the text is replaced by a load or a replay.
    bool m_recording = true;
    bool m_asking = false;
    // A journal that could not be started or written is not tried again for this text.
    bool m_journalFailed = false;
};
