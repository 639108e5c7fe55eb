#include "desktop/launchers.h"

#include "lang/messages.h"

#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>

namespace {

// The values of one group of a desktop-style key file ("[Group]", "key=value" lines).
// Comments and other groups are skipped; the first occurrence of a key counts.
QString keyFileValue(const QString &path, QStringView group, QStringView key)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return QString();
    bool inGroup = false;
    while (!file.atEnd()) {
        const QString line = QString::fromUtf8(file.readLine()).trimmed();
        if (line.startsWith(u'[')) {
            inGroup = line == u'[' + group.toString() + u']';
            continue;
        }
        if (!inGroup || line.startsWith(u'#'))
            continue;
        const qsizetype equals = line.indexOf(u'=');
        if (equals > 0 && QStringView(line).first(equals).trimmed() == key)
            return line.sliced(equals + 1).trimmed();
    }
    return QString();
}

// A string value of a desktop entry with its escapes (\s \n \t \r \\) resolved.
QString unescapeDesktopValue(const QString &value)
{
    QString out;
    out.reserve(value.size());
    for (qsizetype i = 0; i < value.size(); ++i) {
        if (value[i] != u'\\' || i + 1 == value.size()) {
            out.append(value[i]);
            continue;
        }
        const QChar next = value[++i];
        switch (next.unicode()) {
        case 's':
            out.append(u' ');
            break;
        case 'n':
            out.append(u'\n');
            break;
        case 't':
            out.append(u'\t');
            break;
        case 'r':
            out.append(u'\r');
            break;
        default:
            out.append(next);
            break;
        }
    }
    return out;
}

// The Exec line of the first listed entry found in `applicationFolders`.
QString execOfFirstInstalled(const QString &entries, const QStringList &applicationFolders)
{
    for (const QString &entry : entries.split(u';', Qt::SkipEmptyParts)) {
        const QString name = entry.trimmed();
        if (name.isEmpty() || name.contains(u'/'))
            continue;
        for (const QString &folder : applicationFolders) {
            const QString path = folder + u'/' + name;
            if (!QFileInfo(path).isFile())
                continue;
            const QString exec = keyFileValue(path, u"Desktop Entry", u"Exec");
            if (!exec.isEmpty())
                return unescapeDesktopValue(exec);
        }
    }
    return QString();
}

} // namespace

QString defaultHandlerCommand(const QString &mimeType, const QStringList &configFolders,
                              const QStringList &applicationFolders, const QStringList &desktops)
{
    // mimeapps.list: per folder, the desktop's own list before the common one; the
    // config folders before the data folders.
    QStringList lists;
    const auto addFolder = [&](const QString &folder) {
        for (const QString &desktop : desktops)
            lists.append(folder + u'/' + desktop + QStringLiteral("-mimeapps.list"));
        lists.append(folder + QStringLiteral("/mimeapps.list"));
    };
    for (const QString &folder : configFolders)
        addFolder(folder);
    for (const QString &folder : applicationFolders)
        addFolder(folder);
    for (const QString &list : lists) {
        const QString exec = execOfFirstInstalled(
            keyFileValue(list, u"Default Applications", mimeType), applicationFolders);
        if (!exec.isEmpty())
            return exec;
    }
    // Older systems name defaults in defaults.list; without any default, the first
    // program that declares the type in the desktop database serves.
    for (const auto &[file, group] : {std::pair{u"/defaults.list", u"Default Applications"},
                                      std::pair{u"/mimeinfo.cache", u"MIME Cache"}}) {
        for (const QString &folder : applicationFolders) {
            const QString exec = execOfFirstInstalled(
                keyFileValue(folder + QString::fromUtf16(file), QStringView(group), mimeType),
                applicationFolders);
            if (!exec.isEmpty())
                return exec;
        }
    }
    return QString();
}

QString GetDefaultBrowser()
{
    QStringList desktops;
    for (const QString &desktop :
         qEnvironmentVariable("XDG_CURRENT_DESKTOP").split(u':', Qt::SkipEmptyParts))
        desktops.append(desktop.toLower());
    return defaultHandlerCommand(
        QStringLiteral("text/html"),
        QStandardPaths::standardLocations(QStandardPaths::GenericConfigLocation),
        QStandardPaths::standardLocations(QStandardPaths::ApplicationsLocation), desktops);
}

