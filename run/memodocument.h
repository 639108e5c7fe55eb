#pragma once
// The window's document as a macro sees it: the editor's text and selection, and the
// window's file, scheme and menu commands through the functions it hands in. Runs on
// the window's thread.

#include "run/macrodocument.h"

#include <functional>

class TSynMemo;

class MemoDocument : public quillora::MacroDocument
{
public:
    struct Host
    {
        TSynMemo *editor = nullptr;
        std::function<QString()> fileName;
        std::function<QString()> scheme;
        std::function<bool(const QString &)> setScheme;
        // Each returns what went wrong, empty on success.
        std::function<QString()> newDocument;
        std::function<QString(const QString &)> open;
        std::function<QString()> save;
        std::function<QString(const QString &)> saveAs;
        std::function<QString(const QString &)> runCommand;
        std::function<void(const QString &)> statusText;
    };

    explicit MemoDocument(Host host) : m_host(std::move(host)) {}

    int lineCount() const override;
    QStringList lines(int first, int count) const override;
    void setLines(const std::map<int, QString> &lines) override;
    QString text() const override;
    void replaceRange(int start, int length, const QString &text) override;
    int lineStart(int line) const override;
    QString selText() const override;
    int selStart() const override;
    int selLength() const override;
    void select(int start, int length) override;
    int caretLine() const override;
    int caretColumn() const override;
    QString fileName() const override { return m_host.fileName(); }
    QString scheme() const override { return m_host.scheme(); }
    bool setScheme(const QString &name) override { return m_host.setScheme(name); }
    bool modified() const override;
    QString newDocument() override { return m_host.newDocument(); }
    QString open(const QString &path) override { return m_host.open(path); }
    QString save() override { return m_host.save(); }
    QString saveAs(const QString &path) override { return m_host.saveAs(path); }
    QString runCommand(const QString &name) override { return m_host.runCommand(name); }
    void statusText(const QString &text) override { m_host.statusText(text); }
    QString key(const QString &name) override;

private:
    Host m_host;
};
