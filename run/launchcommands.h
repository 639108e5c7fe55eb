#pragma once
// The main window's launch commands: the document with its default program or in the
// browser, and the FTP server in the file manager. Every launch goes through the Shell
// seam with its arguments as a list, so names, passwords and addresses reach the
// launched program unchanged, whatever quotes, blanks or shell characters they hold.
//
// TMainForm owns one and delegates its handlers to it:
//   OpenWithShell()      blank document: warning with message 3; else save, then open
//                        the file with its default program. Also used by the script runner.
//   OpenInBrowser()      save, then start the configured browser with the file address,
//                        or OpenWithShell when no browser is configured.
//   ToolButton2Click()   open the FTP address with its default handler (the file manager);
//                        warning with message 6 when server or login mode is missing.
// The commands that save first stop when the save leaves the document without a file on
// disk (the save dialog cancelled, the write failed): nothing is launched then.

class Prompts;
class Shell;
class TMainForm;

class LaunchCommands
{
public:
    LaunchCommands(TMainForm &form, Prompts &prompts, Shell &shell)
        : m_form(form), m_prompts(prompts), m_shell(shell)
    {
    }

    void OpenWithShell();
    void OpenInBrowser();
    void ToolButton2Click();

private:
    // Runs the save command; true when the document now has a file of its own.
    bool saveDocument();
    void warn(int message);

    TMainForm &m_form;
    Prompts &m_prompts;
    Shell &m_shell;
};
