#include "run/scriptrunner.h"

#include "base/prompts.h"
#include "base/shell.h"
#include "base/textrules.h"
#include "desktop/launchers.h"
#include "editor/synmemo.h"
#include "lang/messages.h"
#include "run/editorobject.h"
#include "run/enginethread.h"
#include "run/jscript/jscriptengine.h"
#include "run/scriptforms.h"
#include "run/vbscript/vbscriptengine.h"

#include <QLineEdit>
#include <QPlainTextEdit>

using namespace quillora;

namespace {

const QString kCaption = QStringLiteral("Script Host");

// MsgBox and InputBox of a script, as the program's own dialogs.
class PromptScriptHost : public ScriptHost
{
public:
    explicit PromptScriptHost(Prompts &prompts) : m_prompts(prompts) {}

    int messageBox(const QString &prompt, int buttons, const QString &title) override
    {
        using P = Prompts;
        P::Icon icon = P::Icon::Information;
        switch (buttons & 0x70) {
        case 16:
            icon = P::Icon::Error;
            break;
        case 32:
            icon = P::Icon::Question;
            break;
        case 48:
            icon = P::Icon::Warning;
            break;
        default:
            break;
        }
        switch (buttons & 7) {
        case 1: // OK, Cancel
        case 5: // Retry, Cancel
            return m_prompts.question(icon, title, prompt, P::Buttons::OkCancel) == P::Answer::Ok
                       ? ((buttons & 7) == 5 ? 4 : 1)
                       : 2;
        case 2: // Abort, Retry, Ignore
        case 3: // Yes, No, Cancel
            switch (m_prompts.question(icon, title, prompt, P::Buttons::YesNoCancel)) {
            case P::Answer::Yes:
                return (buttons & 7) == 2 ? 3 : 6;
            case P::Answer::No:
                return (buttons & 7) == 2 ? 4 : 7;
            default:
                return (buttons & 7) == 2 ? 5 : 2;
            }
        case 4: // Yes, No
            return m_prompts.question(icon, title, prompt, P::Buttons::YesNo) == P::Answer::Yes ? 6
                                                                                                : 7;
        default:
            m_prompts.message(icon, title, prompt);
            return 1;
        }
    }
    QString inputBox(const QString &prompt, const QString &title, const QString &defaultText,
                     bool *cancelled) override
    {
        const std::optional<QString> text = m_prompts.inputText(title, prompt, defaultText);
        *cancelled = !text.has_value();
        return text.value_or(QString());
    }

private:
    Prompts &m_prompts;
};

} // namespace

ScriptRunner::ScriptRunner(Host host)
    : m_host(std::move(host)), m_promptHost(std::make_unique<PromptScriptHost>(*m_host.prompts)),
      m_thread(std::make_unique<EngineThread>())
{
    FormHost = new TFormHost(m_host.window);
    FormVars = new TFormVars(m_host.window);
    FormResult = new TFormResult(m_host.window);
    FormErInfo = new TFormErInfo(m_host.window);
    m_thread->setTarget(m_promptHost.get());
    // the engines live on their thread from the start: QJSEngine belongs to the thread that
    // made it
    m_thread->exec([this] {
        m_vbscript = std::make_unique<VBScriptEngine>();
        m_jscript = std::make_unique<JScriptEngine>();
        m_vbscript->setHost(m_thread->host());
        m_jscript->setHost(m_thread->host());
        m_editor = std::make_unique<EditorObject>();
        m_vbscript->addObject(QStringLiteral("Editor"), m_editor.get());
        m_jscript->addObject(QStringLiteral("Editor"), m_editor.get());
    });
}

ScriptRunner::~ScriptRunner()
{
    m_thread->exec([this] {
        m_vbscript.reset();
        m_jscript.reset();
        m_editor.reset();
    });
}

