// quillora-script FILE [ARGS...]: runs a script from the console the way the Windows
// console script host does.

#include "run/jscript/jscriptengine.h"
#include "run/macroconsole.h"
#include "vbscriptengine.h"
#include "wscripthost.h"

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <QStringDecoder>

#include <memory>

using namespace quillora;

namespace {

// The engine for a script file, chosen by its extension; null when none runs it.
std::unique_ptr<ScriptEngine> engineFor(const QString &path)
{
    const QString ext = QFileInfo(path).suffix().toLower();
    if (ext == u"vbs")
        return std::make_unique<VBScriptEngine>();
    if (ext == u"js")
        return std::make_unique<JScriptEngine>();
    return nullptr;
}

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

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    QStringList args = app.arguments().mid(1);
    QString macroError;
    if (const auto macro = parseMacroArguments(args, &macroError)) {
        if (!macroError.isEmpty()) {
            writeConsole(stderr, macroError + u'\n');
            return 2;
        }
        ConsoleHost host;
        return runMacroOverFiles(*macro, &host, stdout, stderr);
    }
    if (args.isEmpty()) {
        writeConsole(stderr, QStringLiteral("Usage: quillora-script FILE [ARGS...]\n"));
        return 2;
    }
    const QString path = args.takeFirst();
    std::unique_ptr<ScriptEngine> engine = engineFor(path);
    if (!engine) {
        writeConsole(stderr, QStringLiteral("%1: no script engine for this file type\n").arg(path));
        return 2;
    }
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        writeConsole(stderr, QStringLiteral("%1: cannot open the file\n").arg(path));
        return 2;
    }
    const QString code = decodeScript(file.readAll());
    file.close();

    ConsoleHost host;
    WScriptObject wscript(engine.get(), path, args);
    engine->setHost(&host);
    engine->addObject(QStringLiteral("WScript"), &wscript);
    engine->addObject(QStringLiteral("WSH"), &wscript);
    const bool ok = engine->addCode(code);
    const ScriptError error = engine->error();
    const bool quit = wscript.quitRequested();
    if (!ok && !quit)
        writeConsole(stderr, QStringLiteral("%1(%2, %3) %4: %5\n")
                                 .arg(path)
                                 .arg(error.line)
                                 .arg(error.column + 1)
                                 .arg(error.source, error.description));
    engine->reset(); // objects still alive run their Class_Terminate now
    if (quit)
        return wscript.exitCode();
    return ok ? 0 : 1;
}
