// quillora-script [OPTIONS] FILE [ARGS...]: runs a .vbs (VBScript) or .js (JScript) file
// from the console the way the Windows console script host does. Options come before the
// file; everything after it belongs to the script.
//
// This program links QtCore and the VBScript engine only, so that a .vbs run starts fast.
// A .js file or a --macro run needs QJSEngine: those runs are handed, with the whole
// command line, to the full module (fullmain.cpp), which is loaded from beside the program
// in the build tree or from ../lib/quillora when installed.

#include "consolerunner.h"
#include "fullmain.h"
#include "vbscriptengine.h"
#include "wscripthost.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <dlfcn.h>
#include <malloc.h>

using namespace quillora;

namespace {

// Loads the full module and runs the command line there; exit status 2 when it cannot
// be loaded. The module stays loaded until the program ends.
int runFull(int argc, char **argv)
{
    const QString folder = QCoreApplication::applicationDirPath();
    const QString name = QStringLiteral(QUILLORA_SCRIPT_FULL_FILE);
    QString path = folder + u'/' + name;
    if (!QFileInfo::exists(path))
        path = QDir::cleanPath(folder + QStringLiteral("/../lib/quillora/") + name);
    void *module = dlopen(QFile::encodeName(path).constData(), RTLD_LAZY | RTLD_LOCAL);
    const auto entry =
        module ? reinterpret_cast<FullMain>(dlsym(module, kFullMainSymbol)) : nullptr;
    if (!entry) {
        writeConsole(stderr, QStringLiteral("quillora-script: cannot load its module for "
                                            "JScript and macros: %1\n")
                                 .arg(QString::fromLocal8Bit(dlerror())));
        return 2;
    }
    return entry(argc, argv);
}

} // namespace

int main(int argc, char **argv)
{
    // A run of a script is one short process: blocks up to 32 MB come from the heap and
    // go back to it for reuse rather than to the system. Growing arrays and dictionaries
    // then reuse memory already touched instead of faulting in fresh pages at every step
    // (a dictionary of 200,000 keys: a quarter fewer page faults).
    mallopt(M_MMAP_THRESHOLD, 32 * 1024 * 1024);
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments().mid(1);
    if (args.value(0) == u"--macro")
        return runFull(argc, argv);
    const auto parsed = parseConsoleArguments(args);
    if (const int *status = std::get_if<int>(&parsed))
        return *status;
    const ConsoleRun &run = std::get<ConsoleRun>(parsed);
    switch (scriptLanguageOf(run.path)) {
    case ScriptLanguage::VBScript: {
        VBScriptEngine engine;
        return runScriptFile(&engine, run);
    }
    case ScriptLanguage::JScript:
        return runFull(argc, argv);
    case ScriptLanguage::None:
        break;
    }
    return reportNoEngine(run.path);
}
