// quillora-script's full module: everything a run may need, QJSEngine included. The
// program hands it .js runs and --macro runs (see main.cpp).

#include "fullmain.h"

#include "consolerunner.h"
#include "run/macroconsole.h"
#include "wscripthost.h"

#include <QCoreApplication>

#include <memory>
#include <optional>

using namespace quillora;

extern "C" Q_DECL_EXPORT int quillora_script_full_main(int argc, char **argv)
{
    std::optional<QCoreApplication> app;
    if (!QCoreApplication::instance())
        app.emplace(argc, argv);
    const QStringList args = QCoreApplication::arguments().mid(1);
    QString macroError;
    if (const auto macro = parseMacroArguments(args, &macroError)) {
        if (!macroError.isEmpty()) {
            writeConsole(stderr, macroError + u'\n');
            return 2;
        }
        ConsoleHost host;
        return runMacroOverFiles(*macro, &host, stdout, stderr);
    }
    const auto parsed = parseConsoleArguments(args);
    if (const int *status = std::get_if<int>(&parsed))
        return *status;
    const ConsoleRun &run = std::get<ConsoleRun>(parsed);
    const std::unique_ptr<ScriptEngine> engine = engineForScript(run.path);
    if (!engine)
        return reportNoEngine(run.path);
    return runScriptFile(engine.get(), run);
}
