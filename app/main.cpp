#include "app/appsetup.h"
#include "app/mainform.h"
#include "base/prompts.h"
#include "base/shell.h"

#include <QApplication>

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    setUpApplication();
    QtPrompts prompts;
    SystemShell shell;
    // The program's own path, not the word it was started by: started through PATH,
    // argv[0] names no folder, and the help pages and the installer lie beside the program.
    QStringList arguments = QApplication::arguments();
    if (!arguments.isEmpty())
        arguments.first() = QApplication::applicationFilePath();
    TMainForm mainForm(prompts, shell, arguments);
    prompts.setParent(&mainForm);
    mainForm.show();
    return app.exec();
}
