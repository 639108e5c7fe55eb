#pragma once
// The main window's text commands on its document editor: the transformations (hyphen
// removal, line-break removal and insertion, the two case conversions), go to line,
// delete selection, and the ten bookmarks with the check marks of their two submenus.
// The main window owns one and forwards its handlers to it; everything it touches is
// handed in, so it runs in tests without the main window.

#include <QObject>
#include <QString>
#include <array>
#include <functional>

class Prompts;
class QAction;
class TSynMemo;

class DocumentTools : public QObject
{
    Q_OBJECT
public:
    struct Host
    {
        TSynMemo *editor = nullptr;
        Prompts *prompts = nullptr;
        QString boxTitle;
        // Message N of the UI language of the moment.
        std::function<QString(int number)> message;
        // Item n of the set submenu (`goTo` false) or of the go-to submenu.
        std::function<QAction *(int number, bool goTo)> bookmarkItem;
    };

    explicit DocumentTools(Host host, QObject *parent = nullptr);

    void RemoveHyphenation1Click();
    void Removelinebreaks1Click();
    void Insertlinebreaks1Click();
    void UppertoLower1Click();
    void LowertoUpper1Click();

    void GoToLine1Click();
    void ToolButtonDelClick();

    // Set bookmark n at the caret (nothing in a document without lines), go to it, clear
    // all ten; each keeps the check marks of both submenus in step.
    void SetBookmark(int number);
    void GotoBookmark(int number);
    void Lesezeichenlschen1Click();
    // A click into the gutter on line `line` (from 1; the caret is already there): clears
    // the lowest bookmark on that line, or sets the lowest unchecked number.
    void SynMemo1GutterClick(int line);

    // Whether item n of both submenus carries its check mark.
    bool isChecked(int number) const { return m_checked.at(number); }

private:
    void setChecked(int number, bool checked);
    // The items show m_checked again: a checkable menu item flips its own mark when it is
    // chosen, and only these commands may change the marks.
    void showChecks();
    // The selection converted by `convert`, written back as one step.
    void convertSelection(QString (*convert)(QString));

    Host m_host;
    std::array<bool, 10> m_checked{};
};
