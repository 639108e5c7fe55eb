#include "store/viewmemory.h"

#include <QFile>
#include <QStringList>

namespace {

int positive(const QString &text, bool &ok)
{
    bool read = false;
    const int value = text.toInt(&read);
    ok = ok && read && value >= 1;
    return value;
}

std::optional<ViewMemory::View> parseLine(const QString &line)
{
    const QStringList fields = line.split(u'\t');
    if (fields.size() < 5)
        return std::nullopt;
    ViewMemory::View view;
    bool ok = true;
    view.line = positive(fields[0], ok);
    view.column = positive(fields[1], ok);
    view.firstVisibleLine = positive(fields[2], ok);
    for (const QString &mark : fields[3].split(u',', Qt::SkipEmptyParts)) {
        const QStringList parts = mark.split(u':');
        if (parts.size() != 3)
            return std::nullopt;
        ViewMemory::Bookmark bookmark;
        bookmark.number = parts[0].toInt(&ok);
        bookmark.line = positive(parts[1], ok);
        bookmark.column = positive(parts[2], ok);
        if (!ok || bookmark.number < 0 || bookmark.number > 9)
            return std::nullopt;
        view.bookmarks << bookmark;
    }
    view.path = fields.mid(4).join(u'\t');
    if (!ok || view.path.isEmpty())
        return std::nullopt;
    return view;
}

} // namespace

QString ViewMemory::filePath(const QString &dataFolder)
{
    return dataFolder + QStringLiteral("positions.txt");
}

FileResult ViewMemory::load(const QString &path)
{
    m_views.clear();
    QFile file(path);
    if (!file.exists())
        return {};
    if (!file.open(QIODevice::ReadOnly))
        return FileResult::failure(file.errorString());
    QString text = QString::fromUtf8(file.readAll());
    if (text.startsWith(QChar(0xFEFF)))
        text.remove(0, 1);
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    for (const QString &line : text.split(u'\n', Qt::SkipEmptyParts)) {
        if (m_views.size() >= kLimit)
            break;
        if (const auto view = parseLine(line); view && !find(view->path))
            m_views << *view;
    }
    return {};
}

SaveResult ViewMemory::save(const QString &path) const
{
    QStringList lines;
    for (const View &view : m_views) {
        QStringList marks;
        for (const Bookmark &mark : view.bookmarks)
            marks << QStringLiteral("%1:%2:%3").arg(mark.number).arg(mark.line).arg(mark.column);
        lines << QStringLiteral("%1\t%2\t%3\t%4\t%5")
                     .arg(view.line)
                     .arg(view.column)
                     .arg(view.firstVisibleLine)
                     .arg(marks.join(u','), view.path);
    }
    return writeFileSafely(path, lines.join(QStringLiteral("\r\n")).toUtf8(), kOwnerOnlyFile);
}

void ViewMemory::remember(const View &view)
{
    if (view.path.isEmpty() || view.path.contains(u'\n') || view.path.contains(u'\r'))
        return;
    m_views.removeIf([&](const View &old) { return old.path == view.path; });
    m_views.prepend(view);
    while (m_views.size() > kLimit)
        m_views.removeLast();
}

std::optional<ViewMemory::View> ViewMemory::find(const QString &path) const
{
    for (const View &view : m_views) {
        if (view.path == path)
            return view;
    }
    return std::nullopt;
}
