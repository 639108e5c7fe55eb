#pragma once
// A main window with a settings file of the test's choosing, for the launch, help and
// update commands.

#include "store/settingsfile.h"
#include "store/storedtext.h"
#include "tests/app/mainformfixture.h"

#include <QDir>

struct LaunchSettings
{
    QString user;
    QString password;
    QString server;
    QString login = QStringLiteral("Anonymous");
    QString browser;
    int language = 0;

    static LaunchSettings inLanguage(int language)
    {
        LaunchSettings s;
        s.language = language;
        return s;
    }
};

// Writes the settings file of `dataPath` (created when missing).
inline void writeSettingsFile(const QString &dataPath, const LaunchSettings &s)
{
    QDir().mkpath(dataPath);
    QStringList lines(kSettingsLineCount);
    lines[FontNameLine] = QStringLiteral("Courier New");
    lines[FontSizeLine] = QStringLiteral("9");
    lines[LineNumbersLine] = QStringLiteral("true");
    lines[FtpUserLine] = s.user;
    lines[FtpPasswordLine] = s.password;
    lines[FtpServerLine] = s.server;
    lines[FtpLoginLine] = s.login;
    lines[BrowserLine] = s.browser;
    lines[LanguageLine] = QString::number(s.language);
    lines[FlagLine] = QStringLiteral("true");
    QVERIFY(WriteStoredText(settingsFilePath(dataPath), lines));
}
