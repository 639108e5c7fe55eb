#include "app/appsetup.h"

#include "base/themeimages.h"

#include <QApplication>

void setUpApplication()
{
    QApplication::setApplicationName(QStringLiteral("Quillora"));
    QApplication::setApplicationDisplayName(QString());
    QApplication::setWindowIcon(programIcon());
}
