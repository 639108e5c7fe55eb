#include "app/mainform.h"

#include "app/commandtables.h"

#include "app/prompts.h"
#include "app/shell.h"
#include "app/toolbarimages.h"
#include "editor/completion.h"
#include "editor/highlighters.h"
#include "editor/synmemo.h"
#include "lang/messages.h"
#include "schemes/formgrid.h"
#include "schemes/proposalfiles.h"
#include "schemes/schemeswitcher.h"
#include "store/datafolder.h"
#include "store/formsetup.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QLinearGradient>
#include <QMenu>
#include <QMenuBar>
#include <QMimeData>
#include <QPainter>
#include <QPrinter>
#include <QRegularExpression>
#include <QScreen>
#include <QStatusBar>
#include <QStatusTipEvent>
#include <QTextCursor>
#include <QTextDocument>
#include <QToolBar>
#include <QToolButton>

namespace {

// The status bar's panels: width in pixels and alignment.
struct PanelSpec
{
    int width;
    Qt::Alignment alignment;
};
constexpr PanelSpec kPanels[] = {{120, Qt::AlignLeft | Qt::AlignVCenter},
                                 {60, Qt::AlignCenter},
                                 {60, Qt::AlignCenter},
                                 {420, Qt::AlignLeft | Qt::AlignVCenter},
                                 {40, Qt::AlignLeft | Qt::AlignVCenter}};

const QString kBoxTitle = QStringLiteral("Quillora");

// Fills the "%d" and "%3d" fields of a message from left to right.
QString formatMessage(QString format, std::initializer_list<int> values)
{
    static const QRegularExpression field(QStringLiteral("%(\\d*)d"));
    auto value = values.begin();
    qsizetype from = 0;
    while (value != values.end()) {
        const QRegularExpressionMatch match = field.match(format, from);
        if (!match.hasMatch())
            break;
        const int width = match.captured(1).toInt();
        const QString number = QStringLiteral("%1").arg(*value++, width);
        format.replace(match.capturedStart(), match.capturedLength(), number);
        from = match.capturedStart() + number.size();
    }
    return format;
}

} // namespace

// The toolbar's background: white at the top to light grey at the bottom.
class GradientToolBar : public QToolBar
{
public:
    using QToolBar::QToolBar;

protected:
    void paintEvent(QPaintEvent *) override
    {
        QPainter painter(this);
        QLinearGradient gradient(0, 0, 0, height());
        gradient.setColorAt(0, Qt::white);
        gradient.setColorAt(1, QColor(207, 207, 207));
        painter.fillRect(rect(), gradient);
    }
};

// ---- creation ----

TMainForm::TMainForm(Prompts &prompts, Shell &shell, const QStringList &arguments,
                     const QString &dataPath, QWidget *parent)
    : QMainWindow(parent), m_prompts(prompts), m_shell(shell), m_arguments(arguments),
      m_dataPath(dataPath)
{
    setObjectName(QStringLiteral("MainForm"));
    setWindowTitle(QStringLiteral("Quillora Pro"));
    resize(783, 483);

    SynMemo1 = new TSynMemo(this);
    SynMemo1->setObjectName(QStringLiteral("SynMemo1"));
    setCentralWidget(SynMemo1);
    SynMemo1->SetRightEdge(90);
    SynMemo1->setTabWidth(3);
    SynMemo1->setIndentationsUseTabs(false);
    SynMemo1->setAutoIndent(true);
    SynMemo1->setTabIndents(true);
    SynMemo1->setBackspaceUnindents(true);
    SynMemo1->setExtraAscent(1);
    SynMemo1->setContextMenuPolicy(Qt::CustomContextMenu);
    SynMemo1->installEventFilter(this);

    buildActions();
    buildMenus();
    buildToolBar();
    buildContextMenu();
    buildStatusBar();
    buildSchemes();

    connect(SynMemo1, &TSynMemo::OnChange, this, &TMainForm::SynMemo1Change);
    connect(SynMemo1, &TSynMemo::OnClick, this, &TMainForm::SynMemo1Click);
    connect(SynMemo1, &TSynMemo::OnKeyUp, this, &TMainForm::SynMemo1KeyUp);
    connect(SynMemo1, &QWidget::customContextMenuRequested, this,
            [this](const QPoint &at) { m_popupMenu->popup(SynMemo1->mapToGlobal(at)); });
    Memo1.setOnChange([this] { SynMemo1Change(); });
    m_formSetup = new TFormSetup(m_prompts, this);
    m_formGrid = new TFormGrid(m_prompts, this);

    FormCreate();
}

