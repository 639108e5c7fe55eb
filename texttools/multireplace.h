#pragma once
// The multi-file search and replace: one file's text processed in one pass, one file read
// and (when it changed) written safely, and the backup that lets the last replace run be
// undone.

#include "base/safewrite.h"
#include "editor/textcodec.h"

#include <QList>
#include <QString>
#include <QStringList>
#include <QStringView>
#include <optional>
#include <vector>

struct MultiReplaceOptions
{
    QString search;
    QString replacement;
    bool matchCase = false;
    bool wholeWord = false;
    bool regex = false;     // `search` is a regular expression (see RegexSearch)
    bool all = false;       // every occurrence, not only the first of each file
    bool searchOnly = true; // count only, change nothing
};

struct FileTextResult
{
    int hits = 0;
    QString text; // the new text; only set in replace mode when there was a hit
    std::vector<qsizetype> replaced; // where each replaced occurrence began in the old text
};

// What the search-and-replace loop over one file's text gives: FindInFileText from
// position 1; each hit counted; in replace mode the occurrence replaced and the search
// continued directly after the inserted text, in search-only mode directly after the
// occurrence; only the first hit without `all`. Computed in one pass over `text`.
// With `regex`, the hits of RegexSearch on `text` (LF breaks), an invalid pattern
// finding nothing.
FileTextResult processFileText(QStringView text, const MultiReplaceOptions &options);

class RunBackup;

struct FileRunResult
{
    int hits = 0;
    bool changed = false; // the file was written
    FileResult result;    // a read or write failure ends the run at this file
    // Left as it was: its encoding (Windows-1252) cannot hold this character of the new text.
    std::optional<Unencodable> unencodable;
};

// Reads the file at `path` once, processes its text and, in replace mode when its bytes
// change, keeps the old bytes in `backup` (when given) and writes the new ones safely. A
// file without a hit, or whose bytes come out the same, is not written; neither is one
// whose encoding cannot hold the new text. Every byte outside the replaced text stays as
// it was, line breaks included; a line break of the replacement is the file's most
// frequent one.
FileRunResult processFile(const QString &path, const MultiReplaceOptions &options,
                          RunBackup *backup);

// What each file held before the last replace run, in a folder of its own, with a list
// of the files and a checksum of what the run wrote into each, so that undo can refuse a
// file changed since.
class RunBackup
{
public:
    explicit RunBackup(QString folder); // ends with "/"

    // Forgets the previous run's backup: the start of a new replace run.
    FileResult clear();
    // Keeps `oldBytes` of `path` before `newBytes` are written to it: the copy and its
    // entry in the list are on the disk when this succeeds; on a failure neither is, and
    // the file must not be written.
    FileResult keep(const QString &path, const QByteArray &oldBytes, const QByteArray &newBytes);
    // Takes back the last keep() after the write of its file failed.
    void discardLast();
    // Whether a run can be undone.
    bool isEmpty() const;

    struct UndoResult
    {
        QStringList restored;
        QStringList refused; // changed (or removed) since the run: left as they are
        QStringList failed;  // "path: error"
    };
    // Puts back every file of the last run that still holds what the run wrote. The
    // backup of a file that could not be written back stays, so undo can run again; the
    // rest is forgotten.
    UndoResult undo();

private:
    QString listPath() const;

    QString m_folder;
    int m_kept = 0;
    qint64 m_listSizeBefore = 0; // the list's length before the last keep()
};