void ScriptRunner::ToolButton6Click()
{
    IsVBScript = false;
    const QString fileName = m_host.fileName();
    const QString lowerName = asciiLower(fileName);
    if (fileName.isEmpty() || lowerName == u"untitled" ||
        lowerName == asciiLower(m_host.untitledName()) || isBlank(m_host.editor->Text())) {
        m_host.prompts->message(Prompts::Icon::Information, kCaption, m_host.saveFirstMessage());
        return;
    }
    const QString base = fileNamePart(fileName);
    const qsizetype dot = base.lastIndexOf(u'.');
    const QString ext = dot < 0 ? QString() : asciiLower(base.mid(dot));
    IsVBScript = m_host.vbscriptScheme() || ext == u".vbs";
    const bool isJScript = m_host.jscriptScheme() || ext == u".js";
    const QString name = FindScriptEntry();
    if (!(IsVBScript || isJScript)) {
        m_host.openWithShell();
        return;
    }
    if (isBlank(name)) { // a script of statements only: the console host runs it
        RunWithConsoleHost();
        return;
    }
    FormHost->HLanguage = m_host.language();
    FormHost->FormShow();
    m_host.prompts->exec(*FormHost);
    switch (FormHost->UseHost) {
    case TFormHost::HostWsh:
        RunWithConsoleHost();
        break;
    case TFormHost::HostEngine:
        attachEditor(m_editorDocument);
        if (!ParamList.isEmpty()) {
            AskParameterValues(ParamList);
            RunWithParameters(name);
        } else {
            RunWithoutParameters(name);
        }
        attachEditor(nullptr);
        break;
    case TFormHost::HostBrowser:
        RunInBrowser(IsVBScript ? QStringLiteral("vbscript") : QStringLiteral("javascript"), name,
                     FormHost->ExOnLoad, u'(' + ParamList + u')');
        break;
    default:
        break;
    }
}

QString ScriptRunner::FindScriptEntry()
{
    TSynMemo *editor = m_host.editor;
    const ScriptEntry entry = ::quillora::FindScriptEntry(
        editor->Lines().Count(), [editor](int i) { return editor->Lines().Strings(i); },
        IsVBScript ? ScriptSyntax::VBScript : ScriptSyntax::JScript);
    IsFunction = entry.isFunction;
    ParamList = entry.paramList;
    return entry.name;
}

void ScriptRunner::AskParameterValues(const QString &paramList)
{
    ParamNames = SplitParameters(paramList);
    const QStringList lines = ParameterNameLines(ParamNames);
    FormVars->SetNameLines(lines);
    if (lines.isEmpty()) {
        // no name at all, as in "( , )": no values, so nothing runs
        FormVars->MemoValues->clear();
        return;
    }
    FormVars->VLanguage = m_host.language();
    FormVars->FormShow();
    m_host.prompts->exec(*FormVars);
}

bool ScriptRunner::engineCall(const std::function<bool(ScriptEngine &)> &job)
{
    ScriptEngine *engine = m_engine;
    EditorObject *editor = m_editor.get();
    const bool ok = m_thread->call(
        [engine, editor, &job] {
            const bool done = job(*engine);
            editor->flush(); // the lines the script wrote, also when it failed
            return done;
        },
        TimeOut, [this] { return askStop(); }, [engine] { engine->requestInterrupt(); });
    if (!ok)
        ScriptControl1Error();
    return ok;
}

bool ScriptRunner::askStop()
{
    const bool german = isGerman(m_host.language());
    const QString text =
        (german ? QStringLiteral("Das Script läuft seit %1 Sekunden. Soll es abgebrochen werden?")
                : QStringLiteral("The script has been running for %1 seconds. Stop it?"))
            .arg(TimeOut / 1000.0);
    return m_host.prompts->question(Prompts::Icon::Question, kCaption, text,
                                    Prompts::Buttons::YesNo) == Prompts::Answer::Yes;
}

bool ScriptRunner::startEngine()
{
    TSynMemo *editor = m_host.editor;
    if (IsVBScript) {
        m_engine = m_vbscript.get();
        // one undoable edit, and only where something changes
        const QString text = editor->Text();
        const QString rewritten = RewriteEcho(text);
        if (rewritten != text) {
            editor->SelectAll();
            editor->SetSelText(rewritten);
        }
    } else {
        m_engine = m_jscript.get();
    }
    const QString code = editor->Text();
    return engineCall([&code](ScriptEngine &e) { return e.addCode(code); });
}

void ScriptRunner::resetEngine()
{
    ScriptEngine *engine = m_engine;
    m_thread->exec([engine] { engine->reset(); });
}

void ScriptRunner::showResult(const QString &text)
{
    FormResult->Edit1->setText(text);
    FormResult->ShowsOutput = false;
    FormResult->RLanguage = m_host.language();
    FormResult->FormShow();
    m_host.prompts->exec(*FormResult);
}

void ScriptRunner::RunWithParameters(const QString &name)
{
    if (isBlank(m_host.editor->Text()))
        return;
    // the value dialog cancelled or closed with nothing typed: nothing runs
    const QStringList values = FormVars->ValueLines();
    if (values.isEmpty())
        return;
    if (startEngine()) {
        QVariant result;
        if (engineCall([&](ScriptEngine &e) { return e.run(name, values, &result); })) {
            const QString text = ResultText(result);
            if (!isBlank(text))
                showResult(text);
        }
    }
    resetEngine();
}

