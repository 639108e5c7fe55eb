#pragma once
// Where the caret, the view and the bookmarks stood in the files closed last, so a file
// reopened from the recent list or the command line comes back as it was left.
//
// File "positions.txt" in the data folder, plain UTF-8 with CR LF, newest first, at most
// kLimit files: one line each, "line<TAB>column<TAB>first visible line<TAB>bookmarks<TAB>
// path", lines and columns from 1, bookmarks "number:line:column" joined by ",". The
// path comes last so that it may hold any character but a line break. Lines that do not
// read are skipped, so a damaged file costs only its damaged lines.

#include "base/safewrite.h"

#include <QList>
#include <QString>
#include <optional>

class ViewMemory
{
public:
    static constexpr int kLimit = 100;

    struct Bookmark
    {
        int number = 0;
        int line = 1;
        int column = 1;
        bool operator==(const Bookmark &) const = default;
    };
    struct View
    {
        QString path;
        int line = 1;
        int column = 1;
        int firstVisibleLine = 1;
        QList<Bookmark> bookmarks;
        bool operator==(const View &) const = default;
    };

    // `dataFolder` ends with "/".
    static QString filePath(const QString &dataFolder);

    // A missing file is an empty memory.
    FileResult load(const QString &path);
    SaveResult save(const QString &path) const;

    // Puts `view` first, replacing an older entry of its path; the oldest past kLimit go.
    void remember(const View &view);
    std::optional<View> find(const QString &path) const;
    const QList<View> &views() const { return m_views; }

private:
    QList<View> m_views;
};
