#pragma once
// What the launchers hand to other programs: the default browser's command line, the
// file address a browser is given and the FTP address the file manager opens. Nothing
// here starts a program; the main window's launch commands (desktop/launchcommands.h) do
// that through the Shell seam, with arguments as a list.

#include <QString>
#include <QStringList>

// The command line of the desktop's default program for text/html: the Exec line of its
// .desktop entry as written there (field codes such as %u included), or empty when no
// default is set or its entry cannot be found. Reads the XDG MIME association files of
// the user and the system; starts no program.
QString GetDefaultBrowser();

// The lookup behind GetDefaultBrowser with the folders given. `configFolders` are the XDG
// config folders (user first), `applicationFolders` the "applications" folders below the
// XDG data folders (user first), `desktops` the lower-case names of the running desktop
// (from XDG_CURRENT_DESKTOP). The first association file that names an installed entry
// for `mimeType` decides: the mimeapps.list files in the order of the XDG rules, then
// defaults.list, then mimeinfo.cache.
QString defaultHandlerCommand(const QString &mimeType, const QStringList &configFolders,
                              const QStringList &applicationFolders, const QStringList &desktops);

// The program and its arguments that a desktop entry's Exec line starts for `address`,
// read by the freedesktop.org desktop entry rules: arguments split at blanks outside double
// quotes, inside quotes a backslash keeps the next of " ` $ \ literal; %f %F %u %U stand
// for the address, %% for "%", every other field code (%i %c %k and the deprecated
// ones) is dropped; without a file or address code the address is added at the end. A
// leading "env VAR=value" stays, env sets the variables and starts the program. Empty
// when the line names no program or its quotes are not closed.
QStringList desktopExecArguments(const QString &exec, const QString &address);

// Shown when a browser could not be started (none set up, none found, or the start
// failed), and when no program on the desktop opens FTP addresses.
QString browserNotStartedMessage(int language);
QString noFtpHandlerMessage(int language);

// The address a browser is given for a document: "file://" and the trimmed path with
// every space written as "%20" (and "%", "#" and "?", which would otherwise change which
// file the browser opens); every other character stays as it is. A path that does not
// start with "/" gets "file:///" in front.
QString browserFileAddress(const QString &fileName);

// True when the FTP settings are enough to open the server: server and login mode are
// both not blank (a line of spaces names no server).
bool hasFtpLoginData(const QString &server, const QString &loginMode);

// "ftp://" + server for the login mode "Anonymous" (exactly so, case-sensitive); for any
// other mode "ftp://" + user + ":" + password + "@" + server, also when they are empty.
// User and password keep every character except the few that would end them and make the
// rest of the address name another user, host or path ("%", ":", "@", "/", "?", "#", "[",
// "]" and "\"): those are percent-encoded, so the file manager decodes exactly the
// password of the settings and sends it to no other server.
QString ftpAddress(const QString &server, const QString &loginMode, const QString &user,
                   const QString &password);
