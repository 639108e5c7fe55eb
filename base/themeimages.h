#pragma once
// Pictures from the Tango icon theme, which Debian ships as tango-icon-theme. A picture is
// taken from the installed theme in every size it has; where the theme is not installed,
// the copy of the few pictures the program uses, built into the program, serves.

#include <QIcon>
#include <QStringList>

// `context` and `name` as in the theme's folders ("actions", "document-new"). The folders
// searched are `searchPaths` (each holding themes, like /usr/share/icons), then the
// built-in copy. A null icon when neither has the picture.
QIcon themeImage(const QString &context, const QString &name,
                 const QStringList &searchPaths = QIcon::themeSearchPaths());

// The program's own icon in the sizes of the hicolor theme: the installed one when the
// theme has it, else the built-in copy.
QIcon programIcon();
