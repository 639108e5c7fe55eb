#pragma once
// Line comments on and off: which edits turn a run of lines into comments or back.
//
// A marker with an end ("<!--" ... "-->") wraps each line; one without ("//", "#") only
// starts it. The lines are commented when any non-blank line among them is not; the
// marker then goes in at the smallest indentation of the non-blank lines, followed by
// one space (and preceded by one before an end marker). Otherwise every marker (with the
// space next to it) comes out again. Blank lines stay as they are.

#include <QList>
#include <QString>
#include <QStringList>

struct CommentMarker
{
    QString start; // empty: the scheme has no comments
    QString end;
};

// One edit inside a line: `length` characters at `column` (both 0-based, UTF-16) replaced
// by `text`. Edits of one line come in ascending column order and do not overlap.
struct LineEdit
{
    int line = 0; // index into the lines handed in
    int column = 0;
    int length = 0;
    QString text;
    bool operator==(const LineEdit &) const = default;
};

QList<LineEdit> toggleCommentEdits(const QStringList &lines, const CommentMarker &marker);

// The lines with `edits` applied (for tests and callers that hold the lines).
QStringList applyLineEdits(QStringList lines, const QList<LineEdit> &edits);
