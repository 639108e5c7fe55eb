#include "consolerunner.h"

#include "wscripthost.h"

#include <QFile>
#include <QFileInfo>
#include <QStringDecoder>

#include <algorithm>
#include <optional>

namespace quillora {

namespace {

QString decodeScript(const QByteArray &bytes)
{
    auto enc = QStringConverter::encodingForData(bytes);
    QStringDecoder decoder(enc.value_or(QStringConverter::Utf8), QStringConverter::Flag::Stateless);
    QString text = decoder.decode(bytes);
    if (!enc && decoder.hasError())
        text = QString::fromLatin1(bytes);
    if (text.startsWith(QChar(0xFEFF)))
        text.remove(0, 1);
    return text;
}

const QString kUsage = QStringLiteral("Usage: quillora-script [OPTIONS] FILE [ARGS...]\n");

// The runner's options: each a name, its help line and what it does. One that returns an
// exit status ends the program with it; std::nullopt goes on with the next argument.
struct Option
{
    QStringView name;
    QStringView help;
    std::optional<int> (*apply)();
};

std::optional<int> showHelp();

std::optional<int> showVersion()
{
    writeConsole(stdout, QStringLiteral("quillora-script " QUILLORA_VERSION "\n"));
    return 0;
}

constexpr Option kOptions[] = {
    {u"--help", u"show this help and end", showHelp},
    {u"--version", u"show the version and end", showVersion},
};

std::optional<int> showHelp()
{
    QString text =
        kUsage + QStringLiteral("Runs a VBScript (.vbs) or JScript (.js) file as the Windows "
                                "console script host does;\nARGS reach the script as "
                                "WScript.Arguments.\n\nOptions:\n");
    for (const Option &option : kOptions)
        text += QStringLiteral("  %1  %2\n")
                    .arg(option.name.toString().leftJustified(12), option.help.toString());
    text += QStringLiteral("  --            end of the options: the next argument is the file\n");
    text +=
        QStringLiteral("\nquillora-script --macro SCRIPT PATH... [--dry-run]\n"
                       "  runs the macro SCRIPT over each file and saves the files it changed;\n"
                       "  --dry-run only lists them\n");
    writeConsole(stdout, text);
    return 0;
}

} // namespace

std::variant<ConsoleRun, int> parseConsoleArguments(QStringList args)
{
    // Options up to the file name.
    while (!args.isEmpty() && args.first().startsWith(u"--")) {
        const QString name = args.takeFirst();
        if (name == u"--")
            break;
        const auto option = std::find_if(std::begin(kOptions), std::end(kOptions),
                                         [&](const Option &o) { return o.name == name; });
        if (option == std::end(kOptions)) {
            writeConsole(stderr, QStringLiteral("%1: unknown option\n").arg(name) + kUsage);
            return 2;
        }
        if (const std::optional<int> status = option->apply())
            return *status;
    }
    if (args.isEmpty()) {
        writeConsole(stderr, kUsage);
        return 2;
    }
    ConsoleRun run;
    run.path = args.takeFirst();
    run.args = args;
    return run;
}

ScriptLanguage scriptLanguageOf(const QString &path)
{
    const QString ext = QFileInfo(path).suffix().toLower();
    if (ext == u"vbs")
        return ScriptLanguage::VBScript;
    if (ext == u"js")
        return ScriptLanguage::JScript;
    return ScriptLanguage::None;
}

int reportNoEngine(const QString &path)
{
    writeConsole(stderr, QStringLiteral("%1: no script engine for this file type\n").arg(path));
    return 2;
}

int runScriptFile(ScriptEngine *engine, const ConsoleRun &run)
{
    QFile file(run.path);
    if (!file.open(QIODevice::ReadOnly)) {
        writeConsole(stderr, QStringLiteral("%1: cannot open the file\n").arg(run.path));
        return 2;
    }
    const QString code = decodeScript(file.readAll());
    file.close();

    ConsoleHost host;
    WScriptObject wscript(engine, run.path, run.args);
    engine->setHost(&host);
    engine->addObject(QStringLiteral("WScript"), &wscript);
    engine->addObject(QStringLiteral("WSH"), &wscript);
    const bool ok = engine->addCode(code);
    const ScriptError error = engine->error();
    const bool quit = wscript.quitRequested();
    if (!ok && !quit)
        writeConsole(stderr, QStringLiteral("%1(%2, %3) %4: %5\n")
                                 .arg(run.path)
                                 .arg(error.line)
                                 .arg(error.column + 1)
                                 .arg(error.source, error.description));
    engine->reset(); // objects still alive run their Class_Terminate now
    if (quit)
        return wscript.exitCode();
    return ok ? 0 : 1;
}

} // namespace quillora
