#pragma once
// The macros menu ("Makros" / "Macros"): the .vbs and .js files of the macros folder in
// the data folder, each run on the current document as one undo step (the first ten on
// Ctrl+Alt+1 ... Ctrl+Alt+0), "edit macro" and "open the macro folder". Macros run only
// when chosen. Owned by the main window, which hands in what the menu needs of it.

#include "run/macrorecorder.h"
#include "run/memodocument.h"

#include <QObject>
#include <QString>
#include <QStringList>

#include <functional>
#include <memory>

class Prompts;
class QAction;
class QMenu;
class QWidget;
class ScriptRunner;
class Shell;

class MacroCommands : public QObject
{
    Q_OBJECT
public:
    struct Host
    {
        QWidget *window = nullptr;
        Prompts *prompts = nullptr;
        Shell *shell = nullptr;
        ScriptRunner *runner = nullptr;
        std::function<QString()> dataPath; // ending with "/"
        std::function<int()> language;
        // The save question; false when the command must stop.
        std::function<bool()> askSaveChanges;
        std::function<bool(const QString &)> openFile;
        std::function<void()> afterRun; // status bar and the like
        // The menu commands a recording notes, by the name RunCommand takes.
        std::function<QList<QPair<QString, QAction *>>()> commands;
        MemoDocument::Host document;
    };

    MacroCommands(Host host, QMenu *menu, QObject *parent = nullptr);
    ~MacroCommands() override;

    static QString folderName() { return QStringLiteral("macros"); }
    // The macro files of `folder`, .vbs and .js, in name order (letter case ignored).
    static QStringList macroFiles(const QString &folder);
    QString folder() const;
    // The shipped example macros, beside the program ("macros", the build tree) or in the
    // installed share folder; empty when there are none.
    static QString starterFolder(const QString &programFolder);
    // A data folder without a macros folder gets one with the example macros; a folder
    // the user has is left as it is, so a macro deleted there stays deleted.
    void installStarterMacros(const QString &programFolder);

    // The menu's title in the UI language, then refresh().
    void applyLanguage();
    // The list of macros read again, with the captions of the UI language.
    void refresh();
    // Runs the macro file on the current document; false when it failed.
    bool runMacro(const QString &path);
    void editMacro(const QString &path);
    void openMacroFolder();
    // "Record macro" / "Stop recording": collects typed text, keys and menu commands;
    // stopping asks for a name (ending .js for JScript, else VBScript) and saves the
    // macro into the macros folder.
    void toggleRecording();
    bool isRecording() const { return m_recording; }
    const quillora::MacroRecorder &recorder() const { return m_recorder; }

    QMenu *menu() const { return m_menu; }
    // The window's document as macros and scripts see it.
    MemoDocument *document() const { return m_document.get(); }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void stopRecording();
    QAction *addItem(QMenu *menu, const QString &caption, const std::function<void()> &run);

    Host m_host;
    QMenu *m_menu;
    std::unique_ptr<MemoDocument> m_document;
    quillora::MacroRecorder m_recorder;
    bool m_recording = false;
    bool m_commandsWatched = false;
};
