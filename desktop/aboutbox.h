#pragma once
// The about box: the product's name, the version of the program and its web site. The
// caller sets `ALanguage` and `LabelVersion`'s text before each show; the pictures and
// the gradient lead to the news page, the link to the home page.

#include <QDialog>

class QLabel;
class QPushButton;
class Shell;

class TAboutBox : public QDialog
{
    Q_OBJECT
public:
    explicit TAboutBox(Shell &shell, QWidget *parent = nullptr);

    // The UI language, 0 German, any other value English.
    int ALanguage = 0;

    // Asks the shell to open `address` with its default program.
    void OpenUrl(const QString &address);

    QWidget *JvGradient1 = nullptr;
    QLabel *ProgramIcon = nullptr;
    QLabel *Image1 = nullptr;
    QLabel *Label1 = nullptr;
    QLabel *Label6 = nullptr;
    QLabel *LabelRelease = nullptr;
    QLabel *LabelVersion = nullptr;
    QLabel *Label7 = nullptr;
    QLabel *Label5 = nullptr;
    QPushButton *BitBtn1 = nullptr;

    // The two pictures, drawn by the program: ProgramIcon's and Image1's.
    static QPixmap programPicture(bool german);

protected:
    void showEvent(QShowEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void FormShow();

    Shell &m_shell;
};
