#pragma once
// The main window's help menu and update check: the help pages of the current language,
// the about box, and the update installer beside the program.
//
// TMainForm owns one and delegates to it:
//   Help1Click()               the contents page of the current help file (F1, Help1,
//                              ToolButton14).
//   ShowHelpTopic(topic)       a topic page of the current help file; topic 60 is the
//                              multi-file search page. Other windows ask for their page
//                              through TMainForm::ShowHelpTopic.
//   HelpAbout()                the about box with the program's version.
//   NachUpdatessuchen1Click()  starts "Install.exe" beside the program, elevated, with
//                              its six arguments; error message 14 when it cannot start;
//                              nothing when the installer is absent.
//   AutoUpdateCheck()          the same once at start, mode "default" and check "check".

#include <memory>

class Prompts;
class Shell;
class TAboutBox;
class THelpWindow;
class TMainForm;

class HelpCommands
{
public:
    HelpCommands(TMainForm &form, Prompts &prompts, Shell &shell);
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
    TMainForm &m_form;
    Prompts &m_prompts;
    Shell &m_shell;
    THelpWindow *m_helpWindow = nullptr; // owned by the main window
    TAboutBox *m_aboutBox = nullptr;     // owned by the main window
};
