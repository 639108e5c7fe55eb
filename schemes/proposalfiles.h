#pragma once
// Code proposal files: for each scheme a pair in the data folder, prefix + "Items.src"
// (the keywords the pop-up lists, one per line) and prefix + "Inserts.src" (line for line
// the code inserted for them, "$ret" standing for a line break). Either file may be
// stored plain or scrambled. The program ships a starter pair per prefix and copies it
// into the data folder when that pair is missing there.

#include "base/safewrite.h"
#include "editor/textcodec.h"

#include <QString>
#include <QStringList>

struct ProposalLoad
{
    // False when either file of the pair does not exist; nothing is read then.
    bool loaded = false;
    // A file that exists but cannot be read: its path and the system's text. The lists
    // hold what was read before it.
    FileResult result;
    QString failedPath;
};

// Empties both lists, then fills `items` from `itemsPath` and `inserts` from `insertsPath`
// line by line, blank lines and a last empty line after a final break included. A file
// whose text (before any unscrambling) is blank adds nothing and still counts as loaded.
ProposalLoad loadProposalPair(const QString &itemsPath, const QString &insertsPath,
                              QStringList &items, QStringList &inserts);

// Every "$ret" (exact, lower case) becomes `lineBreak`, left to right without overlap.
QString expandReturnMarkers(QStringView value, QStringView lineBreak);

// The folder of the shipped starter pairs for a program in `programFolder`: beside the
// program ("proposals", the build tree) or the installed share folder
// ("../share/quillora/proposals"). Empty when neither exists.
QString starterProposalFolder(const QString &programFolder);

struct StarterInstall
{
    int copiedPairs = 0;
    FileResult result; // the first failure; later pairs are still tried
};

// Copies each starter pair of `sourceFolder` into `dataFolder` (ending with "/") when
// neither file of that pair exists there. Existing files are never touched; a pair that
// cannot be copied whole is removed again, so the next start tries anew.
StarterInstall installStarterProposals(const QString &sourceFolder, const QString &dataFolder);