QString browserFileAddress(const QString &fileName)
{
    QString address;
    const QString path = fileName.trimmed();
    address.reserve(path.size() + 16);
    address.append(path.startsWith(u'/') ? QStringLiteral("file://") : QStringLiteral("file:///"));
    for (const QChar c : path) {
        switch (c.unicode()) {
        case ' ':
            address.append(QStringLiteral("%20"));
            break;
        case '%':
            address.append(QStringLiteral("%25"));
            break;
        case '#':
            address.append(QStringLiteral("%23"));
            break;
        case '?':
            address.append(QStringLiteral("%3F"));
            break;
        default:
            address.append(c);
            break;
        }
    }
    return address;
}

bool hasFtpLoginData(const QString &server, const QString &loginMode)
{
    return !server.isEmpty() && !loginMode.isEmpty();
}

namespace {

// A user name or password for the user-information part of an address.
QString addressUserPart(const QString &text)
{
    QString out;
    out.reserve(text.size());
    for (const QChar c : text) {
        if (QStringView(u"%:@/?#[]\\").contains(c))
            out.append(u'%' + QString::number(c.unicode(), 16).toUpper().rightJustified(2, u'0'));
        else
            out.append(c);
    }
    return out;
}

} // namespace

QString ftpAddress(const QString &server, const QString &loginMode, const QString &user,
                   const QString &password)
{
    if (loginMode == u"Anonymous")
        return QStringLiteral("ftp://") + server;
    return QStringLiteral("ftp://") + addressUserPart(user) + u':' + addressUserPart(password) +
           u'@' + server;
}

QStringList desktopExecArguments(const QString &exec, const QString &address)
{
    // Split into words: quoting first, so a quoted "%u" stays literal text.
    struct Word
    {
        QString text;
        bool quoted = false;
    };
    QList<Word> words;
    bool inWord = false;
    bool inQuotes = false;
    for (qsizetype i = 0; i < exec.size(); ++i) {
        const QChar c = exec[i];
        if (inQuotes) {
            if (c == u'"') {
                inQuotes = false;
            } else if (c == u'\\' && i + 1 < exec.size() &&
                       QStringView(u"\"`$\\").contains(exec[i + 1])) {
                words.last().text.append(exec[++i]);
            } else {
                words.last().text.append(c);
            }
            continue;
        }
        if (c == u' ' || c == u'\t' || c == u'\n') {
            inWord = false;
            continue;
        }
        if (!inWord) {
            words.append(Word{});
            inWord = true;
        }
        if (c == u'"') {
            inQuotes = true;
            words.last().quoted = true;
        } else {
            words.last().text.append(c);
        }
    }
    // The program comes first and is never a field code.
    if (inQuotes || words.isEmpty() ||
        (!words.first().quoted && words.first().text.startsWith(u'%')))
        return {};
    QStringList arguments;
    bool addressGiven = false;
    for (const Word &word : words) {
        if (word.quoted) {
            arguments.append(word.text);
            continue;
        }
        QString out;
        bool dropped = false;
        for (qsizetype i = 0; i < word.text.size(); ++i) {
            const QChar c = word.text[i];
            if (c != u'%' || i + 1 == word.text.size()) {
                out.append(c);
                continue;
            }
            const QChar code = word.text[++i];
            if (code == u'%') {
                out.append(u'%');
            } else if (QStringView(u"fFuU").contains(code)) {
                out.append(address);
                addressGiven = true;
            } else {
                dropped = true;
            }
        }
        // A word that was only a dropped field code ("%i") leaves no empty argument.
        if (!(dropped && out.isEmpty()))
            arguments.append(out);
    }
    if (arguments.isEmpty() || arguments.first().isEmpty())
        return {};
    if (!addressGiven)
        arguments.append(address);
    return arguments;
}

QString browserNotStartedMessage(int language)
{
    return isGerman(language)
               ? QStringLiteral("Es konnte kein Browser gestartet werden. Bitte den Browser in "
                                "den Einstellungen eintragen.")
               : QStringLiteral("No browser could be started. Please enter the browser in the "
                                "settings.");
}

QString noFtpHandlerMessage(int language)
{
    return isGerman(language)
               ? QStringLiteral("Kein Programm öffnet FTP-Adressen (zum Beispiel ein "
                                "Dateimanager mit GVfs).")
               : QStringLiteral("No program opens FTP addresses (for example a file manager "
                                "with GVfs).");
}
