#include "texttools/linecomments.h"

#include <algorithm>
#include <climits>

namespace {

int indentation(const QString &line)
{
    int at = 0;
    while (at < line.size() && (line[at] == u' ' || line[at] == u'\t'))
        ++at;
    return at;
}

bool isBlankLine(const QString &line)
{
    return indentation(line) == line.size();
}

// The end of the line without trailing blanks.
int contentEnd(const QString &line)
{
    int end = int(line.size());
    while (end > 0 && (line[end - 1] == u' ' || line[end - 1] == u'\t'))
        --end;
    return end;
}

bool isCommented(const QString &line, const CommentMarker &marker)
{
    const int from = indentation(line);
    if (!QStringView(line).sliced(from).startsWith(marker.start))
        return false;
    if (marker.end.isEmpty())
        return true;
    const int end = contentEnd(line);
    return end - from >= marker.start.size() + marker.end.size() &&
           QStringView(line).first(end).endsWith(marker.end);
}

} // namespace

QList<LineEdit> toggleCommentEdits(const QStringList &lines, const CommentMarker &marker)
{
    QList<LineEdit> edits;
    if (marker.start.isEmpty())
        return edits;
    bool allCommented = true;
    bool anyContent = false;
    int column = INT_MAX;
    for (const QString &line : lines) {
        if (isBlankLine(line))
            continue;
        anyContent = true;
        allCommented = allCommented && isCommented(line, marker);
        column = std::min(column, indentation(line));
    }
    if (!anyContent)
        return edits;
    for (int i = 0; i < lines.size(); ++i) {
        const QString &line = lines[i];
        if (isBlankLine(line))
            continue;
        if (!allCommented) {
            edits.append({i, column, 0, marker.start + u' '});
            if (!marker.end.isEmpty())
                edits.append({i, contentEnd(line), 0, u' ' + marker.end});
            continue;
        }
        const int from = indentation(line);
        int length = int(marker.start.size());
        if (from + length < line.size() && line[from + length] == u' ')
            ++length;
        edits.append({i, from, length, QString()});
        if (!marker.end.isEmpty()) {
            const int end = contentEnd(line);
            int start = end - int(marker.end.size());
            if (start - 1 >= from + length && line[start - 1] == u' ')
                --start;
            edits.append({i, start, end - start, QString()});
        }
    }
    return edits;
}

QStringList applyLineEdits(QStringList lines, const QList<LineEdit> &edits)
{
    // Last first, so the columns of the earlier edits stay right.
    for (auto edit = edits.crbegin(); edit != edits.crend(); ++edit)
        lines[edit->line].replace(edit->column, edit->length, edit->text);
    return lines;
}
