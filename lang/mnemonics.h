#pragma once
// Access keys of menu captions: Alt plus the underlined letter opens a menu or runs an
// item. The captions stay the texts of the message tables; only the '&' marks are added.

#include <QString>
#include <QStringList>

// The captions of one menu, each with an access key no earlier caption took (letters
// compared without case). A caption's key is the first free ASCII letter or digit that
// starts a word, else any free one; a key name set off by a run of spaces at the end
// ("Undo      CTRL+Z") is not used. A caption with no free letter gets no key. An '&' that
// is part of a caption is doubled so it shows. `taken` holds keys that must stay free.
QStringList withMnemonics(const QStringList &captions, QStringView taken = {});

// The text a caption shows: single '&' marks removed, "&&" back to "&".
QString withoutMnemonic(QStringView text);
