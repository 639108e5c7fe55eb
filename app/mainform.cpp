#include "app/mainform.h"
#include "base/windowgradient.h"

#include "app/commandtables.h"

#include "base/prompts.h"
#include "base/shell.h"
#include "base/themeimages.h"
#include "base/toolbarimages.h"
#include "desktop/helpcommands.h"
#include "desktop/launchcommands.h"
#include "desktop/launchers.h"
#include "editor/completion.h"
#include "editor/highlighters.h"
#include "editor/synmemo.h"
#include "lang/commandtexts.h"
#include "lang/messages.h"
#include "lang/mnemonics.h"
#include "lang/qttranslations.h"
#include "run/macrocommands.h"
#include "run/scriptrunner.h"
#include "schemes/commentmarkers.h"
#include "schemes/formgrid.h"
#include "schemes/proposalfiles.h"
#include "schemes/schemecatalogue.h"
#include "schemes/schemeswitcher.h"
#include "store/datafolder.h"
#include "store/documentguard.h"
#include "store/formsetup.h"
#include "texttools/documentformat.h"
#include "texttools/documenttools.h"
#include "texttools/editorview.h"
#include "texttools/findreplace.h"
#include "texttools/formfiles.h"
#include "texttools/linecommands.h"
#include "texttools/occurrencemarker.h"

#include <QAction>
#include <QActionGroup>
#include <QApplication>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QKeyEvent>
#include <QLabel>
#include <QLayout>
#include <QLineEdit>
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
#include <QTimer>
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
// Whether unsaved edits are journaled for crash recovery.
const QString kJournalKey = QStringLiteral("recovery.journal");

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
    void paintEvent(QPaintEvent *) override { paintWindowGradient(*this); }
};

// ---- creation ----

TMainForm::TMainForm(Prompts &prompts, Shell &shell, const QStringList &arguments,
                     const QString &dataPath, QWidget *parent)
    : QMainWindow(parent), m_prompts(prompts), m_shell(shell), m_arguments(arguments),
      m_dataPath(dataPath)
{
    setObjectName(QStringLiteral("MainForm"));
    setWindowTitle(QStringLiteral("Quillora Pro"));
    setWindowIcon(programIcon());
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

    buildActions();
    buildMenus();
    buildToolBar();
    buildContextMenu();
    buildStatusBar();
    buildSchemes();

    // F1 opens help from every part of the window, its open menus included; the filter
    // sees the editor's resizes too.
    qApp->installEventFilter(this);
    // F10 opens the first menu, as on other desktops.
    QAction *openMenu = makeAction(QStringLiteral("OpenFirstMenu"), [this] {
        menuBar()->setActiveAction(menuBar()->actions().value(0));
    });
    openMenu->setShortcut(QKeySequence(Qt::Key_F10));
    addAction(openMenu);

    connect(SynMemo1, &TSynMemo::OnChange, this, &TMainForm::SynMemo1Change);
    connect(SynMemo1, &TSynMemo::OnClick, this, &TMainForm::SynMemo1Click);
    // Every caret move, by the user or by a command (open, go to line, find, a script's
    // error), shows in the caret panel.
    connect(SynMemo1, &QsciScintilla::cursorPositionChanged, this, &TMainForm::ShowCaretPosition);
    connect(SynMemo1, &TSynMemo::OnKeyUp, this, &TMainForm::SynMemo1KeyUp);
    connect(SynMemo1, &QWidget::customContextMenuRequested, this,
            [this](const QPoint &at) { m_popupMenu->popup(SynMemo1->mapToGlobal(at)); });
    Memo1.setOnChange([this] { SynMemo1Change(); });
    m_formSetup = new TFormSetup(m_prompts, this);
    m_formGrid = new TFormGrid(m_prompts, this);
    buildDesktopCommands();
    m_findReplace = new EditorFindReplace(*SynMemo1, m_prompts, this,
                                          {kBoxTitle, [this] { return Message(4); }});
    buildScriptRunner();
    buildMacros();
    buildTextTools();
    buildView();
    buildDocumentGuard();

    FormCreate();
}

TMainForm::~TMainForm() = default;

