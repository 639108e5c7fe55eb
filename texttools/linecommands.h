#pragma once
// The line commands of the main editor: toggle line comment with the marker of the
// document's scheme, duplicate the line or selection, move the selected lines up or
// down, delete them. Each is one undo step; the lines not touched keep their breaks.

#include "texttools/linecomments.h"

#include <QObject>
#include <functional>

class TSynMemo;

class LineCommands : public QObject
{
    Q_OBJECT
public:
    // `marker` gives the comment marker of the document's scheme of the moment.
    LineCommands(TSynMemo &editor, std::function<CommentMarker()> marker,
                 QObject *parent = nullptr);

    // Nothing happens without a marker (no scheme).
    void ToggleComment();
    void Duplicate();
    void MoveUp();
    void MoveDown();
    void DeleteLines();

private:
    TSynMemo &m_editor;
    std::function<CommentMarker()> m_marker;
};
