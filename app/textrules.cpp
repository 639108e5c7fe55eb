#include "app/textrules.h"

QString asciiLower(QString text)
{
    for (QChar &c : text) {
        if (c >= u'A' && c <= u'Z')
            c = QChar(c.unicode() + 32);
    }
    return text;
}

bool isBlank(QStringView text)
{
    for (QChar c : text) {
        if (c.unicode() > 32)
            return false;
    }
    return true;
}

QString fileNamePart(const QString &path)
{
    return path.mid(path.lastIndexOf(u'/') + 1);
}

QString folderPart(const QString &path)
{
    const qsizetype slash = path.lastIndexOf(u'/');
    if (slash < 0)
        return QString();
    return slash == 0 ? QStringLiteral("/") : path.left(slash);
}
