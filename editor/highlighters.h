#pragma once
// The seventeen highlighter components of the main window, one per syntax scheme, each a
// QScintilla lexer named after its component ("SynPasSyn1"). Beside the lexers this file
// knows, per highlighter, which style numbers make up each attribute that the program
// colours: the four standard kinds and the few named attributes (HTML "ValueAttri" and
// "AndAttri", CSS "PropertyAttri" and "ValueAttri"). A highlighter that lacks a kind has
// no styles for it, and colouring that kind fails.

#include <QColor>
#include <QList>
#include <QObject>
#include <QStringView>

class QsciLexer;

// The attribute kinds of the colour step.
namespace AttributeKind {
inline constexpr int Comment = 0;
inline constexpr int Identifier = 1;
inline constexpr int Keyword = 2;
inline constexpr int Symbol = 5;
} // namespace AttributeKind

// Windows colour values (0x00BBGGRR) and screen colours.
QColor colourFromBgr(int bgr);
int bgrFromColour(const QColor &colour);

class Highlighters : public QObject
{
    Q_OBJECT
public:
    // Creates all seventeen, with their design-time colours and one monospace font.
    explicit Highlighters(QObject *parent = nullptr);

    // "SynCppSyn1" ... "SynCssSyn1" (exact case: "SynCSSyn1" is C#, "SynCssSyn1" CSS);
    // nullptr for any other name.
    QsciLexer *byName(QStringView name) const;
    const QList<QsciLexer *> &all() const { return m_all; }

private:
    QList<QsciLexer *> m_all;
};

// The component name of a highlighter made by Highlighters; empty for nullptr.
QString highlighterName(const QsciLexer *highlighter);

// Style numbers of an attribute kind (main style first); empty when the highlighter has
// no attribute of that kind.
QList<int> kindStyles(const QsciLexer *highlighter, int kind);
// Style numbers of a named attribute ("ValueAttri", ...); empty when there is none.
QList<int> namedStyles(const QsciLexer *highlighter, QStringView attribute);

// Sets the foreground of every style of the kind or named attribute. False, and nothing
// changes, when the highlighter has no such attribute.
bool setKindColour(QsciLexer *highlighter, int kind, int bgrColour);
bool setNamedColour(QsciLexer *highlighter, QStringView attribute, int bgrColour);
