#pragma once
// A script runner with an editor, scripted prompts, a recording shell and a data folder
// whose path holds spaces; the main window's part is played by plain fields.

#include "editor/linelist.h"
#include "editor/synmemo.h"
#include "run/scriptengine.h"
#include "run/scriptforms.h"
#include "run/scriptrunner.h"
#include "tests/support/recordingshell.h"
#include "tests/support/scriptedprompts.h"

#include <QCheckBox>
#include <QDir>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

struct RunnerFixture
{
    RunnerFixture()
    {
        QDir(dir.path()).mkpath(QStringLiteral("data folder/qldata"));
        editor = new TSynMemo(&window);
        ScriptRunner::Host host;
        host.window = &window;
        host.prompts = &prompts;
        host.shell = &shell;
        host.editor = editor;
        host.scratch = &scratch;
        host.browserPath = &browserPath;
        host.fileName = [this] { return fileName; };
        host.dataPath = [this] { return dataPath(); };
        host.language = [] { return 1; };
        host.saveFirstMessage = [] {
            return QStringLiteral("Please save the code with proper file extension first.");
        };
        host.untitledName = [] { return QStringLiteral("Untitled"); };
        host.vbscriptScheme = [this] { return vbScheme; };
        host.jscriptScheme = [this] { return jsScheme; };
        host.openWithShell = [this] { ++shellOpens; };
        host.runConsoleScript = [this](const std::function<bool()> &) {
            ++consoleRuns;
            return consoleRun;
        };
        host.defaultBrowser = [this] { return defaultBrowser; };
        runner = std::make_unique<ScriptRunner>(std::move(host));
    }

    QString dataPath() const { return dir.path() + QStringLiteral("/data folder/qldata/"); }

    // A saved document of that name and text.
    void document(const QString &name, const QString &text)
    {
        fileName = dir.filePath(name);
        editor->SetText(text);
    }

    // The host dialog answers with item `index` (and the onload box for the browser).
    void chooseHost(int index, bool onLoad = true)
    {
        prompts.expectExec([index, onLoad](QDialog &d) {
            auto &form = dynamic_cast<TFormHost &>(d);
            form.SetItemIndex(index);
            form.CheckBox1->setChecked(onLoad);
            form.BitBtn1Click();
            return int(form.result());
        });
    }
    // The value dialog: types `text` and presses OK.
    void typeValues(const QString &text)
    {
        prompts.expectExec([text](QDialog &d) {
            auto &form = dynamic_cast<TFormVars &>(d);
            form.MemoValues->setPlainText(text);
            form.BitBtn1Click();
            return int(form.result());
        });
    }
    // The result dialog: records the shown value.
    void expectResult()
    {
        prompts.expectExec([this](QDialog &d) {
            shownResult = dynamic_cast<TFormResult &>(d).Edit1->text();
            return 1;
        });
    }
    // The error dialog: records its fields, number|source|description|line|column|text.
    void expectError()
    {
        prompts.expectExec([this](QDialog &d) {
            auto &f = dynamic_cast<TFormErInfo &>(d);
            shownError = QStringList{f.EditNr->text(),   f.EditSource->text(), f.EditDesc->text(),
                                     f.EditLine->text(), f.EditCol->text(),    f.EditText->text()}
                             .join(u'|');
            selection = editor->SelText();
            selStart = editor->SelStart();
            errorFromStart = true;
            for (const QLineEdit *field : f.findChildren<QLineEdit *>())
                errorFromStart = errorFromStart && field->cursorPosition() == 0;
            return 1;
        });
    }

    QTemporaryDir dir{QDir::tempPath() + QStringLiteral("/runner test XXXXXX")};
    QWidget window;
    TSynMemo *editor = nullptr;
    LineList scratch;
    ScriptedPrompts prompts;
    RecordingShell shell;
    QString fileName = QStringLiteral("Untitled");
    QString browserPath;
    QString defaultBrowser;
    bool vbScheme = false;
    bool jsScheme = false;
    int shellOpens = 0;
    int consoleRuns = 0;
    std::optional<quillora::ConsoleScriptRun> consoleRun =
        quillora::ConsoleScriptRun{true, false, {}, 0};
    QString shownResult = QStringLiteral("<none>");
    QString shownError;
    bool errorFromStart = false; // every field of the error dialog shows its beginning
    QString selection;
    int selStart = -1;
    std::unique_ptr<ScriptRunner> runner;
};
