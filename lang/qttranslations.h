#pragma once
// Qt's own texts (standard buttons, the file, colour, font and print dialogs, the editor
// component's texts) in the UI language. Debian ships Qt's German catalogues in
// qt6-translations-l10n; English needs none, Qt's texts are English.

// Installs the catalogues of `language` in place of those installed before. False when a
// catalogue the language needs cannot be found; the texts then stay English.
bool applyQtTranslations(int language);
