#include "app/appsetup.h"

#include "editor/themeimages.h"

#include <QApplication>

void setUpApplication()
{
    QApplication::setApplicationName(QStringLiteral("Quillora"));
    QApplication::setApplicationDisplayName(QString());
    QApplication::setWindowIcon(programIcon());
}
