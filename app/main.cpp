#include "app/appsetup.h"
#include "app/mainform.h"
#include "app/prompts.h"
#include "app/shell.h"

#include <QApplication>

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    setUpApplication();
    QtPrompts prompts;
    SystemShell shell;
    TMainForm mainForm(prompts, shell, QApplication::arguments());
    prompts.setParent(&mainForm);
    mainForm.show();
    return app.exec();
}
