#pragma once
// The main window: the document editor, every command's menu item, toolbar button and
// context item, the five-panel status bar, the start-up sequence and closing. Handlers
// are thin: they read the window's state, call the logic and write the result back.

#include "app/recentfiles.h"
#include "editor/linelist.h"
#include "store/preferences.h"
#include "store/settingsfile.h"

#include <QHash>
#include <QMainWindow>
#include <functional>
#include <memory>

#include "schemes/schemecatalogue.h"

class QAction;
class QLabel;
class QMenu;
class QPrinter;
class QToolBar;
class QToolButton;
class Prompts;
class Shell;
class Highlighters;
class HelpCommands;
class LaunchCommands;
class MacroCommands;
class ScriptRunner;
class SchemeSwitcher;
class TFormGrid;
class TFormSetup;
class TSynCompletionProposal;
class TSynMemo;
class EditorFindReplace;
class EditorView;
class LineCommands;
class DocumentFormat;
class DocumentTools;
class TFormFiles;
class DocumentGuard;

class TMainForm : public QMainWindow
{
    Q_OBJECT
public:
    // `arguments` is the command line, the program first. `dataPath` (ending with "/")
    // replaces the usual data folder when given.
    TMainForm(Prompts &prompts, Shell &shell, const QStringList &arguments,
              const QString &dataPath = QString(), QWidget *parent = nullptr);
    ~TMainForm() override;

    // A row of the command tables (see mainform.cpp).
    struct Command;

    // What a save command came to; the commands that asked to save go on only after
    // Saved or Skipped (a blank document has nothing to lose).
    enum class SaveOutcome
    {
        Saved,
        Skipped,
        Cancelled,
        Failed
    };

    TSynMemo *SynMemo1 = nullptr;
    TSynCompletionProposal *SynCompletionProposal1 = nullptr;
    SchemeSwitcher *schemes() const { return m_schemes; }
    Highlighters *highlighters() const { return m_highlighters; }
    TFormSetup *FormSetup() const { return m_formSetup; }
    // The scratch list through which the program reads and writes its own files.
    LineList Memo1;

    const QString &FFileName() const { return m_fileName; }
    const QString &DataPath() const { return m_dataPath; }
    int UiLanguage() const { return m_settings.language; }
    const Settings &settings() const { return m_settings; }
    // The settings past the settings file (store/preferences.h), read at start.
    Preferences &preferences() { return m_preferences; }
    // Writes the preferences; a failure is shown in an error box naming the file.
    bool savePreferences();
    const RecentFiles &recentFiles() const { return m_recent; }
    // Message slot N: empty until the language has been applied.
    QString Message(int number) const;
    QString SaveFirstMessage() const { return m_saveFirstMessage; }
    QString BookmarkWord() const { return m_bookmarkWord; }
    QString HelpFile() const { return m_helpFile; }
    // The program file and its folder (ending with "/"), from the command line's first word.
    const QString &ProgramFile() const { return m_programFile; }
    const QString &ProgramFolder() const { return m_programFolder; }

    QAction *action(const QString &name) const { return m_actions.value(name); }
    QToolButton *toolButton(const QString &name) const;
    QString panelText(int panel) const;
    int panelWidth(int panel) const;
    void setPanelText(int panel, const QString &text);
    int wordWrapImage() const { return m_wordWrapImage; }

    // ---- start, language, status bar, closing ----
    void FormShow();
    void FormResize();
    // What the status bar's other panels take beyond their design widths: the room panel 3
    // gives up past a window width of 950.
    int statusPanelsBeyondDesign() const;
    bool FormCloseQuery();
    void FormClose();
    void ShowCaretPosition();
    void ShowHint(const QString &hint);
    void SynMemo1Change();
    void SynMemo1Click();
    void SynMemo1KeyUp(int key, Qt::KeyboardModifiers modifiers);
    void ToolButton3Click();
    void ToolButton17Click();
    void ApplyLanguage();
    void Deutsch1Click();
    void Englisch1Click();

    // ---- documents ----
    void FileNew();
    void FileOpen();
    // Without `encoding` the encoding is detected from the file's bytes.
    bool PerformFileOpen(const QString &fileName, std::optional<TextEncoding> encoding = {});
    SaveOutcome FileSave();
    SaveOutcome FileSaveAs();
    SaveOutcome AlsAsciiTextspeichern1Click();
    // The ANSI copy; in UTF-8 when the user chose that over characters Windows-1252 lacks.
    FileResult WriteAnsiFile(const QString &path,
                             TextEncoding encoding = TextEncoding::Windows1252);
    void FilePrint();
    void FileExit();
    void SetFileName(const QString &name);
    // False when the calling command must stop (Cancel, or a save that did not happen).
    bool AskSaveChanges();
    void EditUndo();
    void EditCut();
    void EditCopy();
    void EditPaste();
    void Selectall1Click();

