#pragma once
// The document's byte form as the user sees and chooses it: encoding and line breaks in
// the status bar, and the line breaks of every line set to CR LF, LF or CR (written at
// the next save; the change counts as an edit).

#include "editor/textcodec.h"

#include <QObject>
#include <functional>

class QAction;
class TSynMemo;

class DocumentFormat : public QObject
{
    Q_OBJECT
public:
    struct Host
    {
        // The menu item of a command name (the three break items get their tick here).
        std::function<QAction *(const QString &)> action;
        // The format changed: the status bar shows statusText() again.
        std::function<void()> changed;
    };

    DocumentFormat(TSynMemo &editor, Host host, QObject *parent = nullptr);

    // "UTF-8 · CR LF"; "mixed" line breaks ("gemischt" in German) when lines differ.
    static QString statusText(const TextFormat &format, bool uniformBreaks, int language);
    QString statusText(int language) const;

    void SetLineBreak(LineBreak lineBreak);
    // The ticks of the break items after a load or a new document.
    void update();

private:
    TSynMemo &m_editor;
    Host m_host;
};
