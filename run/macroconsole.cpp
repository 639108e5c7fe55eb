#include "run/macroconsole.h"

#include "editor/linelist.h"
#include "run/editorobject.h"
#include "run/jscript/jscriptengine.h"
#include "run/textdocument.h"
#include "run/vbscript/consolerunner.h"
#include "run/vbscript/vbscriptengine.h"

#include <QDir>
#include <QFileInfo>

#include <memory>

namespace quillora {

namespace {

void print(FILE *file, const QString &text)
{
    const QByteArray bytes = text.toUtf8();
    std::fwrite(bytes.constData(), 1, size_t(bytes.size()), file);
    std::fflush(file);
}

// The files to work on, in the order given; a folder's files in name order.
QStringList expandPaths(const QStringList &paths)
{
    QStringList files;
    for (const QString &path : paths) {
        const QFileInfo info(path);
        if (!info.isDir()) {
            files << path;
            continue;
        }
        const QDir folder(path);
        for (const QString &name : folder.entryList(QDir::Files | QDir::Hidden, QDir::Name))
            files << folder.filePath(name);
    }
    return files;
}

QString errorLine(const ScriptError &e)
{
    return QStringLiteral("line %1, column %2: %3: %4")
        .arg(e.line)
        .arg(e.column + 1)
        .arg(e.source, e.description);
}

} // namespace

std::optional<MacroConsoleOptions> parseMacroArguments(const QStringList &args, QString *error)
{
    if (args.value(0) != u"--macro")
        return std::nullopt;
    MacroConsoleOptions options;
    for (qsizetype i = 1; i < args.size(); ++i) {
        if (args[i] == u"--dry-run")
            options.dryRun = true;
        else if (options.script.isEmpty())
            options.script = args[i];
        else
            options.paths << args[i];
    }
    if (options.script.isEmpty() || options.paths.isEmpty())
        *error =
            QStringLiteral("Usage: quillora-script --macro FILE.vbs|FILE.js PATH... [--dry-run]");
    return options;
}

std::unique_ptr<ScriptEngine> engineForScript(const QString &path)
{
    switch (scriptLanguageOf(path)) {
    case ScriptLanguage::VBScript:
        return std::make_unique<VBScriptEngine>();
    case ScriptLanguage::JScript:
        return std::make_unique<JScriptEngine>();
    case ScriptLanguage::None:
        break;
    }
    return nullptr;
}

int runMacroOverFiles(const MacroConsoleOptions &options, ScriptHost *host, FILE *out, FILE *err)
{
    std::unique_ptr<ScriptEngine> engine = engineForScript(options.script);
    if (!engine) {
        print(err, QStringLiteral("%1: no script engine for this file type\n").arg(options.script));
        return 2;
    }
    QByteArray scriptBytes;
    if (const FileResult read = readFileBytes(options.script, scriptBytes); !read) {
        print(err, QStringLiteral("%1: %2\n").arg(options.script, read.error));
        return 2;
    }
    const QString code = decodeText(scriptBytes).text;
    const auto write =
        options.write ? options.write : [](const QString &path, const QByteArray &bytes) {
            return writeFileSafely(path, bytes);
        };

    EditorObject editor;
    engine->setHost(host);
    engine->addObject(QStringLiteral("Editor"), &editor);
    bool anyFailed = false;
    for (const QString &path : expandPaths(options.paths)) {
        const auto report = [&](const QString &what) { print(out, what + u' ' + path + u'\n'); };
        const auto fail = [&](const QString &why) {
            print(out, QStringLiteral("error: %1: %2\n").arg(path, why));
            anyFailed = true;
        };
        QByteArray before;
        if (const FileResult read = readFileBytes(path, before); !read) {
            fail(read.error);
            continue;
        }
        TextDocument document;
        if (const FileResult read = document.load(path); !read) {
            fail(read.error);
            continue;
        }
        editor.setDocument(&document);
        const bool ran = engine->addCode(code);
        editor.flush();
        editor.setDocument(nullptr);
        const ScriptError error = engine->error();
        engine->reset();
        if (!ran) {
            fail(errorLine(error));
            continue;
        }
        const QByteArray after = document.bytes();
        if (after == before) {
            report(QStringLiteral("unchanged:"));
        } else if (options.dryRun) {
            report(QStringLiteral("would change:"));
        } else if (const SaveResult written = write(path, after); !written) {
            fail(written.error);
        } else {
            report(QStringLiteral("changed:"));
        }
    }
    return anyFailed ? 1 : 0;
}

} // namespace quillora