TMainForm::~TMainForm() = default;

void TMainForm::FormCreate()
{
    m_programFolder = QCoreApplication::applicationDirPath() + u'/';
    if (!m_arguments.isEmpty())
        m_programFolder = folderPart(QFileInfo(m_arguments.first()).absoluteFilePath()) + u'/';
    // No message table is loaded yet: the name starts empty and the list stays as it is.
    SetFileName(Message(0));
    if (const QScreen *screen = QGuiApplication::primaryScreen();
        screen && screen->geometry().width() > 1000)
        resize(1000, 700);
    setAcceptDrops(true);
}

QAction *TMainForm::makeAction(const QString &name, const std::function<void()> &handler)
{
    auto *action = new QAction(this);
    action->setObjectName(name);
    if (handler)
        connect(action, &QAction::triggered, this, handler);
    m_actions.insert(name, action);
    return action;
}

void TMainForm::buildActions()
{
    const auto add = [this](const TMainForm::Command &row) {
        if (row.name == kSeparator)
            return;
        QAction *action =
            makeAction(QString::fromLatin1(row.name),
                       row.run ? std::function<void()>([this, run = row.run] { run(*this); })
                               : std::function<void()>());
        if (row.shortcut)
            action->setShortcut(QKeySequence(QString::fromLatin1(row.shortcut)));
        if (row.image != kNoImage)
            action->setIcon(toolbarImage(row.image));
    };
    for (const MenuSpec &spec : mainMenus()) {
        for (const TMainForm::Command &row : spec.items)
            add(row);
    }
    for (const TMainForm::Command &row : toolBarCommands())
        add(row);
    for (const TMainForm::Command &row : contextMenuCommands())
        add(row);
    for (int n = 0; n < TSynMemo::kBookmarkCount; ++n) {
        makeAction(bookmarkItemName(n, false), {});
        makeAction(bookmarkItemName(n, true), {});
    }
}

void TMainForm::buildMenus()
{
    for (const MenuSpec &spec : mainMenus()) {
        QMenu *menu = menuBar()->addMenu(QString());
        menu->setObjectName(QString::fromLatin1(spec.name));
        m_menus.insert(menu->objectName(), menu);
        for (const TMainForm::Command &row : spec.items) {
            if (row.name == kSeparator) {
                menu->addSeparator();
                continue;
            }
            QAction *item = action(QString::fromLatin1(row.name));
            if (item->objectName() == u"SelectSyntaxscheme1") {
                QMenu *schemes = new QMenu(menu);
                schemes->setObjectName(QStringLiteral("SelectSyntaxschemeMenu"));
                item->setMenu(schemes);
                m_menus.insert(schemes->objectName(), schemes);
            }
            menu->addAction(item);
        }
    }
    action(QStringLiteral("DelLast"))->setVisible(false);
    action(QStringLiteral("NachUpdatessuchen1"))->setVisible(false);
    for (const char *name : {"file11", "file21", "file31", "file41"})
        action(QString::fromLatin1(name))->setVisible(false);
}

void TMainForm::buildToolBar()
{
    m_toolBar = new GradientToolBar(this);
    addToolBar(m_toolBar);
    m_toolBar->setObjectName(QStringLiteral("StandardToolBar"));
    m_toolBar->setMovable(false);
    m_toolBar->setIconSize(QSize(16, 16));
    auto *indent = new QWidget(m_toolBar); // the buttons start 20 pixels in
    indent->setFixedWidth(14);
    m_toolBar->addWidget(indent);
    for (const TMainForm::Command &row : toolBarCommands()) {
        if (row.name == kSeparator) {
            m_toolBar->addSeparator();
            continue;
        }
        QAction *button = action(QString::fromLatin1(row.name));
        m_toolBar->addAction(button);
        m_toolBar->widgetForAction(button)->setObjectName(button->objectName());
    }
    setWordWrapImage(kImageWrapOff);
}

void TMainForm::buildContextMenu()
{
    m_popupMenu = new QMenu(this);
    m_popupMenu->setObjectName(QStringLiteral("PopupMenu1"));
    for (const TMainForm::Command &row : contextMenuCommands()) {
        if (row.name == kSeparator) {
            m_popupMenu->addSeparator();
            continue;
        }
        QAction *item = action(QString::fromLatin1(row.name));
        const bool setMenu = item->objectName() == u"Lesezeichensetzen1";
        if (setMenu || item->objectName() == u"GehezuLesezeichen1") {
            QMenu *sub = new QMenu(m_popupMenu);
            for (int n = 0; n < TSynMemo::kBookmarkCount; ++n)
                sub->addAction(action(bookmarkItemName(n, !setMenu)));
            item->setMenu(sub);
        }
        m_popupMenu->addAction(item);
    }
}