    // ---- recent files ----
    void ClearRecentFiles();
    void LoadRecentFiles();
    void AddRecentFile(const QString &path);
    void OpenRecentFile(int entry);
    void SaveRecentFiles();
    void DelLastClick();

    // ---- settings ----
    void Settings2Click();
    void ReadSettings();
    void ReadPreferences();
    void UpdateSettingsFile();

    // ---- syntax schemes ----
    bool IsHTML(const QString &fileName);
    void SetHColors();
    // The scheme menu's items (ASM1 ... XML1, None1).
    void SchemeMenuClick(Scheme scheme);
    void Editcodeproposals1Click();
    TFormGrid *FormGrid() const { return m_formGrid; }

    // ---- launchers (desktop/launchcommands.h) ----
    // Saves the document and opens it with its default program; warns on a blank one.
    void OpenWithShell();
    // Saves the document and opens it in the configured browser, else as OpenWithShell.
    void OpenInBrowser();
    void ToolButton7Click();
    // Opens the FTP server of the settings in the file manager.
    void ToolButton2Click();

    // ---- script runner (run/scriptrunner.h) ----
    // Execute code (ToolButton6 and Code1).
    void ToolButton6Click();
    // Shows the engine's last error and selects its character in the editor.
    void ScriptControl1Error();
    ScriptRunner *scriptRunner() const { return m_runner.get(); }
    // The macros menu (run/macrocommands.h).
    MacroCommands *macroCommands() const { return m_macros; }

    // ---- help, about box, update check (desktop/helpcommands.h) ----
    void Help1Click();
    // Shows a page of the current help file; topic 60 is the multi-file search page.
    void ShowHelpTopic(int topic);
    void HelpAbout();
    void NachUpdatessuchen1Click();
    void AutoUpdateCheck();
    HelpCommands *helpCommands() const { return m_help.get(); }
    // ---- find and replace ----
    void Find1Click();
    void FindenextenClick();
    void Replace1Click();
    EditorFindReplace *findReplace() const { return m_findReplace; }

    // ---- text tools, go to line, bookmarks ----
    void RemoveHyphenation1Click();
    void Removelinebreaks1Click();
    void Insertlinebreaks1Click();
    void UppertoLower1Click();
    void LowertoUpper1Click();
    void GoToLine1Click();
    void ToolButtonDelClick();

    // The view aids (texttools/editorview.h).
    EditorView *view() const { return m_view; }
    void MatchingBrace1Click();
    void ShowWhitespace1Click();
    void ShowLineEnds1Click();
    void IndentGuides1Click();
    void LongLineMarker1Click();
    void FoldMargin1Click();
    void FoldAll1Click();
    void UnfoldAll1Click();
    void ZoomIn1Click();
    void ZoomOut1Click();
    void ZoomReset1Click();

    // The line commands (texttools/linecommands.h).
    LineCommands *lineCommands() const { return m_lineCommands; }
    void ToggleComment1Click();
    void DuplicateLine1Click();
    void MoveLineUp1Click();
    void MoveLineDown1Click();
    void DeleteLine1Click();

    // The document's line breaks, shown with its encoding in the status bar
    // (texttools/documentformat.h).
    DocumentFormat *documentFormat() const { return m_format; }
    void LineBreaks1Click(LineBreak lineBreak);
    void ReopenWithEncodingClick(TextEncoding encoding);
    void SaveWithEncodingClick(TextEncoding encoding);
    // The items of the two bookmark submenus: set (Lesezeichen02, Lesezeichen11 ...
    // Lesezeichen91) and go to (Lesezeichen01, Lesezeichen12 ... Lesezeichen92).
    void SetBookmarkClick(int number);
    void GotoBookmarkClick(int number);
    void Lesezeichenlschen1Click();
    void SynMemo1GutterClick(int line);
    DocumentTools *documentTools() const { return m_documentTools; }

    // ---- multi-file search and replace ----
    void MultiReplace1Click();
    TFormFiles *FormFiles() const { return m_formFiles; }

    // ---- changes on disk, crash recovery, remembered views (store/documentguard.h) ----
    DocumentGuard *documentGuard() const { return m_guard; }