void ScriptRunner::RunWithoutParameters(const QString &name)
{
    if (isBlank(m_host.editor->Text()))
        return;
    if (startEngine()) {
        QVariant result;
        const bool function = IsFunction;
        if (engineCall(
                [&](ScriptEngine &e) { return e.run(name, {}, function ? &result : nullptr); }) &&
            function)
            showResult(ResultText(result));
    }
    resetEngine();
}

void ScriptRunner::attachEditor(MacroDocument *document)
{
    QObject *window = m_host.window;
    EditorObject *editor = m_editor.get();
    m_thread->exec([editor, document, window] {
        // every call of a script runs on the window's thread, which waits for the engine
        // in a loop that takes these calls
        editor->setDocument(document, [window](const std::function<void()> &job) {
            QMetaObject::invokeMethod(window, job, Qt::BlockingQueuedConnection);
        });
    });
}

bool ScriptRunner::RunMacro(const QString &code, bool vbscript, MacroDocument &document)
{
    m_engine = vbscript ? m_vbscript.get() : m_jscript.get();
    attachEditor(&document);
    m_runningMacro = true;
    m_host.editor->beginUndoAction();
    const bool ok = engineCall([&code](ScriptEngine &e) { return e.addCode(code); });
    m_host.editor->endUndoAction();
    m_runningMacro = false;
    attachEditor(nullptr);
    resetEngine();
    return ok;
}

void ScriptRunner::ScriptControl1Error()
{
    const ScriptError error = m_engine->error();
    TSynMemo *editor = m_host.editor;
    // the column counts from 0: it is the character after `column` of the 1-based form
    if (!m_runningMacro) {
        editor->SetSelStart(editor->RowColToCharIndex(error.column + 1, error.line));
        editor->SetSelLength(1);
    }
    FormErInfo->EditNr->setText(QString::number(error.number));
    FormErInfo->EditSource->setText(error.source);
    FormErInfo->EditDesc->setText(error.description);
    FormErInfo->EditLine->setText(QString::number(error.line));
    FormErInfo->EditCol->setText(QString::number(error.column));
    FormErInfo->EditText->setText(error.text);
    FormErInfo->ELanguage = m_host.language();
    FormErInfo->FormShow();
    m_host.prompts->exec(*FormErInfo);
    m_engine->clearError();
}

void ScriptRunner::RunWithConsoleHost()
{
    const std::optional<ConsoleScriptRun> run =
        m_host.runConsoleScript([this] { return askStop(); });
    if (!run)
        return;
    if (!run->started) {
        m_host.prompts->message(
            Prompts::Icon::Warning, kCaption,
            isGerman(m_host.language())
                ? QStringLiteral("Das Programm quillora-script wurde nicht gefunden oder ließ "
                                 "sich nicht starten.")
                : QStringLiteral("The program quillora-script was not found or could not be "
                                 "started."));
        return;
    }
    if (isBlank(run->output))
        return;
    FormResult->MemoOutput->setPlainText(run->output);
    FormResult->ShowsOutput = true;
    FormResult->RLanguage = m_host.language();
    FormResult->FormShow();
    m_host.prompts->exec(*FormResult);
}

void ScriptRunner::RunInBrowser(const QString &typeWord, const QString &name, bool onLoad,
                                const QString &callArguments)
{
    const QString pagePath = m_host.dataPath() + QStringLiteral("scripttest.html");
    LineList &scratch = *m_host.scratch;
    scratch.Clear();
    scratch.SetText(TestPage(typeWord, name, onLoad, callArguments, m_host.editor->Text()));
    scratch.setFormat({TextEncoding::Utf8, LineBreak::CrLf, {}});
    const FileResult written = scratch.SaveToFile(pagePath);
    scratch.Clear();
    if (!written.ok) {
        m_host.prompts->message(Prompts::Icon::Error, kCaption, pagePath + u'\n' + written.error);
        return;
    }
    // The set browser, else the desktop's default one started as its entry says; the
    // default is not written into the setting.
    const QString address = browserFileAddress(pagePath);
    const QString &browser = *m_host.browserPath;
    const QStringList command = isBlank(browser)
                                    ? desktopExecArguments(m_host.defaultBrowser(), address)
                                    : QStringList{browser, address};
    if (command.isEmpty() || !m_host.shell->startProgram(command.first(), command.mid(1)))
        m_host.prompts->message(Prompts::Icon::Warning, kCaption,
                                browserNotStartedMessage(m_host.language()));
}
