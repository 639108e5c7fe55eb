#include "desktop/helpwindow.h"

#include "base/shell.h"
#include "desktop/productinfo.h"
#include "lang/messages.h"

#include <QAction>
#include <QFileInfo>
#include <QStyle>
#include <QTextBrowser>
#include <QToolBar>
#include <QUrl>
#include <QVBoxLayout>

THelpWindow::THelpWindow(Shell &shell, QWidget *parent)
    : QWidget(parent, Qt::Window), m_shell(shell)
{
    setObjectName(QStringLiteral("HelpWindow"));
    resize(760, 600);

    auto *toolBar = new QToolBar(this);
    toolBar->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    m_back = toolBar->addAction(style()->standardIcon(QStyle::SP_ArrowBack), QString());
    m_back->setObjectName(QStringLiteral("HelpBack"));
    m_back->setShortcut(QKeySequence::Back);
    m_forward = toolBar->addAction(style()->standardIcon(QStyle::SP_ArrowForward), QString());
    m_forward->setObjectName(QStringLiteral("HelpForward"));
    m_forward->setShortcut(QKeySequence::Forward);
    m_contents = toolBar->addAction(style()->standardIcon(QStyle::SP_DirHomeIcon), QString());
    m_contents->setObjectName(QStringLiteral("HelpContents"));
    m_contents->setShortcut(QKeySequence(Qt::ALT | Qt::Key_Home));

    m_browser = new QTextBrowser(this);
    m_browser->setObjectName(QStringLiteral("HelpBrowser"));
    m_browser->setOpenLinks(false);

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(toolBar);
    layout->addWidget(m_browser);

    m_back->setEnabled(false);
    m_forward->setEnabled(false);
    connect(m_back, &QAction::triggered, m_browser, &QTextBrowser::backward);
    connect(m_forward, &QAction::triggered, m_browser, &QTextBrowser::forward);
    connect(m_contents, &QAction::triggered, this,
            [this] { openLink(QUrl::fromLocalFile(m_folder + u'/' + helpTopicPage(0))); });
    connect(m_browser, &QTextBrowser::backwardAvailable, m_back, &QAction::setEnabled);
    connect(m_browser, &QTextBrowser::forwardAvailable, m_forward, &QAction::setEnabled);
    connect(m_browser, &QTextBrowser::anchorClicked, this, &THelpWindow::openLink);
    connect(m_browser, &QTextBrowser::sourceChanged, this, [this] {
        const QString title = m_browser->documentTitle();
        setWindowTitle(title.isEmpty() ? QStringLiteral("Quillora Pro")
                                       : QStringLiteral("Quillora Pro - ") + title);
    });
}

void THelpWindow::applyLanguage(int language)
{
    const bool german = isGerman(language);
    m_back->setText(german ? QStringLiteral("Zurück") : QStringLiteral("Back"));
    m_forward->setText(german ? QStringLiteral("Vor") : QStringLiteral("Forward"));
    m_contents->setText(german ? QStringLiteral("Inhalt") : QStringLiteral("Contents"));
}

void THelpWindow::ShowPage(const QString &folder, const QString &page, int language)
{
    applyLanguage(language);
    const QString path = folder + u'/' + page;
    if (folder.isEmpty() || !QFileInfo(path).isFile()) {
        m_folder.clear();
        m_browser->setHtml((isGerman(language)
                                ? QStringLiteral("<h2>Hilfeseite nicht gefunden</h2><p>%1</p>")
                                : QStringLiteral("<h2>Help page not found</h2><p>%1</p>"))
                               .arg(path.toHtmlEscaped()));
        m_browser->clearHistory();
    } else {
        const bool otherLanguage = folder != m_folder;
        m_folder = folder;
        m_browser->setSource(QUrl::fromLocalFile(path));
        // A new language starts a new history: back must not lead into the other one.
        if (otherLanguage)
            m_browser->clearHistory();
    }
    m_contents->setEnabled(!m_folder.isEmpty());
    setWindowState(windowState() & ~Qt::WindowMinimized);
    show();
    raise();
    activateWindow();
}

QString THelpWindow::currentPage() const
{
    return m_browser->source().isLocalFile() ? m_browser->source().toLocalFile() : QString();
}

void THelpWindow::openLink(const QUrl &url)
{
    const QUrl target = m_browser->source().resolved(url);
    if (target.isLocalFile() || target.scheme().isEmpty())
        m_browser->setSource(target);
    else
        m_shell.openDocument(target.toString());
}
