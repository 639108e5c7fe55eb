#include "editor/linelist.h"

#include <QFile>
#include <cstring>

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

FileResult readFileInPieces(QFile &file, const std::function<qsizetype(QByteArrayView, bool)> &take)
{
    QByteArray buffer(4 << 20, Qt::Uninitialized);
    qsizetype have = 0;
    for (;;) {
        const qint64 n = file.read(buffer.data() + have, buffer.size() - have);
        if (n < 0)
            return FileResult::failure(file.errorString());
        have += n;
        const bool last = n == 0;
        const qsizetype taken = take(QByteArrayView(buffer.constData(), have), last);
        if (taken < 0 || last)
            return {};
        std::memmove(buffer.data(), buffer.data() + taken, have - taken);
        have -= taken;
        if (have == buffer.size())
            buffer.resize(buffer.size() * 2);
    }
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
    m_breaks = LineBreaks(m_format.lineBreak);
    changed();
}

QString LineList::Text() const
{
    return m_lines.join(QStringLiteral("\r\n"));
}

void LineList::SetText(const QString &text)
{
    m_lines = splitLines(text);
    m_breaks = LineBreaks(m_format.lineBreak);
    changed();
}

FileResult LineList::LoadFromFile(const QString &path)
{
    QByteArray bytes;
    if (FileResult result = readFileBytes(path, bytes); !result)
        return result;
    DecodedText decoded = decodeText(bytes);
    m_format = decoded.format;
    m_breaks = std::move(decoded.breaks);
    m_lines = splitLines(decoded.text);
    changed();
    return {};
}

FileResult LineList::SaveToFile(const QString &path) const
{
    const QByteArray bytes = encodeText(m_lines.join(u'\n'), m_format, m_breaks);
    return writeFileSafely(path, bytes);
}

void LineList::setFormat(const TextFormat &format)
{
    m_format = format;
    m_breaks = LineBreaks(format.lineBreak);
}

void LineList::changed()
{
    if (m_onChange)
        m_onChange();
}
