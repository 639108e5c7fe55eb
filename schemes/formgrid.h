#pragma once
// The proposal table editor: a scheme's proposal pair as a two-column table, Keyword and
// Code, one proposal per row, with sorting by a column header, row commands, the
// line-break dialog, the import editor and saving under the same or another scheme. The
// main window hands over the pair before each show; the editor forgets it when it closes.

#include "editor/linelist.h"
#include "schemes/proposaltable.h"

#include <QDialog>
#include <QHash>
#include <QPixmap>

class QAction;
class QLabel;
class QLineEdit;
class Prompts;
class TFormImport;
class TFormProps;
class TFormReturn;
class TStringGrid;

class TFormGrid : public QDialog
{
    Q_OBJECT
public:
    explicit TFormGrid(Prompts &prompts, QWidget *parent = nullptr);

    // Hand-over fields, set by the caller before every show.
    QString DataPath;  // folder for pairs chosen by scheme, ending with "/"
    QString FItems;    // the Items file being edited; empty when no pair is set
    QString FInserts;  // the Inserts file being edited
    QString PLanguage; // the scheme's name for the save question
    int GLanguage = 0;

    // Shows the editor modally; on return the hand-over pair is cleared.
    void Execute();

    // The line buffer through which files and imported text reach the table.
    LineList Memo1;
    // Copies the non-blank lines of `Memo1`, in order, into column `ColNr` (0 Keyword,
    // 1 Code) from the first data row down, growing the table to hold them.
    void LoadGrid(int ColNr);

    // Toolbar commands.
    void ToolButton1Click();  // clear table
    void ToolButton3Click();  // open another pair
    bool ToolButton4Click();  // save; false when nothing was written
    void ToolButton12Click(); // import
    void ToolButton5Click();  // add row
    void ToolButton10Click(); // remove row
    void ToolButton7Click();  // copy
    void ToolButton8Click();  // paste
    void ToolButton11Click(); // line break
    void ToolButton13Click(); // close

    // Table events.
    void StringGrid1SelectCell(int column, int row);
    void StringGrid1MouseDown(Qt::MouseButton button, int headerColumn);
    void StringGrid1Click();
    void FormResize();

    TStringGrid *StringGrid1 = nullptr;
    TFormProps *FormProps() const { return m_formProps; }
    TFormReturn *FormReturn() const { return m_formReturn; }
    TFormImport *FormImport() const { return m_formImport; }
    QAction *action(const QString &name) const { return m_actions.value(name); }
    QString panelText(int panel) const;
    // Changes since the last load or save.
    bool Modified() const { return m_modified; }

    // Sorting state.
    bool sorted() const { return m_sorted; }
    bool descending() const { return m_descending; }
    int indicatorColumn() const { return m_indicator; }

    // Every way of closing: asks first when the table has unsaved changes.
    void reject() override;

protected:
    void resizeEvent(QResizeEvent *event) override;

private:
    void FormShow();
    void FormClose();
    void ApplyLanguage();
    void LoadFiles();
    void loadPair();
    bool SaveGrid();
    void ClearRows();
    void ResetSort();
    void SortByColumn(int column);
    void ShowReversed();
    void RemoveRow(int row);
    void UpdateHeaderImages();
    void setPairFromPrefix(const QString &prefix);
    // False when the user chose to stay (Cancel, or a save that did not happen).
    bool AskSaveChanges();
    void showFileError(const QString &path, const QString &error);

    Prompts &m_prompts;
    TFormProps *m_formProps = nullptr;
    TFormReturn *m_formReturn = nullptr;
    TFormImport *m_formImport = nullptr;
    QHash<QString, QAction *> m_actions;
    QList<QLabel *> m_panels;
    QLineEdit *Edit1 = nullptr;
    QPixmap Image1; // upward arrow
    QPixmap Image2; // downward arrow

    // Texts of the current language.
    QString m_missingPair, m_saveFirst, m_saveLast, m_wrongColumn;

    // The format of the last file loaded, used again for saving.
    TextFormat m_loadFormat;
    bool m_loadedAny = false;
    bool m_modified = false;
    QList<ProposalRow> m_savedRows; // the rows as last loaded or saved

    bool m_sorted = false;
    bool m_descending = false;
    int m_indicator = -1;
    bool m_armed[2] = {false, false};
    int m_sortedCount = 0;
};
