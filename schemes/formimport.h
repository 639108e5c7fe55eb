#pragma once
// The import editor: a small text editor opened from the proposal table editor to bring
// proposals in from other text. Its non-blank lines go into the keyword or the code
// column of the table, one line per row.

#include <QDialog>
#include <QHash>

class QAction;
class QLabel;
class QPrinter;
class EditorFindReplace;
class Prompts;
class TFormGrid;
class TSynMemo;

class TFormImport : public QDialog
{
    Q_OBJECT
public:
    TFormImport(Prompts &prompts, TFormGrid &grid, QWidget *parent = nullptr);

    int iLanguage = 0;
    QString ImportFileName; // the file last opened or saved; empty for new text

    // Shows the editor modally; it always opens with an empty text.
    void Execute();

    void ToolButton1Click();  // new
    void ToolButton2Click();  // open
    void ToolButton3Click();  // save
    void ToolButton5Click();  // print on the default printer
    void ToolButton7Click();  // add to the keyword column
    void ToolButton8Click();  // add to the code column
    void ToolButton6Click();  // exit
    void ToolButton10Click(); // find
    void ToolButton11Click(); // replace
    void RichEdit1Change();

    // Prints the lines one below the other, a new page when the page is full. False when
    // the printer cannot be started.
    bool PrintLines(QPrinter &printer);

    TSynMemo *RichEdit1 = nullptr;
    QAction *action(const QString &name) const { return m_actions.value(name); }
    QString panelText(int panel) const;
    QString NotFoundMessage() const { return m_notFound; }
    // The find and replace dialogs on this editor, with this window's not-found text.
    EditorFindReplace *findReplace() const { return m_findReplace; }

private:
    void FormShow();
    // Panel 0: the caret's line and column.
    void showCaret();
    void ApplyLanguage();
    void addToColumn(int column);
    void showFileError(const QString &path, const QString &error);

    Prompts &m_prompts;
    TFormGrid &m_grid;
    EditorFindReplace *m_findReplace = nullptr;
    QHash<QString, QAction *> m_actions;
    QList<QLabel *> m_panels;
    // Status labels: row/col, lines, chars, words.
    QString m_labels[4];
    QString m_notFound;
};
