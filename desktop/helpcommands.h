#pragma once
// The main window's help menu and update check: the help pages of the current language,
// the about box, and where updates come from.
//
// TMainForm owns one and delegates to it; what the commands need of the window comes in
// through the Host:
//   Help1Click()               the contents page of the current help file (F1, Help1,
//                              ToolButton14).
//   ShowHelpTopic(topic)       a topic page of the current help file; topic 60 is the
//                              multi-file search page. Other windows ask for their page
//                              through TMainForm::ShowHelpTopic.
//   HelpAbout()                the about box with the program's version.
//   NachUpdatessuchen1Click()  says that updates come through the package manager and
//                              opens the product's news page; no installer is started.
//   AutoUpdateCheck()          the check at start: nothing (the package manager updates).

#include <QString>
#include <functional>

class Prompts;
class QWidget;
class Shell;
class TAboutBox;
class THelpWindow;

class HelpCommands
{
public:
    struct Host
    {
        // Parent of the help window and the about box, which it owns.
        QWidget *window = nullptr;
        Prompts *prompts = nullptr;
        Shell *shell = nullptr;
        // Message N of the UI language of the moment.
        std::function<QString(int number)> message;
        std::function<int()> uiLanguage;
        // The help file of the UI language; its name says which pages to show.
        std::function<QString()> helpFile;
        // The program file and its folder (ending with "/").
        std::function<QString()> programFile;
        std::function<QString()> programFolder;
        // The window's update mode and check, passed on to the installer.
        QString *updateMode = nullptr;
        QString *updateCheck = nullptr;
    };

    explicit HelpCommands(Host host);
    ~HelpCommands();

    void Help1Click();
    void ShowHelpTopic(int topic);
    void HelpAbout();
    void NachUpdatessuchen1Click();
    void AutoUpdateCheck();

    // Created at the first help request.
    THelpWindow *helpWindow() const { return m_helpWindow; }
    TAboutBox *aboutBox() const { return m_aboutBox; }

private:
    Host m_host;
    THelpWindow *m_helpWindow = nullptr; // owned by the main window
    TAboutBox *m_aboutBox = nullptr;     // owned by the main window
};
