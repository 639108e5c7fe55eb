#pragma once
// A list of text lines that reads and writes files the way the editor does: the file's
// encoding and the break of every line are remembered and used again when writing, so a
// file read and written back unedited stays byte for byte the same.

#include "base/safewrite.h"
#include "editor/textcodec.h"

#include <QFile>
#include <QStringList>
#include <functional>

FileResult readFileBytes(const QString &path, QByteArray &bytes);

// Reads an open file from where it stands, piece by piece. `take` gets what it left
// untaken the last time followed by the next bytes, and `last` on its final call (with
// the rest, maybe nothing); it returns how many bytes it took, or -1 to stop early.
FileResult readFileInPieces(QFile &file,
                            const std::function<qsizetype(QByteArrayView, bool)> &take);

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
    // Every line then ends with the format's break.
    void setFormat(const TextFormat &format);
    const LineBreaks &lineBreaks() const { return m_breaks; }

    // Called after every change, like the editor's change event.
    void setOnChange(std::function<void()> onChange) { m_onChange = std::move(onChange); }

private:
    void changed();

    QStringList m_lines;
    TextFormat m_format;
    LineBreaks m_breaks;
    std::function<void()> m_onChange;
};
