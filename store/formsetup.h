#pragma once
// The settings dialog: editor font, line numbering, the four highlighter colours, the FTP
// login and the external browser. It works on the settings file directly: each show
// reads the file into the controls, OK writes all 16 lines back. The caller then reads
// the file again to apply it.

#include "store/settingsfile.h"

#include <QDialog>
#include <QFont>

class QCheckBox;
class QFrame;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
class Prompts;

class TFormSetup : public QDialog
{
    Q_OBJECT
public:
    explicit TFormSetup(Prompts &prompts, QWidget *parent = nullptr);

    // Set by the caller before each show.
    QString IPfad;     // the data folder, ending with "/"
    int SLanguage = 0; // 0 German, anything else English
    int FSize = 9;     // the editor's current font size
    // Line numbering as read or last written.
    bool ZeilenNummern = true;
    // Emptied at each show; Sgroesse holds the size text after OK.
    QString Schrift;
    QString Sgroesse;
    // Whether unsaved edits are journaled for crash recovery: set by the caller before
    // each show (it is no line of the settings file), taken from the box by OK.
    bool KeepJournal = true;
    // Lines 12 and 13 of the settings file, written back unchanged.
    QString Reserved1;
    QString Reserved2;

    // Shows the dialog modally through the prompts. False when the show step failed (the
    // file could not be read, or a colour line is not an integer): the error has been
    // shown, the dialog did not open and the caller must not re-read the settings.
    bool Execute();

    // The show step: reads the file, sets the captions and the colour swatches. False
    // after showing the error.
    bool FormShow();
    bool LoadSetupFile();
    // Writes all 16 lines; shows the system's error and returns false when that fails.
    bool SaveSetupFile();
    void ApplyCaptions();

    void CheckAnonymClick();
    void ButtonFontClick();
    void BitBtn4Click();
    void PickColour(int row);
    void BitBtn1Click();
    void BitBtn2Click();

    QLabel *EditFontLabel = nullptr;
    QLineEdit *EditFont = nullptr;
    QPushButton *ButtonFont = nullptr;
    QLabel *EditSizeLabel = nullptr;
    QLineEdit *EditSize = nullptr;
    QGroupBox *GroupBox1 = nullptr;
    QRadioButton *RadioButton1 = nullptr;
    QRadioButton *RadioButton2 = nullptr;
    QLabel *Label6 = nullptr;
    QLineEdit *EditBrowser = nullptr;
    QPushButton *BitBtn4 = nullptr;
    QGroupBox *GroupBox3 = nullptr;
    // The colour rows in file order: keyword, parameter, comment, symbol.
    struct ColourRow
    {
        QLabel *label;
        QLineEdit *edit;
        QFrame *swatch;
        QPushButton *button;
    };
    std::array<ColourRow, kColourCount> colourRows{};
    QLabel *Label8 = nullptr, *Label9 = nullptr, *Label10 = nullptr, *Label7 = nullptr;
    QLineEdit *EditIdentifier = nullptr, *EditParameter = nullptr, *EditValue = nullptr,
              *EditSymbol = nullptr;
    QFrame *Panel1 = nullptr, *Panel2 = nullptr, *Panel3 = nullptr, *Panel4 = nullptr;
    QPushButton *BitBtn5 = nullptr, *BitBtn6 = nullptr, *BitBtn7 = nullptr, *BitBtn8 = nullptr;
    QGroupBox *GroupBox2 = nullptr;
    QLabel *Label4 = nullptr;
    QLineEdit *EditUser = nullptr;
    QLabel *Label5 = nullptr;
    QLineEdit *MaskEditPass = nullptr;
    QLabel *Label3 = nullptr;
    QLineEdit *EditServer = nullptr;
    QCheckBox *CheckAnonym = nullptr;
    QCheckBox *CheckJournal = nullptr;
    QPushButton *BitBtn1 = nullptr;
    QPushButton *BitBtn2 = nullptr;

    // The font dialog starts from the last font chosen in it, not the editor's.
    QFont FontDialogFont;
    // The browser picker's filter: on Linux any file may be the program.
    static QString openDialogFilter() { return QStringLiteral("Alle(*)|*"); }

    // The swatch colour of a row, as a Windows colour value.
    int swatchColour(int row) const;

private:
    void buildControls();
    SetupFields fieldsFromControls() const;
    void fieldsToControls(const SetupFields &fields);
    void setSwatch(int row, int colour);
    void showError(const QString &text);

    Prompts &m_prompts;
};
