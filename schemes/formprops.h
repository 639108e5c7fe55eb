#pragma once
// The scheme picker: sixteen radio buttons, one per proposal prefix. `Language` is the
// chosen prefix, or empty when nothing was chosen or the dialog was cancelled.

#include <QDialog>

class QGroupBox;
class QPushButton;
class QRadioButton;
class Prompts;

class TFormProps : public QDialog
{
    Q_OBJECT
public:
    explicit TFormProps(QWidget *parent = nullptr);

    int Sprache = 0;  // UI language, set by the caller
    QString Language; // the result

    // Shows the picker modally through `prompts`; returns `Language`.
    QString Execute(Prompts &prompts);

    void FormShow();
    void BitBtn1Click();
    void BitBtn2Click();

    // Caption and proposal prefix of each radio button, in screen order.
    static const QList<std::pair<QString, QString>> &choices();

    QPushButton *BitBtn1 = nullptr;
    QPushButton *BitBtn2 = nullptr;

protected:
    void reject() override;

private:
    void ApplyLanguage();

    QGroupBox *m_group = nullptr;
    QList<QRadioButton *> m_buttons;
};
