#pragma once
// The main window's commands as data: every menu item, toolbar button and context item
// with its component name, the message number of its caption (menus, context menu) or
// hint (toolbar), shortcut, picture and handler. One loop over these tables builds the
// window and another drives the language switch.

#include "app/mainform.h"

#include <span>

// One row per control that runs a command. A row without a handler is a command that is
// not available yet; the row named kSeparator is a separator.
struct TMainForm::Command
{
    const char *name;
    int message;
    const char *shortcut;
    int image;
    void (*run)(TMainForm &);
};

inline constexpr int kNoMessage = -1;
inline constexpr int kNoImage = -1;
inline constexpr const char *kSeparator = "-";

struct MenuSpec
{
    const char *name;
    int message;
    std::span<const TMainForm::Command> items;
};

// File, Edit, View, Options, Language and Help, in menu-bar order.
std::span<const MenuSpec> mainMenus();
std::span<const TMainForm::Command> toolBarCommands();
std::span<const TMainForm::Command> contextMenuCommands();

// Bookmark submenu items: set "Lesezeichen02", "Lesezeichen11" ... "Lesezeichen91";
// go to "Lesezeichen01", "Lesezeichen12" ... "Lesezeichen92".
QString bookmarkItemName(int number, bool goTo);

// The name a macro gives a command (Editor.RunCommand): the item's name without a
// trailing "Item" or "1" ("RemoveHyphenation1" -> "RemoveHyphenation"). Letter case is
// ignored and the full item name works too. Null for no such command, for Quit, which
// would close the window under the running macro, and for Execute code, which needs the
// engine the macro runs in.
const TMainForm::Command *macroCommand(const QString &name);
// Every command a macro can run, by the name above, in menu order.
QStringList macroCommandNames();
