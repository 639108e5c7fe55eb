#include "desktop/helpcommands.h"

#include "base/prompts.h"
#include "base/shell.h"
#include "desktop/aboutbox.h"
#include "desktop/helpwindow.h"
#include "desktop/productinfo.h"

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
    // On Linux the package manager brings updates; no installer is ever started, so no file
    // that happens to lie beside the program can run in its name.
    const int language = m_host.uiLanguage();
    m_host.prompts->message(Prompts::Icon::Information, QStringLiteral("Quillora"),
                            updateThroughPackagesMessage(language));
    m_host.shell->openDocument(productNewsPage(language));
}

void HelpCommands::AutoUpdateCheck()
{
    // Nothing at start: updates come through the package manager.
}
