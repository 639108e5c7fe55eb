#pragma once
// A document without a window, for macros run from the console: a file read the way the
// editor reads it (its encoding, the break of every line) and written back the same way,
// with the selection and caret a macro moves. New, Open and SaveAs are refused (the macro
// works on the file it is given); Save succeeds and leaves the writing to the runner. Edits keep
// the line breaks as the editor's do: joined lines keep the break of the last of them, new lines
// get the most frequent.

#include "base/safewrite.h"
#include "editor/textcodec.h"
#include "run/macrodocument.h"

#include <vector>

namespace quillora {

class TextDocument : public MacroDocument
{
public:
    TextDocument();

    FileResult load(const QString &path);
    // The document in its file's form.
    QByteArray bytes() const;
    void setFileName(const QString &path) { m_fileName = path; }
    void setPlainText(const QString &text); // a new document's text, LF breaks

    int lineCount() const override { return int(m_lines.size()); }
    QStringList lines(int first, int count) const override;
    void setLines(const std::map<int, QString> &lines) override;
    QString text() const override;
    void replaceRange(int start, int length, const QString &text) override;
    int lineStart(int line) const override;
    QString selText() const override;

    int selStart() const override { return std::min(m_anchor, m_caret); }
    int selLength() const override { return std::abs(m_caret - m_anchor); }
    void select(int start, int length) override;
    int caretLine() const override;
    int caretColumn() const override;

    QString fileName() const override { return m_fileName; }
    QString scheme() const override { return m_scheme; }
    bool setScheme(const QString &name) override;
    bool modified() const override { return m_modified; }
    QString newDocument() override;
    QString open(const QString &path) override;
    QString save() override;
    QString saveAs(const QString &path) override;
    QString runCommand(const QString &name) override;
    void statusText(const QString &text) override;
    QString key(const QString &name) override;

    const LineBreaks &lineBreaks() const { return m_breaks; }

private:
    void changed();
    // Line of an index and the index clamped to the text.
    int lineOf(int index) const;
    void ensureStarts() const;
    void convertSelection(QString (*convert)(QString));

    QStringList m_lines;
    TextFormat m_format;
    LineBreaks m_breaks;
    QString m_fileName;
    QString m_scheme;
    bool m_modified = false;
    int m_anchor = 0;
    int m_caret = 0;
    mutable std::vector<int> m_starts; // index of each line's start; empty: to be built
};

} // namespace quillora
