#pragma once
// The multi-file search and replace window: a search list of loaded files, the search and
// replacement strings with their options, a run that counts or replaces on disk file by
// file, a result list of the files with hits, and the files of either list shown in the
// main window. Modeless; the main window hands in what the window needs from it.

#include "base/safewrite.h"
#include "texttools/multireplace.h"

#include <QDialog>
#include <functional>

class Prompts;
class QCheckBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QListWidgetItem;
class QProgressBar;
class QPushButton;
class QToolButton;

class TFormFiles : public QDialog
{
    Q_OBJECT
public:
    struct Host
    {
        Prompts *prompts = nullptr;
        // The data folder (ending with "/"), where the backup of the last run is kept.
        std::function<QString()> dataFolder;
        std::function<QString()> fileName;                 // the main window's FFileName
        // The main window's save command; true when the document was saved or the user
        // chose to let its edits go, false when the command that asked must stop.
        std::function<bool()> saveDocument;
        std::function<bool(const QString &path)> openFile; // PerformFileOpen
        std::function<bool()> documentModified;
        // Reads the main document again from its file (its edits are gone afterwards).
        std::function<FileResult(const QString &path)> rereadDocument;
    };

    explicit TFormFiles(Host host, QWidget *parent = nullptr);

    // UI language, 0 German, 1 English; set by the opener before showing.
    int Sprache = 0;
    // Folder the open dialog starts in; set by the opener, cleared on close.
    QString CurDir;

    void FormShow();
    void BitBtn1Click(); // load files
    void BitBtn3Click(); // run
    void BitBtn4Click(); // reset
    void BitBtn5Click(); // remove the selected search-list entries
    void BtnBackToSearchClick();
    void ButtonSearchOpenClick();
    void ButtonResultOpenClick();
    void SpeedButton1Click(); // help
    void UndoLastRunClick();

    // The path list (ListBox1): full paths of the loaded files, in load order.
    const QStringList &paths() const { return m_paths; }
    bool running() const { return m_running; }
    // Ends a run after the file being processed.
    void cancelRun() { m_cancelled = true; }

    QLineEdit *EditSearch;
    QLineEdit *EditReplace;
    QCheckBox *CheckBoxCase;
    QCheckBox *CheckBoxWord;
    QCheckBox *CheckBoxRegex;
    QCheckBox *CheckBoxAll;
    QCheckBox *CheckBoxSearch;
    QLineEdit *EditTreffer;
    QLineEdit *Edit1;
    QLineEdit *Edit2;
    QListWidget *ListBoxSearch;
    QListWidget *ListBoxResult;
    QProgressBar *ProgressBar1;
    QPushButton *BitBtn1;
    QPushButton *BitBtn2;
    QPushButton *BitBtn3;
    QPushButton *BitBtn4;
    QToolButton *BitBtn5;
    QToolButton *BtnBackToSearch;
    QPushButton *ButtonSearchOpen;
    QPushButton *ButtonResultOpen;
    QToolButton *SpeedButton1;
    QPushButton *ButtonCancel;
    QPushButton *ButtonUndo;

signals:
    // Help page `topic` of the current help file (F1 and the help button: topic 60).
    void helpRequested(int topic);

protected:
    void showEvent(QShowEvent *event) override;
    void closeEvent(QCloseEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void paintEvent(QPaintEvent *event) override;

private:
    void setCaptions();
    void updateCounts();
    void updateUndoButton();
    void setRunning(bool running);
    // Shows the file of `item` in the main window, after saving the document shown there.
    void showFile(QListWidgetItem *item, const QString &selectMessage);
    // The row of `path` in the search list, tried first at `expectedRow`; -1 when absent.
    int searchRow(const QString &path, int expectedRow) const;
    // The main document is read again when `changed` holds its file; unsaved edits there
    // are replaced only when the user agrees.
    void rereadMainDocument(const QString &mainFile, const QStringList &changed);
    QString text(const char *german, const char *english) const;
    void message(const QString &text);
    RunBackup backup() const;

    Host m_host;
    QStringList m_paths;
    QLabel *m_label1;
    QLabel *m_label2;
    QLabel *m_labelTreffer;
    QLabel *m_staticText1;
    QLabel *m_staticText2;
    QLabel *m_filesLabel1;
    QLabel *m_filesLabel2;
    QWidget *m_groupBox1;
    bool m_running = false;
    bool m_cancelled = false;
};