void TMainForm::buildStatusBar()
{
    statusBar()->setObjectName(QStringLiteral("StatusBar"));
    QFont small = statusBar()->font();
    small.setPointSize(8);
    statusBar()->setFont(small);
    for (const PanelSpec &spec : kPanels) {
        auto *panel = new QLabel(statusBar());
        const bool last = m_panels.size() == std::size(kPanels) - 1;
        // The last panel reaches to the right edge, as status bars do.
        if (last)
            panel->setMinimumWidth(spec.width);
        else
            panel->setFixedWidth(spec.width);
        panel->setAlignment(spec.alignment);
        panel->setFrameShape(QFrame::Panel);
        panel->setFrameShadow(QFrame::Sunken);
        // Normal widgets: a hint hides them and they come back with their texts.
        statusBar()->addWidget(panel, last ? 1 : 0);
        m_panels.append(panel);
    }
    // The length panel grows past its design width for a number that needs it.
    m_panels[1]->setMinimumWidth(kPanels[1].width);
    m_panels[1]->setMaximumWidth(QWIDGETSIZE_MAX);
    m_panels[1]->setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Preferred);
}

QToolButton *TMainForm::toolButton(const QString &name) const
{
    return qobject_cast<QToolButton *>(m_toolBar->widgetForAction(action(name)));
}

QString TMainForm::panelText(int panel) const
{
    return m_panels.value(panel) ? m_panels[panel]->text() : QString();
}

int TMainForm::panelWidth(int panel) const
{
    return m_panels.value(panel) ? m_panels[panel]->width() : 0;
}

void TMainForm::setPanelText(int panel, const QString &text)
{
    if (QLabel *label = m_panels.value(panel))
        label->setText(text);
}

QString TMainForm::Message(int number) const
{
    return m_languageApplied ? messageText(m_settings.language, number) : QString();
}

// ---- start ----

void TMainForm::showEvent(QShowEvent *event)
{
    QMainWindow::showEvent(event);
    if (!m_shown) {
        m_shown = true;
        FormShow();
    }
}

void TMainForm::FormShow()
{
    m_settings.flag = true;
    UpdateMode.clear();
    UpdateCheck.clear();
    ClearRecentFiles();
    setWordWrapImage(SynMemo1->WordWrap() ? kImageWrapOn : kImageWrapOff);
    if (const QScreen *screen = QGuiApplication::primaryScreen())
        SynMemo1->SetMaxScrollWidth(screen->geometry().width() - 50);
    m_settings.colours = kDefaultColours;

    if (m_dataPath.isEmpty())
        m_dataPath = dataFolder();
    if (const FileResult created = ensureDataFolder(m_dataPath); !created) {
        showFileError(m_dataPath, created.error);
        close();
        return;
    }
    // A fresh data folder gets the shipped proposal pairs; a user's own pair stays.
    installStarterProposals(starterProposalFolder(QCoreApplication::applicationDirPath()),
                            m_dataPath);
    m_helpFile = m_programFolder + helpFileName(1);
    ReadSettings();
    ApplyLanguage();
    ShowCaretPosition();
    SynMemo1->setFocus();
    if (m_arguments.size() > 1 && QFileInfo(m_arguments[1]).isFile())
        PerformFileOpen(QFileInfo(m_arguments[1]).absoluteFilePath());
    LoadRecentFiles();
    setAcceptDrops(true);
    action(QStringLiteral("NachUpdatessuchen1"))->setVisible(true);
}

// ---- language ----

