#pragma once
// The four most recently used documents and their file "files.txt": four names, then
// the four paths, one per line. The list fills from the bottom (entry 3 first); once
// full, a new file enters at the top and the bottom one drops out.

#include "base/textrules.h"

#include <QString>
#include <QStringList>
#include <array>

class RecentFiles
{
public:
    static constexpr int kCount = 4;
    struct Entry
    {
        QString name;
        QString path;
        bool inUse() const;
    };

    const Entry &entry(int i) const { return m_entries[i]; }
    bool anyInUse() const;

    // False when the path was listed already (compared ignoring the case of A to Z).
    bool add(const QString &path);
    void clear() { m_entries = {}; }

    // Lines 0-3 names, 4-7 paths; missing lines read as empty.
    void fromLines(const QStringList &lines);
    QStringList toLines() const;

private:
    std::array<Entry, kCount> m_entries;
};
