#pragma once
// A list of text lines that reads and writes files the way the editor does: the file's
// encoding and line-break style are remembered and used again when writing, so a file
// read and written back unedited stays byte for byte the same.

#include "editor/textcodec.h"
#include "store/safewrite.h"

#include <QStringList>
#include <functional>

FileResult readFileBytes(const QString &path, QByteArray &bytes);

class LineList
{
public:
    int Count() const { return int(m_lines.size()); }
    QString Strings(int index) const { return m_lines.value(index); }
    void SetStrings(int index, const QString &line);
    void Add(const QString &line);
    void Clear();
    // Lines joined by CR LF, no break after the last.
    QString Text() const;
    void SetText(const QString &text);
    const QStringList &lines() const { return m_lines; }

    FileResult LoadFromFile(const QString &path);
    FileResult SaveToFile(const QString &path) const;

    TextFormat format() const { return m_format; }
    void setFormat(const TextFormat &format) { m_format = format; }

    // Called after every change, like the editor's change event.
    void setOnChange(std::function<void()> onChange) { m_onChange = std::move(onChange); }

private:
    void changed();

    QStringList m_lines;
    TextFormat m_format;
    std::function<void()> m_onChange;
};
