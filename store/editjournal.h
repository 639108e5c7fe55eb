#pragma once
// The recovery journal of one document: what was typed since the text was read, kept in
// the data folder so that a killed program loses at most the last moment of typing.
//
// A journal is a header naming the base of the text, followed by the edits in the order
// they happened, each "position, bytes removed, bytes inserted" in the editor's own
// bytes (UTF-8, LF breaks). Nothing is ever rewritten: a key costs a few bytes appended
// to a buffer that is written out on a short timer, so a 100 MB document costs no more
// per key than a small one. Recovery reads the base again and replays the edits.
//
// The base is one of
// - the file the text was read from, checked at recovery by size, modification time and
//   a digest of its first and last megabyte; replaying over it gives back its encoding
//   and the break of every line exactly as opening did;
// - the empty text, for a document that never came from a file;
// - a snapshot of the text (file "<journal>.base"), taken when the journal starts for a
//   text of up to kSnapshotLimit bytes, or for any text that no longer matches its file.
//   It lets the edits be restored as a new document when the file changed meanwhile.
//
// Beside each journal lies "<journal>.lock" naming the process that writes it (process
// id, host, a token of the window). A lock of a process that no longer runs on this host
// is stale: its journal is offered for recovery and may be taken over.
//
// Files: "<data folder>/recovery/", the folder 0700, every file 0600.

#include "base/safewrite.h"

#include <QByteArray>
#include <QDateTime>
#include <QFile>
#include <QString>
#include <QStringList>
#include <vector>

// What identifies a file's content on disk without reading it; `exists` is false for a
// missing path and for one that is no regular file.
struct FileStamp
{
    bool exists = false;
    qint64 size = 0;
    qint64 mtimeNs = 0;
    quint64 inode = 0;
    quint64 device = 0;

    static FileStamp of(const QString &path);
    bool operator==(const FileStamp &) const = default;
};

// A digest of the first and the last megabyte of a file and its size: cheap for any
// size, and with the stamp enough to tell the file that was read from another one.
QByteArray sampleDigest(const QString &path);

struct JournalEdit
{
    qint64 position = 0;
    qint64 removed = 0;
    QByteArray inserted;
    bool operator==(const JournalEdit &) const = default;
};

struct JournalHeader
{
    enum class Base
    {
        File,
        Empty,
        Snapshot
    };
    // The document's file; empty for a document without one.
    QString path;
    Base base = Base::Empty;
    // Of the file when the base is File (the digest empty otherwise).
    qint64 size = 0;
    qint64 mtimeNs = 0;
    QByteArray digest;
    // Whether "<journal>.base" holds a snapshot (always with the Snapshot base).
    bool snapshot = false;
    // The editor's format when the journal started: encoding and dominant break as
    // their enum numbers (editor/textcodec.h), used when the text comes from a snapshot.
    int encoding = 0;
    int lineBreak = 1;
};

struct JournalOwner
{
    qint64 pid = 0;
    QString host;
    QString token;
    bool operator==(const JournalOwner &) const = default;
};

class EditJournal
{
public:
    static constexpr qint64 kSnapshotLimit = 8 * 1024 * 1024;

    // "<dataFolder>recovery/"; `dataFolder` ends with "/".
    static QString folder(const QString &dataFolder);
    // Every journal file of the folder, oldest first.
    static QStringList journals(const QString &folder);

    // The owner of this window in this process: the token is unique per journal writer.
    static JournalOwner ownOwner(const QString &token);
    // Whether the owner is a live writer: a running process of this program's name on
    // this host (not a zombie), or in this process a writer that has not gone away. A
    // lock of another host counts as alive.
    static bool ownerAlive(const JournalOwner &owner);
    static bool readOwner(const QString &journalPath, JournalOwner &owner);

    EditJournal() = default;
    ~EditJournal();
    EditJournal(const EditJournal &) = delete;
    EditJournal &operator=(const EditJournal &) = delete;

    // Starts a new journal in `folder` (created 0700 when missing) for `header`, with
    // `snapshotBytes` as the base's snapshot when the header says so.
    FileResult start(const QString &folder, const JournalHeader &header, const QString &token,
                     QByteArrayView snapshotBytes = {});
    // Goes on writing an existing journal (after it was restored): takes its lock.
    FileResult resume(const QString &journalPath, const QString &token);

    bool active() const { return m_file.isOpen(); }
    QString path() const { return m_file.fileName(); }
    const JournalHeader &header() const { return m_header; }
    // Bytes appended and not yet written.
    qsizetype pending() const { return m_buffer.size(); }

    // Appends an edit to the buffer; flush() writes it.
    void append(qint64 position, qint64 removed, QByteArrayView inserted);
    // Writes the buffer and has the system put it on the disk.
    FileResult flush();
    // Closes the journal and removes its files.
    void discard();
    // Closes the journal and leaves its files for recovery (a window that goes away
    // without closing its document).
    void abandon();

    // Reading a journal for recovery.
    struct Contents
    {
        JournalHeader header;
        std::vector<JournalEdit> edits;
        QByteArray snapshot;
        // The time of the last write of the journal.
        QDateTime lastEdit;
        // Empty when the journal could be read; a torn last record is no error.
        QString error;
        // Where the last whole record ends: a journal that goes on is cut there.
        qint64 validEnd = 0;
    };
    static Contents read(const QString &journalPath);
    // Only the header and the time of the last write, without reading the edits.
    static bool readHeader(const QString &journalPath, JournalHeader &header, QDateTime &lastEdit);
    // Whether the file at `header.path` is still the one the journal's edits apply to.
    static bool baseFileUnchanged(const JournalHeader &header);
    // Removes a journal's files.
    static void remove(const QString &journalPath);
    // Moves a journal that cannot be read aside ("<journal>.broken") and returns the new
    // path, so it is not offered again and nothing is lost.
    static QString setAside(const QString &journalPath);

private:
    FileResult openFor(const QString &journalPath, const QString &token, bool create);
    void release();

    QFile m_file;
    QByteArray m_buffer;
    JournalHeader m_header;
    QString m_token;
};

// The text of a header as it is written; exposed for tests.
QByteArray journalHeaderBytes(const JournalHeader &header);
