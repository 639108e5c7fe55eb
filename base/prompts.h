#pragma once
// Every modal thing the user answers goes through this interface, so windows can be
// driven by tests: message and question boxes, input boxes, the file, font, colour and
// print dialogs, and our own modal forms. QtPrompts shows the real ones.

#include <QFont>
#include <QString>
#include <QStringList>
#include <optional>

class QDialog;
class QPrinter;
class QWidget;

class Prompts
{
public:
    enum class Icon
    {
        Information,
        Warning,
        Error,
        Question
    };
    enum class Buttons
    {
        Ok,
        OkCancel,
        YesNo,
        YesNoCancel
    };
    // Closing a question box with the window's close button answers Cancel (or No
    // where there is no Cancel).
    enum class Answer
    {
        Ok,
        Cancel,
        Yes,
        No
    };

    virtual ~Prompts() = default;

    virtual void message(Icon icon, const QString &title, const QString &text) = 0;
    virtual Answer question(Icon icon, const QString &title, const QString &text,
                            Buttons buttons) = 0;
    virtual std::optional<QString> inputText(const QString &title, const QString &label,
                                             const QString &initial) = 0;

    // Filters in the form "Label|*.a;*.b|Label|*.c"; the first is selected.
    virtual std::optional<QString> openFileName(const QString &folder, const QString &filters) = 0;
    // Several files at once (full paths, in the order chosen); Cancel gives no value.
    virtual std::optional<QStringList> openFileNames(const QString &folder,
                                                     const QString &filters) = 0;
    virtual std::optional<QString> saveFileName(const QString &folder, const QString &proposedName,
                                                const QString &filters) = 0;
    virtual std::optional<QFont> font(const QFont &initial) = 0;
    // Colours are Windows colour values, 0x00BBGGRR.
    virtual std::optional<int> colour(int initial) = 0;
    // Lets the user choose and set up the printer; false when cancelled.
    virtual bool print(QPrinter &printer) = 0;
    // Shows one of our own forms modally and returns its QDialog result code.
    virtual int exec(QDialog &dialog) = 0;
};

// The real dialogs, owned by `parent`'s window.
class QtPrompts : public Prompts
{
public:
    explicit QtPrompts(QWidget *parent = nullptr) : m_parent(parent) {}
    void setParent(QWidget *parent) { m_parent = parent; }

    void message(Icon icon, const QString &title, const QString &text) override;
    Answer question(Icon icon, const QString &title, const QString &text, Buttons buttons) override;
    std::optional<QString> inputText(const QString &title, const QString &label,
                                     const QString &initial) override;
    std::optional<QString> openFileName(const QString &folder, const QString &filters) override;
    std::optional<QStringList> openFileNames(const QString &folder,
                                             const QString &filters) override;
    std::optional<QString> saveFileName(const QString &folder, const QString &proposedName,
                                        const QString &filters) override;
    std::optional<QFont> font(const QFont &initial) override;
    std::optional<int> colour(int initial) override;
    bool print(QPrinter &printer) override;
    int exec(QDialog &dialog) override;

private:
    QWidget *m_parent;
};

// "Label|*.a;*.b|Label2|*.c" -> Qt's "Label (*.a *.b);;Label2 (*.c)"; "*.*" becomes "*",
// so it matches every file as it does on Windows. The dialogs show only the labels.
QString qtFileFilter(const QString &windowsFilter);
