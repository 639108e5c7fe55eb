#include "store/preferences.h"

#include <QFile>

QString Preferences::filePath(const QString &dataFolder)
{
    return dataFolder + QString::fromUtf16(kPreferencesFileName);
}

FileResult Preferences::load(const QString &path)
{
    m_values.clear();
    QFile file(path);
    if (!file.exists())
        return {};
    if (!file.open(QIODevice::ReadOnly))
        return FileResult::failure(file.errorString());
    QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError)
        return FileResult::failure(file.errorString());
    if (bytes.startsWith("\xEF\xBB\xBF"))
        bytes.remove(0, 3);
    const QString text = QString::fromUtf8(bytes);
    for (QStringView line : QStringView(text).split(u'\n')) {
        if (line.endsWith(u'\r'))
            line.chop(1);
        const qsizetype equals = line.indexOf(u'=');
        if (equals <= 0)
            continue;
        setValue(line.left(equals).trimmed().toString(), line.mid(equals + 1).toString());
    }
    return {};
}

SaveResult Preferences::save(const QString &path) const
{
    QByteArray bytes;
    for (const auto &[key, value] : m_values) {
        bytes += key.toUtf8() + '=' + value.toUtf8() + "\r\n";
    }
    return writeFileSafely(path, bytes, kOwnerOnlyFile);
}

QString Preferences::value(const QString &key, const QString &fallback) const
{
    for (const auto &[k, v] : m_values) {
        if (k == key)
            return v;
    }
    return fallback;
}

bool Preferences::boolValue(const QString &key, bool fallback) const
{
    const QString text = value(key).trimmed();
    if (text == u"1" || text.compare(u"true", Qt::CaseInsensitive) == 0)
        return true;
    if (text == u"0" || text.compare(u"false", Qt::CaseInsensitive) == 0)
        return false;
    return fallback;
}

int Preferences::intValue(const QString &key, int fallback) const
{
    bool ok = false;
    const int number = value(key).trimmed().toInt(&ok);
    return ok ? number : fallback;
}

void Preferences::setValue(const QString &key, const QString &text)
{
    // A value is one line in the file: a break inside would split it into a second key.
    QString value = text;
    value.replace(u'\r', u' ').replace(u'\n', u' ');
    for (auto &[k, v] : m_values) {
        if (k == key) {
            v = value;
            return;
        }
    }
    m_values.append({key, value});
}

void Preferences::setBoolValue(const QString &key, bool value)
{
    setValue(key, value ? QStringLiteral("1") : QStringLiteral("0"));
}

void Preferences::setIntValue(const QString &key, int value)
{
    setValue(key, QString::number(value));
}
