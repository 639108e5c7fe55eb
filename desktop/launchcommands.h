#pragma once
// The main window's launch commands: the document with its default program or in the
// browser, and the FTP server in the file manager. Every launch goes through the Shell
// seam with its arguments as a list, so names, passwords and addresses reach the
// launched program unchanged, whatever quotes, blanks or shell characters they hold.
//
// TMainForm owns one and delegates its handlers to it; everything the commands touch comes
// in through the Host, so they run in tests without the main window:
//   OpenWithShell()      blank document: warning with message 3; else save, then open
//                        the file with its default program. Also used by the script runner.
//   OpenInBrowser()      save, then start the configured browser with the file address,
//                        or OpenWithShell when no browser is configured; a browser path
//                        of blanks, or one that does not start, is reported.
//   ToolButton2Click()   hand the FTP address to the desktop's handler for ftp:// (a file
//                        manager through GVfs); warning with message 6 when server or
//                        login mode is missing, and a warning when no handler takes it.
// The commands that save first stop when the save leaves the document without a file on
// disk (the save dialog cancelled, the write failed): nothing is launched then.

#include <QString>
#include <functional>

class Prompts;
class Shell;
class TSynMemo;
struct Settings;

class LaunchCommands
{
public:
    struct Host
    {
        TSynMemo *editor = nullptr;
        Prompts *prompts = nullptr;
        Shell *shell = nullptr;
        // Message N of the UI language of the moment.
        std::function<QString(int number)> message;
        // Runs the main window's save command; false when it was cancelled or failed.
        std::function<bool()> save;
        // The document's file name (message 0 while it has none).
        std::function<QString()> fileName;
        std::function<const Settings &()> settings;
        // The UI language (0 German), for the texts past the message table.
        std::function<int()> language;
    };

    explicit LaunchCommands(Host host) : m_host(std::move(host)) {}

    void OpenWithShell();
    void OpenInBrowser();
    void ToolButton2Click();

private:
    // Runs the save command; true when the document now has a file of its own.
    bool saveDocument();
    void warn(int message);
    void warnText(const QString &text);
    int language() const { return m_host.language ? m_host.language() : 1; }

    Host m_host;
};
