#pragma once
// The proposal table editor: a scheme's proposal pair as a two-column table, Keyword and
// Code, one proposal per row. The main window hands over the pair before each show; the
// editor forgets it again when it closes.
//
// For now the table shows the pair; editing, sorting and saving come with the table
// editor's own commands.

#include <QDialog>

class QTableWidget;
class Prompts;

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

    QTableWidget *StringGrid1 = nullptr;

private:
    void FormShow();
    void ApplyLanguage();
    void LoadFiles();
    void FormClose();

    Prompts &m_prompts;
};
