#include "editor/linelist.h"

#include <QFile>

FileResult readFileBytes(const QString &path, QByteArray &bytes)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return FileResult::failure(file.errorString());
    bytes = file.readAll();
    if (file.error() != QFileDevice::NoError)
        return FileResult::failure(file.errorString());
    return {};
}

void LineList::SetStrings(int index, const QString &line)
{
    if (index < 0 || index >= m_lines.size())
        return;
    m_lines[index] = line;
    changed();
}

void LineList::Add(const QString &line)
{
    m_lines.append(line);
    changed();
}

void LineList::Clear()
{
    m_lines.clear();
    changed();
}

QString LineList::Text() const
{
    return m_lines.join(QStringLiteral("\r\n"));
}

void LineList::SetText(const QString &text)
{
    m_lines = splitLines(text);
    changed();
}

FileResult LineList::LoadFromFile(const QString &path)
{
    QByteArray bytes;
    if (FileResult result = readFileBytes(path, bytes); !result)
        return result;
    DecodedText decoded = decodeText(bytes);
    m_format = decoded.format;
    m_lines = splitLines(decoded.text);
    changed();
    return {};
}

FileResult LineList::SaveToFile(const QString &path) const
{
    const QByteArray bytes = encodeText(m_lines.join(u'\n'), m_format);
    return writeFileSafely(path, bytes);
}

void LineList::changed()
{
    if (m_onChange)
        m_onChange();
}
