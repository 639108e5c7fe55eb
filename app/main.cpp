#include "app/appsetup.h"
#include "app/mainform.h"
#include "base/prompts.h"
#include "base/shell.h"
#include "desktop/commandline.h"
#include "desktop/productinfo.h"
#include "editor/synmemo.h"

#include <QApplication>
#include <QFileInfo>
#include <QLocale>
#include <cstdio>

namespace {

CommandLine parse(const QStringList &arguments)
{
    const int language = QLocale::system().language() == QLocale::German ? 0 : 1;
    return parseCommandLine(
        arguments, [](const QString &path) { return QFileInfo(path).isFile(); }, language);
}

// Help and version go to the console and end the program; an error too, with 2.
bool answeredOnConsole(const CommandLine &command, const QString &programFile)
{
    switch (command.action) {
    case CommandLine::Action::Help:
        std::fputs(commandLineHelp(QLocale::system().language() == QLocale::German ? 0 : 1)
                       .toLocal8Bit()
                       .constData(),
                   stdout);
        return true;
    case CommandLine::Action::Version:
        std::fputs(commandLineVersion(GetFileVersionText(programFile)).toLocal8Bit().constData(),
                   stdout);
        return true;
    case CommandLine::Action::Error:
        std::fputs(command.error.toLocal8Bit().constData(), stderr);
        return true;
    case CommandLine::Action::Open:
        break;
    }
    return false;
}

} // namespace

int main(int argc, char **argv)
{
    // Help and version need no display: they are answered before the window system starts.
    QStringList raw;
    for (int i = 1; i < argc; ++i)
        raw << QString::fromLocal8Bit(argv[i]);
    const CommandLine early = parse(raw);
    if (early.action == CommandLine::Action::Help || early.action == CommandLine::Action::Version) {
        answeredOnConsole(early, QString::fromLocal8Bit(argv[0]));
        return 0;
    }

    QApplication app(argc, argv);
    // Qt's own options ("-platform", "-style" ...) are gone from the arguments now.
    const CommandLine command = parse(QApplication::arguments().mid(1));
    if (answeredOnConsole(command, QApplication::applicationFilePath()))
        return command.action == CommandLine::Action::Error ? 2 : 0;
    setUpApplication();
    QtPrompts prompts;
    SystemShell shell;
    // The program's own path, not the word it was started by: started through PATH,
    // argv[0] names no folder, and the help pages and the installer lie beside the program.
    QStringList arguments{QApplication::applicationFilePath()};
    if (!command.file.isEmpty())
        arguments << command.file;
    TMainForm mainForm(prompts, shell, arguments);
    prompts.setParent(&mainForm);
    mainForm.show();
    if (command.line > 0)
        mainForm.SynMemo1->SetCaretXY(qMax(1, command.column), command.line);
    return app.exec();
}
