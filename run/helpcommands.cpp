#include "run/helpcommands.h"

#include "app/mainform.h"
#include "app/prompts.h"
#include "app/shell.h"
#include "run/aboutbox.h"
#include "run/helpwindow.h"
#include "run/productinfo.h"

#include <QFileInfo>
#include <QLabel>

HelpCommands::HelpCommands(TMainForm &form, Prompts &prompts, Shell &shell)
    : m_form(form), m_prompts(prompts), m_shell(shell)
{
}

HelpCommands::~HelpCommands() = default;

void HelpCommands::Help1Click()
{
    ShowHelpTopic(0);
}

void HelpCommands::ShowHelpTopic(int topic)
{
    if (!m_helpWindow)
        m_helpWindow = new THelpWindow(m_shell, &m_form);
    // The help file follows the UI language; its name says which pages to show.
    const QString root = helpRootFolder(m_form.ProgramFolder());
    const QString folder =
        root.isEmpty() ? QString() : root + u'/' + helpLanguageFolder(m_form.HelpFile());
    m_helpWindow->ShowPage(folder, helpTopicPage(topic), m_form.UiLanguage());
}

void HelpCommands::HelpAbout()
{
    if (!m_aboutBox)
        m_aboutBox = new TAboutBox(m_shell, &m_form);
    m_aboutBox->LabelVersion->setText(GetFileVersionText(m_form.ProgramFile()));
    m_aboutBox->ALanguage = m_form.UiLanguage();
    m_prompts.exec(*m_aboutBox);
}

void HelpCommands::NachUpdatessuchen1Click()
{
    const QString installer = m_form.ProgramFolder() + QString::fromUtf16(kInstallerName);
    if (m_form.UpdateMode.isEmpty())
        m_form.UpdateMode = QStringLiteral("default");
    const QStringList arguments = updateInstallerArguments(
        GetFileVersionText(m_form.ProgramFile()), QFileInfo(m_form.ProgramFile()).fileName(),
        m_form.UiLanguage(), m_form.UpdateMode, m_form.UpdateCheck);
    if (!QFileInfo(installer).isFile())
        return;
    if (!m_shell.startElevated(installer, arguments))
        m_prompts.message(Prompts::Icon::Error, QStringLiteral("Quillora"), m_form.Message(14));
}

void HelpCommands::AutoUpdateCheck()
{
    m_form.UpdateMode = QStringLiteral("default");
    m_form.UpdateCheck = QStringLiteral("check");
    NachUpdatessuchen1Click();
    m_form.UpdateMode.clear();
    m_form.UpdateCheck.clear();
}
