#pragma once
// The help window: the HTML help pages of one language with back, forward and contents.
// It stays open beside the main window; links to other pages of the help open in it,
// addresses of other kinds (web pages, mail) are handed to the shell.

#include <QWidget>

class QAction;
class QTextBrowser;
class Shell;

class THelpWindow : public QWidget
{
    Q_OBJECT
public:
    explicit THelpWindow(Shell &shell, QWidget *parent = nullptr);

    // Shows `page` of the help folder `folder` (the pages of one language) and brings
    // the window to the front. A page that is not there is reported in the window.
    void ShowPage(const QString &folder, const QString &page, int language);

    QTextBrowser *browser() const { return m_browser; }
    // The page shown, as a local path; empty when none.
    QString currentPage() const;

private:
    void applyLanguage(int language);
    void openLink(const QUrl &url);

    Shell &m_shell;
    QTextBrowser *m_browser = nullptr;
    QAction *m_back = nullptr;
    QAction *m_forward = nullptr;
    QAction *m_contents = nullptr;
    QString m_folder;
};