void TMainForm::buildDesktopCommands()
{
    LaunchCommands::Host launch;
    launch.editor = SynMemo1;
    launch.prompts = &m_prompts;
    launch.shell = &m_shell;
    launch.message = [this](int number) { return Message(number); };
    launch.save = [this] {
        const SaveOutcome saved = FileSave();
        return saved != SaveOutcome::Cancelled && saved != SaveOutcome::Failed;
    };
    launch.fileName = [this] { return m_fileName; };
    launch.settings = [this]() -> const Settings & { return m_settings; };
    launch.language = [this] { return UiLanguage(); };
    m_launch = std::make_unique<LaunchCommands>(std::move(launch));

    HelpCommands::Host help;
    help.window = this;
    help.prompts = &m_prompts;
    help.shell = &m_shell;
    help.message = [this](int number) { return Message(number); };
    help.uiLanguage = [this] { return UiLanguage(); };
    help.helpFile = [this] { return m_helpFile; };
    help.programFile = [this] { return m_programFile; };
    help.programFolder = [this] { return m_programFolder; };
    help.updateMode = &UpdateMode;
    help.updateCheck = &UpdateCheck;
    m_help = std::make_unique<HelpCommands>(std::move(help));
}

void TMainForm::FormCreate()
{
    m_programFile = m_arguments.isEmpty() ? QCoreApplication::applicationFilePath()
                                          : QFileInfo(m_arguments.first()).absoluteFilePath();
    m_programFolder = folderPart(m_programFile) + u'/';
    // No message table is loaded yet: the name starts empty and the list stays as it is.
    SetFileName(Message(0));
    if (const QScreen *screen = QGuiApplication::primaryScreen()) {
        if (screen->geometry().width() > 1000)
            resize(1000, 700);
        // Centred on the screen's free area.
        QRect frame(QPoint(), size());
        frame.moveCenter(screen->availableGeometry().center());
        move(frame.topLeft());
    }
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
        if (row.shortcut) {
            const QKeySequence keys(QString::fromLatin1(row.shortcut));
            action->setShortcut(keys);
            // The editor would take the key for a binding of its own (Ctrl+/, Ctrl+D).
            SynMemo1->ReleaseKey(keys);
        }
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
        makeAction(bookmarkItemName(n, false), [this, n] { SetBookmarkClick(n); });
        makeAction(bookmarkItemName(n, true), [this, n] { GotoBookmarkClick(n); });
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
            const bool save = item->objectName() == u"SaveWithEncoding1";
            if (save || item->objectName() == u"ReopenWithEncoding1")
                item->setMenu(buildEncodingMenu(menu, save));
            menu->addAction(item);
        }
    }
    action(QStringLiteral("DelLast"))->setVisible(false);
    action(QStringLiteral("NachUpdatessuchen1"))->setVisible(false);
    for (const char *name : {"file11", "file21", "file31", "file41"})
        action(QString::fromLatin1(name))->setVisible(false);
}