void TMainForm::ApplyLanguage()
{
    const int language = m_settings.language;
    m_helpFile = m_programFolder + helpFileName(language);
    m_saveFirstMessage = saveFirstMessage(language);
    m_languageApplied = true;
    m_bookmarkWord = messageText(language, 84);

    const auto caption = [&](const TMainForm::Command &row, bool asHint) {
        if (row.name == kSeparator || row.message == kNoMessage)
            return;
        QAction *item = action(QString::fromLatin1(row.name));
        const QString text = messageText(language, row.message);
        if (asHint) {
            item->setText(text);
            item->setToolTip(text);
            item->setStatusTip(text);
        } else {
            item->setText(text);
        }
    };
    for (const TMainForm::Command &row : toolBarCommands())
        caption(row, true);
    for (const MenuSpec &spec : mainMenus()) {
        m_menus.value(QString::fromLatin1(spec.name))
            ->setTitle(messageText(language, spec.message));
        for (const TMainForm::Command &row : spec.items)
            caption(row, false);
    }
    for (const TMainForm::Command &row : contextMenuCommands())
        caption(row, false);
    for (int n = 0; n < TSynMemo::kBookmarkCount; ++n) {
        action(bookmarkItemName(n, false))->setText(m_bookmarkWord + QString::number(n));
        action(bookmarkItemName(n, true))->setText(m_bookmarkWord + QString::number(n));
    }
}

void TMainForm::Deutsch1Click()
{
    m_settings.language = 0;
    ApplyLanguage();
    UpdateSettingsFile();
}

void TMainForm::Englisch1Click()
{
    m_settings.language = 1;
    ApplyLanguage();
    UpdateSettingsFile();
}

// ---- status bar ----

void TMainForm::ShowCaretPosition()
{
    setPanelText(0, formatMessage(Message(2), {SynMemo1->CaretY(), SynMemo1->CaretX()}));
}

void TMainForm::SynMemo1Change()
{
    setPanelText(1, QString::number(SynMemo1->TextLength()));
}

void TMainForm::SynMemo1Click()
{
    ShowCaretPosition();
}

void TMainForm::SynMemo1KeyUp(int key, Qt::KeyboardModifiers modifiers)
{
    m_schemes->SynMemo1KeyUp(key, modifiers);
}

void TMainForm::ShowHint(const QString &hint)
{
    if (hint.isEmpty())
        statusBar()->clearMessage();
    else
        statusBar()->showMessage(hint);
}

bool TMainForm::event(QEvent *event)
{
    if (event->type() == QEvent::StatusTip) {
        ShowHint(static_cast<QStatusTipEvent *>(event)->tip());
        return true;
    }
    return QMainWindow::event(event);
}

bool TMainForm::eventFilter(QObject *watched, QEvent *event)
{
    // The right margin follows the editor's own size, which the layout settles after
    // the window's resize.
    if (watched == SynMemo1 && event->type() == QEvent::Resize)
        SynMemo1->SetRightEdge(SynMemo1->CharsInWindow() - 1);
    // The window sees key presses before the editor: F1 opens help with any modifier.
    if (event->type() == QEvent::KeyPress && static_cast<QKeyEvent *>(event)->key() == Qt::Key_F1) {
        action(QStringLiteral("Help1"))->trigger();
        return true;
    }
    return QMainWindow::eventFilter(watched, event);
}

// ---- window size, word wrap ----

void TMainForm::resizeEvent(QResizeEvent *event)
{
    QMainWindow::resizeEvent(event);
    FormResize();
}

void TMainForm::FormResize()
{
    SynMemo1->SetRightEdge(SynMemo1->CharsInWindow() - 1);
    const int width = frameGeometry().width();
    if (width > 950)
        m_panels[3]->setFixedWidth(width - 530);
}

void TMainForm::setWordWrapImage(int image)
{
    m_wordWrapImage = image;
    action(QStringLiteral("ToolButton3"))->setIcon(toolbarImage(image));
}

void TMainForm::ToolButton3Click()
{
    const bool on = !SynMemo1->WordWrap();
    SynMemo1->SetWordWrap(on);
    setWordWrapImage(on ? kImageWrapOn : kImageWrapOff);
}

// ---- closing ----

void TMainForm::ToolButton17Click()
{
    close();
}

void TMainForm::FileExit()
{
    close();
}

void TMainForm::closeEvent(QCloseEvent *event)
{
    if (!FormCloseQuery()) {
        event->ignore();
        return;
    }
    FormClose();
    event->accept();
}

bool TMainForm::FormCloseQuery()
{
    if (!AskSaveChanges())
        return false;
    SynMemo1->SetHighlighter(nullptr);
    return true;
}

void TMainForm::FormClose()
{
    SaveRecentFiles();
}

// ---- dropped files ----

void TMainForm::dragEnterEvent(QDragEnterEvent *event)
{
    for (const QUrl &url : event->mimeData()->urls()) {
        if (url.isLocalFile()) {
            event->acceptProposedAction();
            return;
        }
    }
}

void TMainForm::dropEvent(QDropEvent *event)
{
    for (const QUrl &url : event->mimeData()->urls()) {
        if (url.isLocalFile()) {
            event->acceptProposedAction();
            openDroppedFile(url.toLocalFile());
            return;
        }
    }
}

