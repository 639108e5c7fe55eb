#pragma once
// The Execute-code command: the document runs as a VBScript or JScript script in one of
// three hosts (the system's program for the file, the built-in engines, a web browser),
// with the value, result and error dialogs. Owned by the main window, which hands in what
// the runner needs of it.

#include "run/consolescript.h"
#include "run/scriptentry.h"

#include <QString>

#include <functional>
#include <memory>
#include <optional>

class LineList;
class Prompts;
class QWidget;
class Shell;
class TFormErInfo;
class TFormHost;
class TFormResult;
class TFormVars;
class TSynMemo;

namespace quillora {
class EditorObject;
class EngineThread;
class MacroDocument;
class ScriptEngine;
class ScriptHost;
} // namespace quillora

class ScriptRunner
{
public:
    struct Host
    {
        QWidget *window = nullptr; // owner of the dialogs
        Prompts *prompts = nullptr;
        Shell *shell = nullptr;
        TSynMemo *editor = nullptr;     // SynMemo1
        LineList *scratch = nullptr;    // Memo1
        const QString *browserPath = nullptr; // the BrowserPath setting
        std::function<QString()> fileName;
        std::function<QString()> dataPath; // ending with "/"
        std::function<int()> language;
        std::function<QString()> saveFirstMessage;
        std::function<QString()> untitledName; // the name a new document carries
        std::function<bool()> vbscriptScheme;  // the editor shows the VBScript scheme
        std::function<bool()> jscriptScheme;   // ... the JavaScript scheme
        std::function<void()> openWithShell;
        // Saves the document and runs its file with the console host, asking `askStop`
        // while it runs; nothing when the save was cancelled or failed.
        std::function<std::optional<quillora::ConsoleScriptRun>(
            const std::function<bool()> &askStop)>
            runConsoleScript;
        std::function<QString()> defaultBrowser;
    };

    explicit ScriptRunner(Host host);
    ~ScriptRunner();

    bool IsVBScript = false;
    bool IsFunction = false;
    QString ParamList;
    quillora::ParamNameSlots ParamNames;
    // How long a script runs before the user is asked whether to stop it, in ms.
    int TimeOut = 10000;

    TFormHost *FormHost = nullptr;
    TFormVars *FormVars = nullptr;
    TFormResult *FormResult = nullptr;
    TFormErInfo *FormErInfo = nullptr;

    void ToolButton6Click();
    QString FindScriptEntry();
    void AskParameterValues(const QString &paramList);
    void RunWithParameters(const QString &name);
    void RunWithoutParameters(const QString &name);
    // The Windows Script Host's part: the saved file runs with quillora-script, its
    // output is shown in the result window.
    void RunWithConsoleHost();
    void RunInBrowser(const QString &typeWord, const QString &name, bool onLoad,
                      const QString &callArguments);
    void ScriptControl1Error();

    // Runs a macro, its top-level code, with `Editor` on `document`, as one undo step of
    // the editor. Errors show the error dialog (the place is in the macro, so nothing is
    // selected in the document). False when the macro failed.
    bool RunMacro(const QString &code, bool vbscript, quillora::MacroDocument &document);
    // The document `Editor` works on while the built-in engine runs the document's script.
    void setEditorDocument(quillora::MacroDocument *document) { m_editorDocument = document; }

    // The engine of the language set last.
    quillora::ScriptEngine *ScriptControl1() const { return m_engine; }

private:
    // Common part of the engine runs: language, echo rewrite, AddCode. False when the run
    // must end (the error has been shown).
    bool startEngine();
    // Runs an engine call on the engine thread, with the time-out question; shows the error.
    bool engineCall(const std::function<bool(quillora::ScriptEngine &)> &job);
    void resetEngine();
    bool askStop();
    void showResult(const QString &text);

    Host m_host;
    std::unique_ptr<quillora::ScriptHost> m_promptHost;
    std::unique_ptr<quillora::EngineThread> m_thread;
    std::unique_ptr<quillora::ScriptEngine> m_vbscript;
    std::unique_ptr<quillora::ScriptEngine> m_jscript;
    quillora::ScriptEngine *m_engine = nullptr;
    // Editor of macros; lives on the engine thread, works on a document only during a run.
    std::unique_ptr<quillora::EditorObject> m_editor;
    bool m_runningMacro = false;
    quillora::MacroDocument *m_editorDocument = nullptr;
    // Points Editor at `document` (null: at nothing) for the next engine calls.
    void attachEditor(quillora::MacroDocument *document);
};
