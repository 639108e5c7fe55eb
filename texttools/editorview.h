#pragma once
// The main editor's view aids and their commands: visible spaces and tabs, line ends,
// indentation guides, a long-line marker at a column of the user's choice, the fold
// margin, fold all and unfold all, zoom, and going to the matching brace. The switches
// are kept in the preferences ("view.*" keys); the zoom lasts until the program ends and
// is shown through the host while it is not 100 %.
//
//   EditorView view(*editor, {prompts, language, preferences, savePreferences, showZoom,
//                             action});
//   view.load();           // switches from the preferences, onto the editor and the menu

#include <QObject>
#include <QString>
#include <functional>

class Preferences;
class Prompts;
class QAction;
class TSynMemo;

class EditorView : public QObject
{
    Q_OBJECT
public:
    struct Host
    {
        Prompts *prompts = nullptr;
        std::function<int()> language;
        std::function<Preferences &()> preferences;
        std::function<void()> savePreferences;
        // The zoom text for the status bar; empty at 100 %.
        std::function<void(const QString &)> showZoom;
        // The menu item of a command name (checkable switches get their tick from here).
        std::function<QAction *(const QString &)> action;
    };

    EditorView(TSynMemo &editor, Host host, QObject *parent = nullptr);

    // Reads the switches and applies them to the editor and the menu items.
    void load();

    bool showWhitespace() const { return m_whitespace; }
    bool showLineEnds() const { return m_lineEnds; }
    bool indentGuides() const { return m_indentGuides; }
    bool foldMargin() const { return m_foldMargin; }
    int longLineColumn() const { return m_longLineColumn; }

    void ToggleWhitespace();
    void ToggleLineEnds();
    void ToggleIndentGuides();
    void ToggleFoldMargin();
    // Asks for the column (0 switches the marker off); an invalid entry changes nothing.
    void AskLongLineColumn();
    void FoldAll();
    void UnfoldAll();
    void ZoomIn();
    void ZoomOut();
    void ZoomReset();
    void GoToMatchingBrace();

    // "Zoom: 120 %" for `points` added to a font of `fontPoints`; empty at 100 %.
    static QString zoomText(int points, double fontPoints);
    // The column typed into the input box: 0 to 1000, blanks around allowed; -1 otherwise.
    static int parseColumn(const QString &text);

private:
    void apply();
    void store();
    void showZoom(int points);

    TSynMemo &m_editor;
    Host m_host;
    bool m_whitespace = false;
    bool m_lineEnds = false;
    bool m_indentGuides = false;
    bool m_foldMargin = true;
    int m_longLineColumn = 0;
};
