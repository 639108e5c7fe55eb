#pragma once
// The document's byte form as the user sees and chooses it: encoding and line breaks in
// the status bar, the line breaks of every line set to CR LF, LF or CR (written at the
// next save; the change counts as an edit), the file read again in another encoding, and
// the document saved in another encoding (kept for later saves).

#include "editor/textcodec.h"

#include <QObject>

#include <functional>
#include <optional>

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
        // The file the document was read from; empty for a new document.
        std::function<QString()> fileName;
        // Asks about unsaved changes; false keeps the document as it is.
        std::function<bool()> mayReplace;
        // Reads the file into the editor in that encoding; false when it failed (the
        // host has told the user).
        std::function<bool(TextEncoding)> reopen;
        // Saves the document in the editor's encoding (see TMainForm::encodingForSave);
        // false when it was not saved.
        std::function<bool()> save;
        // Tells the user something (a warning in the UI language).
        std::function<void(const QString &)> warn;
        std::function<int()> language;
    };

    // The menu item names of the encoding choices: "ReopenEncoding3", "SaveEncoding3".
    static QString itemName(bool save, TextEncoding encoding);

    DocumentFormat(TSynMemo &editor, Host host, QObject *parent = nullptr);

    // "UTF-8 · CR LF"; "mixed" line breaks ("gemischt" in German) when lines differ.
    static QString statusText(const TextFormat &format, bool uniformBreaks, int language);
    // The warning after a reopen that met bytes that are no characters of `encoding`.
    static QString invalidBytesText(TextEncoding encoding, int language);
    QString statusText(int language) const;

    void SetLineBreak(LineBreak lineBreak);
    // Reads the file again in `encoding`, after asking about unsaved changes.
    void ReopenWithEncoding(TextEncoding encoding);
    // Saves the document in `encoding`; it keeps that encoding once saved. A character
    // the encoding cannot hold is asked about first.
    void SaveWithEncoding(TextEncoding encoding);
    // The ticks of the break and encoding items after a load or a new document. It runs
    // on every key and caret move, so it does its work only when something it shows
    // changed.
    void update();
    // The same, also when nothing changed (after a language switch).
    void refresh();

private:
    // What the menus and the status bar show, to tell when it changes.
    struct Shown
    {
        bool uniform = false;
        LineBreak lineBreak = LineBreak::CrLf;
        TextEncoding encoding = TextEncoding::Utf8;
        bool hasFile = false;
        bool operator==(const Shown &) const = default;
    };

    TSynMemo &m_editor;
    Host m_host;
    std::optional<Shown> m_shown;
};