QMenu *TMainForm::buildEncodingMenu(QMenu *parent, bool save)
{
    QMenu *menu = new QMenu(parent);
    menu->setObjectName(save ? QStringLiteral("SaveWithEncodingMenu")
                             : QStringLiteral("ReopenWithEncodingMenu"));
    m_menus.insert(menu->objectName(), menu);
    for (const TextEncoding encoding : allEncodings()) {
        // A mark is taken as found when the file is read: no reopen "with mark".
        if (!save && encoding == TextEncoding::Utf8WithMark)
            continue;
        QAction *item =
            makeAction(DocumentFormat::itemName(save, encoding), [this, save, encoding] {
                if (save)
                    SaveWithEncodingClick(encoding);
                else
                    ReopenWithEncodingClick(encoding);
            });
        setCaption(item, encodingName(encoding));
        menu->addAction(item);
    }
    return menu;
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

void TMainForm::buildView()
{
    EditorView::Host host;
    host.prompts = &m_prompts;
    host.language = [this] { return m_settings.language; };
    host.preferences = [this]() -> Preferences & { return m_preferences; };
    host.savePreferences = [this] { savePreferences(); };
    host.showZoom = [this](const QString &text) {
        m_zoomPanel->setText(text);
        m_zoomPanel->setVisible(!text.isEmpty());
        FormResize();
    };
    host.action = [this](const QString &name) { return action(name); };
    m_view = new EditorView(*SynMemo1, std::move(host), this);
    m_lineCommands = new LineCommands(
        *SynMemo1,
        [this] { return commentMarkerOfHighlighter(highlighterName(SynMemo1->Highlighter())); },
        this);
    new OccurrenceMarker(*SynMemo1, this);
    DocumentFormat::Host format;
    format.action = [this](const QString &name) { return action(name); };
    format.changed = [this] {
        m_formatPanel->setText(m_format->statusText(m_settings.language));
        FormResize();
    };
    format.fileName = [this] {
        return m_fileName == Message(0) || isBlank(m_fileName) ? QString() : m_fileName;
    };
    format.mayReplace = [this] { return AskSaveChanges(); };
    format.reopen = [this](TextEncoding encoding) {
        const bool read = PerformFileOpen(m_fileName, encoding);
        SetHColors();
        SynMemo1Change();
        return read;
    };
    format.save = [this] { return FileSave() == SaveOutcome::Saved; };
    format.warn = [this](const QString &text) {
        m_prompts.message(Prompts::Icon::Warning, QStringLiteral("Quillora"), text);
    };
    format.language = [this] { return m_settings.language; };
    m_format = new DocumentFormat(*SynMemo1, std::move(format), this);
    // Ctrl+= is where most keyboards have the plus sign.
    action(QStringLiteral("ZoomIn1"))
        ->setShortcuts(
            {QKeySequence(QStringLiteral("Ctrl++")), QKeySequence(QStringLiteral("Ctrl+="))});
}

void TMainForm::MatchingBrace1Click()
{
    m_view->GoToMatchingBrace();
}

void TMainForm::ShowWhitespace1Click()
{
    m_view->ToggleWhitespace();
}

void TMainForm::ShowLineEnds1Click()
{
    m_view->ToggleLineEnds();
}

void TMainForm::IndentGuides1Click()
{
    m_view->ToggleIndentGuides();
}

void TMainForm::LongLineMarker1Click()
{
    m_view->AskLongLineColumn();
}

void TMainForm::FoldMargin1Click()
{
    m_view->ToggleFoldMargin();
}

void TMainForm::FoldAll1Click()
{
    m_view->FoldAll();
}

void TMainForm::UnfoldAll1Click()
{
    m_view->UnfoldAll();
}

void TMainForm::ZoomIn1Click()
{
    m_view->ZoomIn();
}

void TMainForm::ZoomOut1Click()
{
    m_view->ZoomOut();
}

void TMainForm::ZoomReset1Click()
{
    m_view->ZoomReset();
}

void TMainForm::ToggleComment1Click()
{
    m_lineCommands->ToggleComment();
}

void TMainForm::DuplicateLine1Click()
{
    m_lineCommands->Duplicate();
}

void TMainForm::MoveLineUp1Click()
{
    m_lineCommands->MoveUp();
}

void TMainForm::MoveLineDown1Click()
{
    m_lineCommands->MoveDown();
}

void TMainForm::DeleteLine1Click()
{
    m_lineCommands->DeleteLines();
}

void TMainForm::LineBreaks1Click(LineBreak lineBreak)
{
    m_format->SetLineBreak(lineBreak);
}

void TMainForm::ReopenWithEncodingClick(TextEncoding encoding)
{
    m_format->ReopenWithEncoding(encoding);
}

void TMainForm::SaveWithEncodingClick(TextEncoding encoding)
{
    m_format->SaveWithEncoding(encoding);
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
    m_formatPanel = new QLabel(statusBar());
    m_formatPanel->setObjectName(QStringLiteral("FormatPanel"));
    m_formatPanel->setFrameShape(QFrame::Panel);
    m_formatPanel->setFrameShadow(QFrame::Sunken);
    statusBar()->addWidget(m_formatPanel);
    m_zoomPanel = new QLabel(statusBar());
    m_zoomPanel->setObjectName(QStringLiteral("ZoomPanel"));
    m_zoomPanel->setFrameShape(QFrame::Panel);
    m_zoomPanel->setFrameShadow(QFrame::Sunken);
    statusBar()->addWidget(m_zoomPanel);
    m_zoomPanel->hide();
    fitPanels();
}

void TMainForm::fitPanels()
{
    // The caret panel, the scheme panel and the hint panel are as wide as the longest text
    // they show in either language (the position with seven-digit numbers, the longest
    // scheme name, the proposal hint) in the status bar's font, and never narrower than
    // their design width. The hint panel, last of the five, may grow beyond that.
    const QFontMetrics metrics(statusBar()->font());
    const auto fit = [&](int panel, const QStringList &texts) {
        QLabel *label = m_panels[panel];
        const int frame = 2 * (label->frameWidth() + label->margin()) + metrics.averageCharWidth();
        int width = kPanels[panel].width;
        for (const QString &text : texts)
            width = std::max(width, metrics.horizontalAdvance(text) + frame);
        if (panel == int(std::size(kPanels)) - 1)
            label->setMinimumWidth(width);
        else
            label->setFixedWidth(width);
    };
    QStringList positions;
    for (int language : {0, 1})
        positions << formatMessage(messageText(language, 2), {9999999, 9999999});
    fit(0, positions);
    QStringList names;
    for (const SchemeEntry &entry : schemeCatalogue())
        names << entry.name.toString();
    fit(2, names);
    fit(4, {messageText(0, 85), messageText(1, 85)});
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
    m_macros->installStarterMacros(QCoreApplication::applicationDirPath());
    m_helpFile = m_programFolder + helpFileName(1);
    ReadSettings();
    ReadPreferences();
    m_view->load();
    m_guard->loadViews();
    ApplyLanguage();
    ShowCaretPosition();
    SynMemo1->setFocus();
    if (m_arguments.size() > 1 && QFileInfo(m_arguments[1]).isFile()) {
        const QString path = QFileInfo(m_arguments[1]).absoluteFilePath();
        if (PerformFileOpen(path))
            m_guard->restoreView(path);
    }
    LoadRecentFiles();
    // Once the window is on the screen, so the question has its window behind it.
    QTimer::singleShot(0, m_guard, &DocumentGuard::offerRecovery);
    setAcceptDrops(true);
    AutoUpdateCheck();
    action(QStringLiteral("NachUpdatessuchen1"))->setVisible(true);
}

// ---- language ----

void TMainForm::setCaption(QAction *item, const QString &caption)
{
    item->setProperty(kCaptionProperty, caption);
    item->setText(caption);
}

void TMainForm::labelMenus()
{
    const auto label = [](const QList<QAction *> &items, QStringView taken) {
        QList<QAction *> labelled;
        QStringList captions;
        for (QAction *item : items) {
            const QVariant caption = item->property(kCaptionProperty);
            if (item->isSeparator() || !caption.isValid())
                continue;
            labelled << item;
            captions << caption.toString();
        }
        const QStringList marked = withMnemonics(captions, taken);
        for (qsizetype i = 0; i < labelled.size(); ++i)
            labelled[i]->setText(marked[i]);
    };
    // Alt+X quits: no menu title may take that key.
    label(menuBar()->actions(), u"x");
    for (const QMenu *menu : std::as_const(m_menus))
        label(menu->actions(), {});
    label(m_popupMenu->actions(), {});
}

void TMainForm::ApplyLanguage()
{
    const int language = m_settings.language;
    applyQtTranslations(language);
    m_helpFile = m_programFolder + helpFileName(language);
    m_saveFirstMessage = saveFirstMessage(language);
    m_languageApplied = true;
    m_bookmarkWord = messageText(language, 84);

    const auto caption = [&](const TMainForm::Command &row, bool asHint) {
        if (row.name == kSeparator || row.message == kNoMessage)
            return;
        QAction *item = action(QString::fromLatin1(row.name));
        const QString text = commandText(language, row.message);
        if (asHint) {
            item->setText(text);
            item->setToolTip(text);
            item->setStatusTip(text);
        } else {
            setCaption(item, text);
        }
    };
    for (const TMainForm::Command &row : toolBarCommands())
        caption(row, true);
    for (const MenuSpec &spec : mainMenus()) {
        setCaption(m_menus.value(QString::fromLatin1(spec.name))->menuAction(),
                   commandText(language, spec.message));
        for (const TMainForm::Command &row : spec.items)
            caption(row, false);
    }
    for (const TMainForm::Command &row : contextMenuCommands())
        caption(row, false);
    // The digit is the access key of a bookmark item.
    for (int n = 0; n < TSynMemo::kBookmarkCount; ++n) {
        const QString caption = m_bookmarkWord + u'&' + QString::number(n);
        action(bookmarkItemName(n, false))->setText(caption);
        action(bookmarkItemName(n, true))->setText(caption);
    }
    m_macros->applyLanguage();
    labelMenus();
    markLanguage();
    if (m_format)
        m_format->refresh(); // the status text of mixed breaks is worded per language
}

void TMainForm::markLanguage()
{
    // The two language items are radio items showing the language in use.
    QAction *german = action(QStringLiteral("Deutsch1"));
    QAction *english = action(QStringLiteral("Englisch1"));
    if (!german->actionGroup()) {
        auto *group = new QActionGroup(this);
        for (QAction *item : {german, english}) {
            item->setCheckable(true);
            group->addAction(item);
        }
    }
    (isGerman(m_settings.language) ? german : english)->setChecked(true);
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
    if (m_format)
        m_format->update();
}

void TMainForm::SynMemo1Change()
{
    setPanelText(1, QString::number(SynMemo1->TextLength()));
    restoreBlankedFile();
    if (m_format)
        m_format->update();
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
    if (event->type() == QEvent::WindowActivate && m_shown)
        m_guard->windowActivated();
    return QMainWindow::event(event);
}

bool TMainForm::eventFilter(QObject *watched, QEvent *event)
{
    // The right margin follows the editor's own size, which the layout settles after
    // the window's resize.
    if (watched == SynMemo1 && event->type() == QEvent::Resize)
        SynMemo1->SetRightEdge(SynMemo1->CharsInWindow() - 1);
    // Every key press of the application passes here first: F1 with any modifier opens
    // help when it is meant for this window or one of its open menus.
    if (event->type() == QEvent::KeyPress && static_cast<QKeyEvent *>(event)->key() == Qt::Key_F1 &&
        isPartOfWindow(watched)) {
        if (QWidget *popup = QApplication::activePopupWidget())
            popup->close();
        action(QStringLiteral("Help1"))->trigger();
        return true;
    }
    return QMainWindow::eventFilter(watched, event);
}

bool TMainForm::isPartOfWindow(const QObject *object) const
{
    for (auto *widget = qobject_cast<const QWidget *>(object); widget;
         widget = widget->parentWidget()) {
        if (widget == this)
            return true;
        // Another window of the program (a dialog) is not part of this one; a menu is.
        if (widget->isWindow() && !qobject_cast<const QMenu *>(widget))
            return false;
    }
    return false;
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
    if (!m_zoomPanel) // the status bar is not built yet
        return;
    const int width = frameGeometry().width();
    // Panel 3 takes what the others leave; they may be wider than designed (fitPanels),
    // and the format and zoom panels stand beside them.
    const int extra = statusPanelsBeyondDesign();
    if (width > 950 + extra)
        m_panels[3]->setFixedWidth(width - 530 - extra);
}

int TMainForm::statusPanelsBeyondDesign() const
{
    int extra = 0;
    for (int panel : {0, 2, 4})
        extra += m_panels[panel]->minimumWidth() - kPanels[panel].width;
    const int spacing = statusBar()->layout() ? statusBar()->layout()->spacing() : 0;
    for (const QLabel *panel : {m_formatPanel, m_zoomPanel}) {
        if (!panel->isHidden())
            extra += panel->sizeHint().width() + std::max(spacing, 0);
    }
    return extra;
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
    m_guard->documentClosing();
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
    m_formSetup->KeepJournal = m_guard->journaling();
    // After OK and after Cancel alike the settings file is read again.
    if (m_formSetup->Execute())
        ReadSettings();
    if (m_formSetup->KeepJournal != m_guard->journaling()) {
        m_preferences.setBoolValue(kJournalKey, m_formSetup->KeepJournal);
        savePreferences();
        m_guard->setJournaling(m_formSetup->KeepJournal);
    }
}

void TMainForm::ReadPreferences()
{
    const QString path = Preferences::filePath(m_dataPath);
    if (const FileResult read = m_preferences.load(path); !read)
        showFileError(path, read.error);
    m_guard->setJournaling(m_preferences.boolValue(kJournalKey, true));
}

bool TMainForm::savePreferences()
{
    const QString path = Preferences::filePath(m_dataPath);
    const SaveResult saved = m_preferences.save(path);
    if (!saved)
        showFileError(path, saved.error);
    return saved.ok;
}

void TMainForm::ReadSettings()
{
    const SettingsReadResult read = ReadSettingsFile(m_dataPath, m_settings, SystemLanguageName());
    applySettingsToEditor();
    if (read.status == SettingsRead::Corrupted) {
        // The fixed text first, then the file and why it was given up.
        m_prompts.message(Prompts::Icon::Warning, kBoxTitle,
                          QString::fromUtf16(kSettingsCorruptedText) + QStringLiteral("\n\n") +
                              fileErrorText(settingsFilePath(m_dataPath), read.detail));
        return;
    }
    if (read.status == SettingsRead::Unreadable) {
        showFileError(settingsFilePath(m_dataPath), read.detail);
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
    else if (!update.write)
        showFileError(settingsFilePath(m_dataPath), settingsNotSavedMessage(m_settings.language) +
                                                        QStringLiteral("\n") + update.write.error);
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
    host.fileNew = [this] { blankToUntitled(); };
    m_schemes = new SchemeSwitcher(std::move(host), this);

    // The scheme submenu: captions are the same in both languages. Radio items; the one
    // of the scheme in use (named in panel 2) is marked whenever the menu opens.
    QMenu *menu = m_menus.value(QStringLiteral("SelectSyntaxschemeMenu"));
    auto *group = new QActionGroup(menu);
    group->setExclusionPolicy(QActionGroup::ExclusionPolicy::ExclusiveOptional);
    for (const SchemeEntry &entry : schemeCatalogue()) {
        if (entry.menuItem.isEmpty() && entry.scheme != Scheme::None)
            continue;
        if (entry.scheme == Scheme::None)
            menu->addSeparator();
        const QString name =
            entry.scheme == Scheme::None ? QStringLiteral("None1") : entry.menuItem.toString();
        QAction *item =
            makeAction(name, [this, scheme = entry.scheme] { SchemeMenuClick(scheme); });
        setCaption(item, entry.scheme == Scheme::None ? QStringLiteral("None")
                                                      : entry.menuCaption.toString());
        item->setCheckable(true);
        item->setData(entry.name.toString());
        group->addAction(item);
        menu->addAction(item);
    }
    connect(menu, &QMenu::aboutToShow, this, [this, group] {
        const QString current = panelText(2);
        for (QAction *item : group->actions())
            item->setChecked(item->data().toString() == current);
    });
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

// ---- launchers ----

void TMainForm::OpenWithShell()
{
    m_launch->OpenWithShell();
}

void TMainForm::OpenInBrowser()
{
    m_launch->OpenInBrowser();
}

void TMainForm::ToolButton7Click()
{
    m_launch->OpenInBrowser();
}

void TMainForm::ToolButton2Click()
{
    m_launch->ToolButton2Click();
}

// ---- help, about box, update check ----

void TMainForm::Help1Click()
{
    m_help->Help1Click();
}

void TMainForm::ShowHelpTopic(int topic)
{
    m_help->ShowHelpTopic(topic);
}

void TMainForm::HelpAbout()
{
    m_help->HelpAbout();
}

void TMainForm::NachUpdatessuchen1Click()
{
    m_help->NachUpdatessuchen1Click();
}

void TMainForm::AutoUpdateCheck()
{
    m_help->AutoUpdateCheck();
}

// ---- find and replace ----

void TMainForm::Find1Click()
{
    m_findReplace->setLanguage(m_settings.language);
    m_findReplace->ShowFind(true);
}

void TMainForm::FindenextenClick()
{
    m_findReplace->FindNext();
}

void TMainForm::Replace1Click()
{
    m_findReplace->setLanguage(m_settings.language);
    m_findReplace->ShowReplace();
}

// ---- script runner ----

void TMainForm::buildScriptRunner()
{
    ScriptRunner::Host host;
    host.window = this;
    host.prompts = &m_prompts;
    host.shell = &m_shell;
    host.editor = SynMemo1;
    host.scratch = &Memo1;
    host.browserPath = &m_settings.browserPath;
    host.fileName = [this] { return m_fileName; };
    host.dataPath = [this] { return m_dataPath; };
    host.language = [this] { return m_settings.language; };
    host.saveFirstMessage = [this] { return m_saveFirstMessage; };
    host.untitledName = [this] { return Message(0); };
    host.vbscriptScheme = [this] {
        return SynMemo1->Highlighter() &&
               SynMemo1->Highlighter() == m_schemes->highlighter(Scheme::VBScript);
    };
    host.jscriptScheme = [this] {
        return SynMemo1->Highlighter() &&
               SynMemo1->Highlighter() == m_schemes->highlighter(Scheme::JavaScript);
    };
    host.openWithShell = [this] { OpenWithShell(); };
    host.runConsoleScript =
        [this](const std::function<bool()> &askStop) -> std::optional<quillora::ConsoleScriptRun> {
        // The console host runs the file on disk: it is saved first, as for any launch.
        const SaveOutcome saved = FileSave();
        if (saved == SaveOutcome::Cancelled || saved == SaveOutcome::Failed)
            return std::nullopt;
        return quillora::runConsoleScript(
            quillora::consoleScriptRunner(QCoreApplication::applicationDirPath()), m_fileName,
            m_runner->TimeOut, askStop);
    };
    host.defaultBrowser = [] { return GetDefaultBrowser(); };
    m_runner = std::make_unique<ScriptRunner>(std::move(host));
}

void TMainForm::buildMacros()
{
    MacroCommands::Host host;
    host.window = this;
    host.prompts = &m_prompts;
    host.shell = &m_shell;
    host.runner = m_runner.get();
    host.dataPath = [this] { return m_dataPath; };
    host.language = [this] { return m_settings.language; };
    host.askSaveChanges = [this] { return AskSaveChanges(); };
    host.openFile = [this](const QString &path) { return PerformFileOpen(path); };
    host.afterRun = [this] {
        ShowCaretPosition();
        SynMemo1Change();
    };
    host.commands = [this] {
        QList<QPair<QString, QAction *>> commands;
        for (const QString &name : macroCommandNames())
            commands.append({name, action(QString::fromLatin1(macroCommand(name)->name))});
        return commands;
    };
    MemoDocument::Host &document = host.document;
    document.editor = SynMemo1;
    document.fileName = [this] { return m_fileName; };
    document.scheme = [this] { return panelText(2); };
    document.setScheme = [this](const QString &name) {
        for (const SchemeEntry &entry : schemeCatalogue()) {
            if (name.compare(entry.name, Qt::CaseInsensitive) == 0 ||
                name.compare(entry.menuCaption, Qt::CaseInsensitive) == 0) {
                SchemeMenuClick(entry.scheme);
                return true;
            }
        }
        return false;
    };
    document.newDocument = [this] {
        FileNew();
        return QString();
    };
    document.open = [this](const QString &path) {
        return PerformFileOpen(QFileInfo(path).absoluteFilePath())
                   ? QString()
                   : QStringLiteral("Cannot open ") + path;
    };
    document.save = [this] {
        const SaveOutcome saved = FileSave();
        return saved == SaveOutcome::Saved || saved == SaveOutcome::Skipped
                   ? QString()
                   : QStringLiteral("The document was not saved");
    };
    document.saveAs = [this](const QString &path) {
        const QString full = QFileInfo(path).absoluteFilePath();
        const FileResult written = SynMemo1->Lines().SaveToFile(full);
        if (!written)
            return fileErrorText(full, written.error);
        SetFileName(full);
        SynMemo1->SetModified(false);
        IsHTML(full);
        return QString();
    };
    document.runCommand = [this](const QString &name) {
        const TMainForm::Command *row = macroCommand(name);
        if (!row)
            return QStringLiteral("Unknown command: ") + name;
        action(QString::fromLatin1(row->name))->trigger();
        return QString();
    };
    document.statusText = [this](const QString &text) { statusBar()->showMessage(text); };
    auto *menu = new QMenu(this);
    menuBar()->addMenu(menu);
    m_macros = new MacroCommands(std::move(host), menu, this);
    m_runner->setEditorDocument(m_macros->document());
}

void TMainForm::ToolButton6Click()
{
    m_runner->ToolButton6Click();
}

void TMainForm::ScriptControl1Error()
{
    m_runner->ScriptControl1Error();
}

// ---- text tools, go to line, bookmarks ----

void TMainForm::buildTextTools()
{
    DocumentTools::Host tools;
    tools.editor = SynMemo1;
    tools.prompts = &m_prompts;
    tools.boxTitle = kBoxTitle;
    tools.message = [this](int number) { return Message(number); };
    tools.bookmarkItem = [this](int number, bool goTo) {
        return action(bookmarkItemName(number, goTo));
    };
    m_documentTools = new DocumentTools(std::move(tools), this);
    connect(SynMemo1, &TSynMemo::OnGutterClick, this,
            [this](Qt::MouseButton, int line) { SynMemo1GutterClick(line); });

    TFormFiles::Host files;
    files.prompts = &m_prompts;
    files.dataFolder = [this] { return m_dataPath; };
    files.fileName = [this] { return m_fileName; };
    files.saveDocument = [this] {
        const SaveOutcome saved = FileSave();
        // A save that did not happen goes on only when the user chooses to drop the edits.
        return saved == SaveOutcome::Saved || saved == SaveOutcome::Skipped ||
               !SynMemo1->Modified() || AskSaveChanges();
    };
    files.openFile = [this](const QString &path) { return PerformFileOpen(path); };
    files.documentModified = [this] { return SynMemo1->Modified(); };
    files.rereadDocument = [this](const QString &path) {
        m_guard->beforeDocumentChange();
        const FileResult read = SynMemo1->Lines().LoadFromFile(path);
        if (read) {
            SynMemo1->SetModified(false);
            m_guard->documentOpened(path);
        } else {
            m_guard->documentCleared();
        }
        SynMemo1Change();
        return read;
    };
    m_formFiles = new TFormFiles(std::move(files), this);
    connect(m_formFiles, &TFormFiles::helpRequested, this,
            [this](int topic) { ShowHelpTopic(topic); });
}

void TMainForm::buildDocumentGuard()
{
    DocumentGuard::Host host;
    host.editor = SynMemo1;
    host.prompts = &m_prompts;
    host.window = this;
    host.boxTitle = kBoxTitle;
    host.uiLanguage = [this] { return UiLanguage(); };
    host.dataFolder = [this] { return m_dataPath; };
    host.openFile = [this](const QString &path) { return PerformFileOpen(path); };
    host.newDocument = [this] { clearDocument(); };
    host.setBookmark = [this](int number, int line, int column) {
        SynMemo1->SetCaretXY(column, line);
        m_documentTools->SetBookmark(number);
    };
    m_guard = new DocumentGuard(std::move(host), this);
}

void TMainForm::RemoveHyphenation1Click()
{
    m_documentTools->RemoveHyphenation1Click();
}

void TMainForm::Removelinebreaks1Click()
{
    m_documentTools->Removelinebreaks1Click();
}

void TMainForm::Insertlinebreaks1Click()
{
    m_documentTools->Insertlinebreaks1Click();
}

void TMainForm::UppertoLower1Click()
{
    m_documentTools->UppertoLower1Click();
}

void TMainForm::LowertoUpper1Click()
{
    m_documentTools->LowertoUpper1Click();
}

void TMainForm::GoToLine1Click()
{
    m_documentTools->GoToLine1Click();
}

void TMainForm::ToolButtonDelClick()
{
    m_documentTools->ToolButtonDelClick();
}

void TMainForm::SetBookmarkClick(int number)
{
    m_documentTools->SetBookmark(number);
}

void TMainForm::GotoBookmarkClick(int number)
{
    m_documentTools->GotoBookmark(number);
}

void TMainForm::Lesezeichenlschen1Click()
{
    m_documentTools->Lesezeichenlschen1Click();
}

void TMainForm::SynMemo1GutterClick(int line)
{
    m_documentTools->SynMemo1GutterClick(line);
}

// ---- multi-file search and replace ----

void TMainForm::MultiReplace1Click()
{
    if (!m_fileName.isEmpty() && asciiLower(m_fileName) != u"untitled")
        m_formFiles->CurDir = folderPart(m_fileName);
    m_formFiles->Sprache = m_settings.language;
    m_formFiles->show();
    m_formFiles->raise();
    m_formFiles->activateWindow();
}