void TMainForm::openDroppedFile(const QString &path)
{
    if (AskSaveChanges())
        PerformFileOpen(path);
}

// ---- settings ----

void TMainForm::applySettingsToEditor()
{
    QFont font = SynMemo1->EditorFont();
    font.setFamily(m_settings.fontName);
    font.setPointSize(qBound(1, m_settings.fontSize, 500));
    SynMemo1->SetEditorFont(font);
    SynMemo1->SetShowLineNumbers(m_settings.lineNumbers);
}

void TMainForm::Settings2Click()
{
    m_formSetup->IPfad = m_dataPath;
    m_formSetup->SLanguage = m_settings.language;
    m_formSetup->FSize = SynMemo1->EditorFont().pointSize();
    m_formSetup->EditFont->setText(SynMemo1->EditorFont().family());
    // After OK and after Cancel alike the settings file is read again.
    if (m_formSetup->Execute())
        ReadSettings();
}

void TMainForm::ReadSettings()
{
    const SettingsReadResult read = ReadSettingsFile(m_dataPath, m_settings, SystemLanguageName());
    applySettingsToEditor();
    if (read.status == SettingsRead::Corrupted) {
        m_prompts.message(Prompts::Icon::Warning, kBoxTitle,
                          QString::fromUtf16(kSettingsCorruptedText));
        return;
    }
    if (read.status == SettingsRead::Read)
        Memo1.Clear();
    SetHColors();
}

void TMainForm::UpdateSettingsFile()
{
    const SettingsUpdate update = ::UpdateSettingsFile(m_dataPath, m_settings);
    if (!update.read)
        showFileError(settingsFilePath(m_dataPath), update.read.error);
}

// ---- schemes ----

void TMainForm::buildSchemes()
{
    m_highlighters = new Highlighters(this);
    SynCompletionProposal1 = new TSynCompletionProposal(this);
    SchemeSwitcher::Host host;
    host.editor = SynMemo1;
    host.completion = SynCompletionProposal1;
    host.highlighters = m_highlighters;
    host.dataFolder = [this] { return m_dataPath; };
    host.itemFile = &ItemFile;
    host.insFile = &InsFile;
    host.setPanelText = [this](int panel, const QString &text) { setPanelText(panel, text); };
    host.proposalHint = [this] { return Message(85); };
    host.colours = [this] { return m_settings.colours; };
    host.showFileError = [this](const QString &path, const QString &error) {
        showFileError(path, error);
    };
    host.showCaretPosition = [this] { ShowCaretPosition(); };
    // A key release that leaves the text blank starts a new document: nothing to save.
    host.fileNew = [this] { clearDocument(); };
    m_schemes = new SchemeSwitcher(std::move(host), this);

    // The scheme submenu: captions are the same in both languages.
    QMenu *menu = m_menus.value(QStringLiteral("SelectSyntaxschemeMenu"));
    for (const SchemeEntry &entry : schemeCatalogue()) {
        if (entry.menuItem.isEmpty() && entry.scheme != Scheme::None)
            continue;
        if (entry.scheme == Scheme::None)
            menu->addSeparator();
        const QString name =
            entry.scheme == Scheme::None ? QStringLiteral("None1") : entry.menuItem.toString();
        QAction *item =
            makeAction(name, [this, scheme = entry.scheme] { SchemeMenuClick(scheme); });
        item->setText(entry.scheme == Scheme::None ? QStringLiteral("None")
                                                   : entry.menuCaption.toString());
        menu->addAction(item);
    }
}

bool TMainForm::IsHTML(const QString &fileName)
{
    return m_schemes->IsHTML(fileName);
}

void TMainForm::SetHColors()
{
    m_schemes->SetHColors();
}

void TMainForm::Editcodeproposals1Click()
{
    if (!ItemFile.isEmpty() && !InsFile.isEmpty()) {
        m_formGrid->FItems = ItemFile;
        m_formGrid->FInserts = InsFile;
        m_formGrid->PLanguage = panelText(2);
    }
    m_formGrid->DataPath = m_dataPath;
    m_formGrid->GLanguage = m_settings.language;
    m_formGrid->Execute();
    // The pair may have changed: choose the scheme again and reload its proposals.
    IsHTML(m_fileName);
}

void TMainForm::SchemeMenuClick(Scheme scheme)
{
    m_schemes->MenuClick(scheme);
}
