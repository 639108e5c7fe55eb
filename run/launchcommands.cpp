#include "run/launchcommands.h"

#include "app/mainform.h"
#include "app/prompts.h"
#include "app/shell.h"
#include "app/textrules.h"
#include "editor/synmemo.h"
#include "run/launchers.h"

void LaunchCommands::warn(int message)
{
    m_prompts.message(Prompts::Icon::Warning, QStringLiteral("Quillora"), m_form.Message(message));
}

bool LaunchCommands::saveDocument()
{
    const TMainForm::SaveOutcome saved = m_form.FileSave();
    if (saved == TMainForm::SaveOutcome::Cancelled || saved == TMainForm::SaveOutcome::Failed)
        return false;
    const QString &name = m_form.FFileName();
    return !isBlank(name) && name != m_form.Message(0);
}

void LaunchCommands::OpenWithShell()
{
    if (isBlank(m_form.SynMemo1->Text())) {
        warn(3);
        return;
    }
    if (saveDocument())
        m_shell.openDocument(m_form.FFileName());
}

void LaunchCommands::OpenInBrowser()
{
    if (!saveDocument())
        return;
    // A browser path of blanks only counts as set: the shell is asked to start it.
    const QString &browser = m_form.settings().browserPath;
    if (!browser.isEmpty())
        m_shell.startProgram(browser, {browserFileAddress(m_form.FFileName())});
    else
        OpenWithShell();
}

void LaunchCommands::ToolButton2Click()
{
    const Settings &settings = m_form.settings();
    if (!hasFtpLoginData(settings.ftpServer, settings.ftpLoginMode)) {
        warn(6);
        return;
    }
    m_shell.openDocument(ftpAddress(settings.ftpServer, settings.ftpLoginMode, settings.ftpUser,
                                    settings.ftpPassword));
}
