#include "lang/commandtexts.h"

#include "lang/messages.h"

#include <array>

namespace {

struct Pair
{
    const char16_t *german;
    const char16_t *english;
};

const std::array<Pair, kCommandTextEnd - kCommandTextBase> kTexts = {{
    {u"Ansicht", u"View"},
    {u"Leerzeichen und Tabulatoren zeigen", u"Show spaces and tabs"},
    {u"Zeilenenden zeigen", u"Show line ends"},
    {u"Einrückungslinien", u"Indentation guides"},
    {u"Markierung langer Zeilen...", u"Long-line marker..."},
    {u"Faltrand", u"Fold margin"},
    {u"Alles einklappen", u"Fold all"},
    {u"Alles ausklappen", u"Unfold all"},
    {u"Vergrößern", u"Zoom in"},
    {u"Verkleinern", u"Zoom out"},
    {u"Normalgröße", u"Normal size"},
    {u"Zur passenden Klammer", u"Go to matching brace"},
    {u"Markierung nach Spalte (0: keine)", u"Marker after column (0: none)"},
    {u"Kommentar für Zeilen ein/aus", u"Toggle line comment"},
    {u"Zeile oder Auswahl verdoppeln", u"Duplicate line or selection"},
    {u"Zeilen aufwärts schieben", u"Move lines up by one"},
    {u"Zeilen abwärts schieben", u"Move lines down by one"},
    {u"Zeilen ganz löschen", u"Delete lines entirely"},
    {u"Zeilenumbrüche: CR LF", u"Line breaks: CR LF"},
    {u"Zeilenumbrüche: LF", u"Line breaks: LF"},
    {u"Zeilenumbrüche: CR", u"Line breaks: CR"},
}};

} // namespace

QString commandText(int language, int number)
{
    if (number < kCommandTextBase)
        return messageText(language, number);
    if (number >= kCommandTextEnd)
        return QString();
    const Pair &pair = kTexts[std::size_t(number - kCommandTextBase)];
    return QString::fromUtf16(isGerman(language) ? pair.german : pair.english);
}
