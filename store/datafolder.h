#pragma once
// The folder of the program's own files: the settings file, the recent files list, the
// proposal files and the script test page.

#include "base/safewrite.h"

#include <QString>

// XDG_DATA_HOME (normally ~/.local/share) + "/qldata/"; always ends with "/".
QString dataFolder();

// Creates `folder` when it is missing, with its parents; the folder itself is made
// readable by its owner only (0700). An existing folder is left as it is. Fails with the
// system's text when the folder cannot be created.
FileResult ensureDataFolder(const QString &folder);
