#pragma once
// The four dialogs of the script runner: the host choice, the parameter values, the
// function result and the script error. Each is created once and reused; the caller sets
// the language field before every show.

#include <QDialog>

class QButtonGroup;
class QCheckBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QTextEdit;
class QRadioButton;

// Fixed size, centred on its parent, white to grey from top to bottom.
class ScriptDialog : public QDialog
{
    Q_OBJECT
public:
    explicit ScriptDialog(QWidget *parent);
    // The show step: the captions of the language field and the start state. The caller
    // runs it right before showing the dialog.
    virtual void FormShow() = 0;

protected:
    void paintEvent(QPaintEvent *event) override;
    void showEvent(QShowEvent *event) override;
};

class TFormHost : public ScriptDialog
{
    Q_OBJECT
public:
    explicit TFormHost(QWidget *parent = nullptr);

    enum
    {
        HostWsh = 0,
        HostEngine = 1,
        HostBrowser = 2
    };
    int UseHost = -1;
    int HLanguage = 0;
    bool ExOnLoad = false;

    QGroupBox *RadioGroup1 = nullptr;
    QRadioButton *items[3] = {};
    QCheckBox *CheckBox1 = nullptr;
    QPushButton *BitBtn1 = nullptr;
    QPushButton *BitBtn2 = nullptr;

    int ItemIndex() const;
    void SetItemIndex(int index); // as a click on the item
    void RadioGroup1Click();
    void BitBtn1Click();
    void BitBtn2Click();
    void FormShow() override;

private:
    QButtonGroup *m_group = nullptr;
};

class TFormVars : public ScriptDialog
{
    Q_OBJECT
public:
    explicit TFormVars(QWidget *parent = nullptr);

    int VLanguage = 0;
    QLabel *Label1 = nullptr;
    QLabel *Label2 = nullptr;
    QTextEdit *MemoNames = nullptr; // right-aligned, which a plain text edit cannot do
    QPlainTextEdit *MemoValues = nullptr;
    QPlainTextEdit *Memo1 = nullptr;
    QPushButton *BitBtn1 = nullptr;
    QPushButton *BitBtn2 = nullptr;

    // The lines of the two memos as the runner reads and fills them.
    QStringList NameLines() const;
    void SetNameLines(const QStringList &lines);
    QStringList ValueLines() const;

    void BitBtn1Click();
    void BitBtn2Click();
    void FormShow() override;

protected:
    void done(int result) override;
    // Escape presses the Cancel button (closing by the title bar keeps the typed lines).
    void keyPressEvent(QKeyEvent *event) override;
};

class TFormResult : public ScriptDialog
{
    Q_OBJECT
public:
    explicit TFormResult(QWidget *parent = nullptr);

    int RLanguage = 0;
    QLabel *Label1 = nullptr;
    QLabel *Image1 = nullptr;
    QLineEdit *Edit1 = nullptr;
    QPushButton *BitBtn1 = nullptr;
    // The output of a script run by the console host, shown instead of Edit1 while
    // ShowsOutput is set.
    QPlainTextEdit *MemoOutput = nullptr;
    bool ShowsOutput = false;
    void FormShow() override;
};

class TFormErInfo : public ScriptDialog
{
    Q_OBJECT
public:
    explicit TFormErInfo(QWidget *parent = nullptr);

    int ELanguage = 0;
    QLabel *Label1 = nullptr;
    QLabel *Label2 = nullptr;
    QLabel *Label3 = nullptr;
    QLabel *Label4 = nullptr;
    QLabel *Label5 = nullptr;
    QLabel *Label6 = nullptr;
    QLineEdit *EditNr = nullptr;
    QLineEdit *EditSource = nullptr;
    QLineEdit *EditDesc = nullptr;
    QLineEdit *EditLine = nullptr;
    QLineEdit *EditCol = nullptr;
    QLineEdit *EditText = nullptr;
    QPushButton *BitBtn1 = nullptr;
    void FormShow() override;
};
