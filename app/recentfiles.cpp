#include "app/recentfiles.h"

bool RecentFiles::Entry::inUse() const
{
    return !isBlank(name);
}

bool RecentFiles::anyInUse() const
{
    for (const Entry &e : m_entries) {
        if (e.inUse())
            return true;
    }
    return false;
}

bool RecentFiles::add(const QString &path)
{
    const QString key = asciiLower(path);
    for (const Entry &e : m_entries) {
        if (asciiLower(e.path) == key)
            return false;
    }
    const Entry added{fileNamePart(path), path};
    for (int i = kCount - 1; i >= 0; --i) {
        if (!m_entries[i].inUse()) {
            m_entries[i] = added;
            return true;
        }
    }
    for (int i = kCount - 1; i > 0; --i)
        m_entries[i] = m_entries[i - 1];
    m_entries[0] = added;
    return true;
}

void RecentFiles::fromLines(const QStringList &lines)
{
    for (int i = 0; i < kCount; ++i)
        m_entries[i] = {lines.value(i), lines.value(kCount + i)};
}

QStringList RecentFiles::toLines() const
{
    QStringList lines;
    for (const Entry &e : m_entries)
        lines << (e.inUse() ? e.name : QString());
    for (const Entry &e : m_entries)
        lines << (e.inUse() ? e.path : QString());
    return lines;
}