    // Prints `text` as the document is printed; used by the print command.
    static void printText(QPrinter &printer, const QString &text);

protected:
    void showEvent(QShowEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void closeEvent(QCloseEvent *event) override;
    bool event(QEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;
    void dragEnterEvent(QDragEnterEvent *event) override;
    void dropEvent(QDropEvent *event) override;

private:
    void FormCreate();
    void buildActions();
    void buildMenus();
    // The submenu of the encoding choices, to reopen the file or save the document in.
    QMenu *buildEncodingMenu(QMenu *parent, bool save);
    void buildToolBar();
    void buildContextMenu();
    void buildStatusBar();
    void fitPanels();
    void markLanguage();
    void buildSchemes();
    void buildScriptRunner();
    void buildMacros();
    void buildDesktopCommands();
    void buildTextTools();
    void buildView();
    void buildDocumentGuard();
    // New without the question: for a document that has nothing left to lose.
    void clearDocument();
    // A document made blank by an edit becomes untitled, its undo history kept; an undo
    // that brings its text back brings back its name too (restoreBlankedFile).
    void blankToUntitled();
    void restoreBlankedFile();
    // The encoding to save in: `encoding` when it holds the whole document, UTF-8 when it
    // does not and the user takes that instead; none when the user cancels.
    std::optional<TextEncoding> encodingForSave(TextEncoding encoding);
    // Writes the document as loaded, or as the ANSI copy, after encodingForSave.
    SaveOutcome writeDocument(const QString &path, bool ansiCopy);
    QAction *makeAction(const QString &name, const std::function<void()> &handler);
    void setWordWrapImage(int image);
    void refreshRecentMenu();
    void applySettingsToEditor();
    SaveOutcome saveAs(bool alwaysAnsi);
    SaveOutcome reportSave(const QString &path, const FileResult &result);
    // Writes the document as loaded, with progress and Cancel on a long save.
    FileResult saveDocument(const QString &path);
    void showTooLarge(const QString &path, qint64 size);
    // Where the open and save dialogs start: the document's folder, else the home folder.
    QString startFolder() const;
    void showFileError(const QString &path, const QString &error);
    void openDroppedFile(const QString &path);
    // A menu item's caption as the message table gives it; labelMenus adds the access keys.
    static void setCaption(QAction *item, const QString &caption);
    void labelMenus();
    // True for a widget of this window or of one of its menus.
    bool isPartOfWindow(const QObject *object) const;
    static constexpr const char *kCaptionProperty = "caption";

    Prompts &m_prompts;
    Shell &m_shell;
    QStringList m_arguments;
    QString m_dataPath;
    QString m_programFolder;
    QString m_programFile;
    QString m_fileName;
    QString m_blankedFileName; // the file of a document made blank, while undo can return
    QString m_helpFile;
    Preferences m_preferences;
    QString m_saveFirstMessage;
    QString m_bookmarkWord;
    bool m_languageApplied = false;
    bool m_shown = false;
    Settings m_settings;
    RecentFiles m_recent;
    int m_wordWrapImage = 49;

    QHash<QString, QAction *> m_actions;
    QHash<QString, QMenu *> m_menus;
    QToolBar *m_toolBar = nullptr;
    QMenu *m_popupMenu = nullptr;
    QList<QLabel *> m_panels;
    TFormSetup *m_formSetup = nullptr;
    TFormGrid *m_formGrid = nullptr;
    Highlighters *m_highlighters = nullptr;
    SchemeSwitcher *m_schemes = nullptr;
    std::unique_ptr<LaunchCommands> m_launch;
    std::unique_ptr<ScriptRunner> m_runner;
    MacroCommands *m_macros = nullptr;
    std::unique_ptr<HelpCommands> m_help;
    EditorFindReplace *m_findReplace = nullptr;
    EditorView *m_view = nullptr;
    LineCommands *m_lineCommands = nullptr;
    DocumentFormat *m_format = nullptr;
    QLabel *m_formatPanel = nullptr; // encoding and line breaks, beside the five panels
    QLabel *m_zoomPanel = nullptr;   // beside the five panels, shown while zoomed
    DocumentTools *m_documentTools = nullptr;
    TFormFiles *m_formFiles = nullptr;
    DocumentGuard *m_guard = nullptr;

public:
    // Paths of the current scheme's proposal files.
    QString ItemFile;
    QString InsFile;
    // Strings of the update check, emptied at every start.
    QString UpdateMode;
    QString UpdateCheck;
};
