#include "desktop/helpcommands.h"

#include "base/prompts.h"
#include "base/shell.h"
#include "desktop/aboutbox.h"
#include "desktop/helpwindow.h"
#include "desktop/productinfo.h"

#include <QFileInfo>
#include <QLabel>

HelpCommands::HelpCommands(Host host) : m_host(std::move(host)) {}

HelpCommands::~HelpCommands() = default;

void HelpCommands::Help1Click()
{
    ShowHelpTopic(0);
}

void HelpCommands::ShowHelpTopic(int topic)
{
    if (!m_helpWindow)
        m_helpWindow = new THelpWindow(*m_host.shell, m_host.window);
    // The help file follows the UI language; its name says which pages to show.
    const QString root = helpRootFolder(m_host.programFolder());
    const QString folder =
        root.isEmpty() ? QString() : root + u'/' + helpLanguageFolder(m_host.helpFile());
    m_helpWindow->ShowPage(folder, helpTopicPage(topic), m_host.uiLanguage());
}

void HelpCommands::HelpAbout()
{
    if (!m_aboutBox)
        m_aboutBox = new TAboutBox(*m_host.shell, m_host.window);
    m_aboutBox->LabelVersion->setText(GetFileVersionText(m_host.programFile()));
    m_aboutBox->ALanguage = m_host.uiLanguage();
    m_host.prompts->exec(*m_aboutBox);
}

void HelpCommands::NachUpdatessuchen1Click()
{
    const QString installer = m_host.programFolder() + QString::fromUtf16(kInstallerName);
    if (m_host.updateMode->isEmpty())
        *m_host.updateMode = QStringLiteral("default");
    const QStringList arguments = updateInstallerArguments(
        GetFileVersionText(m_host.programFile()), QFileInfo(m_host.programFile()).fileName(),
        m_host.uiLanguage(), *m_host.updateMode, *m_host.updateCheck);
    if (!QFileInfo(installer).isFile())
        return;
    if (!m_host.shell->startElevated(installer, arguments))
        m_host.prompts->message(Prompts::Icon::Error, QStringLiteral("Quillora"),
                                m_host.message(14));
}

void HelpCommands::AutoUpdateCheck()
{
    *m_host.updateMode = QStringLiteral("default");
    *m_host.updateCheck = QStringLiteral("check");
    NachUpdatessuchen1Click();
    m_host.updateMode->clear();
    m_host.updateCheck->clear();
}
