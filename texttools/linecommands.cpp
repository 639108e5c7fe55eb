#include "texttools/linecommands.h"

#include "editor/synmemo.h"

LineCommands::LineCommands(TSynMemo &editor, std::function<CommentMarker()> marker, QObject *parent)
    : QObject(parent), m_editor(editor), m_marker(std::move(marker))
{
}

void LineCommands::ToggleComment()
{
    int first = 0;
    int last = 0;
    m_editor.SelectedLines(first, last);
    QStringList lines;
    for (int line = first; line <= last; ++line)
        lines << m_editor.Lines().Strings(line);
    const QList<LineEdit> edits =
        toggleCommentEdits(lines, m_marker ? m_marker() : CommentMarker{});
    if (edits.isEmpty())
        return;
    m_editor.beginUndoAction();
    // Last first: the columns of the earlier edits stay right.
    for (auto edit = edits.crbegin(); edit != edits.crend(); ++edit)
        m_editor.ReplaceInLine(first + edit->line, edit->column, edit->length, edit->text);
    m_editor.endUndoAction();
}

void LineCommands::Duplicate()
{
    m_editor.DuplicateSelection();
}

void LineCommands::MoveUp()
{
    m_editor.MoveSelectedLines(true);
}

void LineCommands::MoveDown()
{
    m_editor.MoveSelectedLines(false);
}

void LineCommands::DeleteLines()
{
    m_editor.DeleteSelectedLines();
}
