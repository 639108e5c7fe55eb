#include "desktop/productinfo.h"

#include "lang/messages.h"

#include <QDir>
#include <QFileInfo>

#ifndef QUILLORA_VERSION
#define QUILLORA_VERSION ""
#endif

namespace {

QString site(int language)
{
    return QString::fromUtf16(isGerman(language) ? kGermanSite : kEnglishSite);
}

struct TopicPage
{
    int topic;
    const char *page;
};

// Topics other windows ask for by number.
constexpr TopicPage kTopics[] = {
    {0, "index.html"},
    {60, "multifile.html"},
};

} // namespace

QString productHomePage(int language)
{
    return site(language);
}

QString updateThroughPackagesMessage(int language)
{
    return isGerman(language)
               ? QStringLiteral("Quillora Pro wird über die Paketverwaltung des Systems "
                                "aktualisiert. Was die neueste Version bringt, steht auf der "
                                "Seite mit den Neuigkeiten, die jetzt geöffnet wird.")
               : QStringLiteral("Quillora Pro is updated through the system's package "
                                "manager. What the latest release brings is on the news page, "
                                "which opens now.");
}

QString productNewsPage(int language)
{
    return site(language) + QStringLiteral("news.html");
}

QString versionText(QStringView stamped)
{
    const QString noVersion = QString::fromUtf16(kNoVersionText);
    const QList<QStringView> parts = stamped.split(u'.');
    if (stamped.isEmpty() || parts.size() > 4)
        return noVersion;
    QStringList numbers;
    for (const QStringView part : parts) {
        bool ok = false;
        const uint value = part.toUInt(&ok);
        if (!ok || value > 0xFFFF || part.startsWith(u'+'))
            return noVersion;
        numbers.append(QString::number(value));
    }
    while (numbers.size() < 4)
        numbers.append(QStringLiteral("0"));
    return numbers.join(u'.');
}

QString GetFileVersionText(const QString &)
{
    return versionText(QStringLiteral(QUILLORA_VERSION));
}

QStringList updateInstallerArguments(const QString &version, const QString &programName,
                                     int language, const QString &mode, const QString &check)
{
    return {QStringLiteral("QuilloraD"), version, programName,
            QString::number(language),   mode,    check};
}

QString helpRootFolder(const QString &programFolder)
{
    for (const QString &candidate :
         {QStringLiteral("/help"), QStringLiteral("/../share/quillora/help")}) {
        const QString folder = QDir::cleanPath(programFolder + candidate);
        if (QFileInfo(folder).isDir())
            return folder;
    }
    return QString();
}

QString helpLanguageFolder(const QString &helpFile)
{
    return QFileInfo(helpFile).fileName() == helpFileName(0) ? QStringLiteral("de")
                                                             : QStringLiteral("en");
}

QString helpTopicPage(int topic)
{
    for (const TopicPage &entry : kTopics) {
        if (entry.topic == topic)
            return QString::fromLatin1(entry.page);
    }
    return QString::fromLatin1(kTopics[0].page);
}
