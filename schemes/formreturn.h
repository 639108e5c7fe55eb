#pragma once
// The line-break dialog: one Code cell as several lines. The cell's "$ret" markers are
// shown as line breaks; accepting turns the trimmed lines back into one line with "$ret".

#include <QDialog>

class QLabel;
class QPlainTextEdit;
class QPushButton;
class Prompts;

class TFormReturn : public QDialog
{
    Q_OBJECT
public:
    explicit TFormReturn(QWidget *parent = nullptr);

    QString CodeProp; // in: the cell's text; out: the edited text, empty when cancelled
    int RLanguage = 0;

    // Shows the dialog modally through `prompts`; returns `CodeProp`.
    QString Execute(Prompts &prompts);

    void FormShow();
    void BitBtn1Click();
    void BitBtn2Click();

    QPlainTextEdit *Memo1 = nullptr;
    QPushButton *BitBtn1 = nullptr;
    QPushButton *BitBtn2 = nullptr;

protected:
    void resizeEvent(QResizeEvent *event) override;

private:
    void ApplyLanguage();
    void FormResize();

    QLabel *m_label = nullptr;
};
