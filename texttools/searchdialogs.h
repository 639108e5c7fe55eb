#pragma once
// The find dialog and the replace dialog: modeless, always searching forward. The find
// dialog offers match case, whole word and regular expression; the replace dialog match
// case and regular expression, and the buttons find next, replace and replace all. The dialogs only
// collect the user's input and say which button was pressed; the searching is done by
// EditorFindReplace.

#include <QDialog>

class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;

class TFindDialog : public QDialog
{
    Q_OBJECT
public:
    explicit TFindDialog(QWidget *parent = nullptr);

    QString FindText() const;
    void setFindText(const QString &text);
    bool MatchCase() const;
    bool WholeWord() const;
    bool Regex() const;
    // Captions: 0 German, any other value English.
    void setLanguage(int language);

    QLineEdit *findEdit() const { return m_find; }
    QCheckBox *matchCaseBox() const { return m_matchCase; }
    QCheckBox *wholeWordBox() const { return m_wholeWord; }
    QCheckBox *regexBox() const { return m_regex; }
    QPushButton *findButton() const { return m_findButton; }

signals:
    // The find-next button (or Enter) was pressed.
    void OnFind();

private:
    QLabel *m_label;
    QLineEdit *m_find;
    QCheckBox *m_matchCase;
    QCheckBox *m_wholeWord;
    QCheckBox *m_regex;
    QPushButton *m_findButton;
    QPushButton *m_cancel;
};

class TReplaceDialog : public QDialog
{
    Q_OBJECT
public:
    explicit TReplaceDialog(QWidget *parent = nullptr);

    QString FindText() const;
    void setFindText(const QString &text);
    QString ReplaceText() const;
    void setReplaceText(const QString &text);
    bool MatchCase() const;
    bool Regex() const;
    void setLanguage(int language);

    QLineEdit *findEdit() const { return m_find; }
    QLineEdit *replaceEdit() const { return m_replace; }
    QCheckBox *matchCaseBox() const { return m_matchCase; }
    QCheckBox *regexBox() const { return m_regex; }
    QPushButton *findButton() const { return m_findButton; }
    QPushButton *replaceButton() const { return m_replaceButton; }
    QPushButton *replaceAllButton() const { return m_replaceAllButton; }

signals:
    void OnFind();
    // `all`: the replace-all button, otherwise the replace button.
    void OnReplace(bool all);

private:
    QLabel *m_findLabel;
    QLabel *m_replaceLabel;
    QLineEdit *m_find;
    QLineEdit *m_replace;
    QCheckBox *m_matchCase;
    QCheckBox *m_regex;
    QPushButton *m_findButton;
    QPushButton *m_replaceButton;
    QPushButton *m_replaceAllButton;
    QPushButton *m_cancel;
};
