#include "desktop/launchcommands.h"

#include "base/prompts.h"
#include "base/shell.h"
#include "base/textrules.h"
#include "desktop/launchers.h"
#include "editor/synmemo.h"
#include "store/settingsfile.h"

void LaunchCommands::warn(int message)
{
    warnText(m_host.message(message));
}

void LaunchCommands::warnText(const QString &text)
{
    m_host.prompts->message(Prompts::Icon::Warning, QStringLiteral("Quillora"), text);
}

bool LaunchCommands::saveDocument()
{
    if (!m_host.save())
        return false;
    const QString name = m_host.fileName();
    return !isBlank(name) && name != m_host.message(0);
}

void LaunchCommands::OpenWithShell()
{
    if (m_host.editor->IsBlank()) {
        warn(3);
        return;
    }
    if (saveDocument())
        m_host.shell->openDocument(m_host.fileName());
}

void LaunchCommands::OpenInBrowser()
{
    if (!saveDocument())
        return;
    // A browser path of blanks only counts as set, but names no program: say so.
    const QString &browser = m_host.settings().browserPath;
    if (browser.isEmpty())
        OpenWithShell();
    else if (isBlank(browser) ||
             !m_host.shell->startProgram(browser, {browserFileAddress(m_host.fileName())}))
        warnText(browserNotStartedMessage(language()));
}

void LaunchCommands::ToolButton2Click()
{
    const Settings &settings = m_host.settings();
    if (!hasFtpLoginData(settings.ftpServer, settings.ftpLoginMode)) {
        warn(6);
        return;
    }
    if (!m_host.shell->openWithDesktopHandler(ftpAddress(settings.ftpServer, settings.ftpLoginMode,
                                                         settings.ftpUser, settings.ftpPassword)))
        warnText(noFtpHandlerMessage(language()));
}
