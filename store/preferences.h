#pragma once
// The program's settings past the 16-line settings file: view switches, crash recovery
// and whatever later features need. They live in a file of their own, "preferences.txt"
// in the data folder, so the settings file stays exactly as other installations read it.
//
// The file is plain UTF-8, one "key=value" line each, CR LF between lines. Keys this
// version does not know are kept as they were when the file is written back, so an older
// and a newer program can share one data folder. A missing file means every default.

#include "base/safewrite.h"

#include <QList>
#include <QPair>
#include <QString>

inline constexpr char16_t kPreferencesFileName[] = u"preferences.txt";

class Preferences
{
public:
    // `dataFolder` ends with "/".
    static QString filePath(const QString &dataFolder);

    // Reads the file; a missing file leaves every value at its default and succeeds.
    // Lines without "=" are ignored; the last of two lines with one key wins.
    FileResult load(const QString &path);
    // Writes every value through the safe writer (readable by the owner only).
    SaveResult save(const QString &path) const;

    QString value(const QString &key, const QString &fallback = {}) const;
    bool boolValue(const QString &key, bool fallback) const;
    int intValue(const QString &key, int fallback) const;
    void setValue(const QString &key, const QString &value);
    void setBoolValue(const QString &key, bool value);
    void setIntValue(const QString &key, int value);

    bool operator==(const Preferences &other) const = default;

private:
    // In file order, so a rewrite keeps the lines where the user put them.
    QList<QPair<QString, QString>> m_values;
};
