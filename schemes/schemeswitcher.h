#pragma once
// The main window's syntax scheme: which highlighter colours the document, the scheme
// name in status-bar panel 2, the proposal pair loaded into the completion pop-up (with
// the proposal hint in panel 4) and the paths of that pair (`ItemFile`, `InsFile`).
// Chosen from a file name, from the scheme menu, or from pasted text. The main window
// creates one switcher and forwards its handlers to it; the switcher is handed all it
// touches, so it runs in tests without the main window.

#include "schemes/schemecatalogue.h"

#include <QObject>
#include <array>
#include <functional>

class Highlighters;
class QsciLexer;
class TSynCompletionProposal;
class TSynMemo;

class SchemeSwitcher : public QObject
{
    Q_OBJECT
public:
    struct Host
    {
        TSynMemo *editor = nullptr;                   // SynMemo1
        TSynCompletionProposal *completion = nullptr; // SynCompletionProposal1
        Highlighters *highlighters = nullptr;
        // The data folder, ending with "/" (known once the window is shown).
        std::function<QString()> dataFolder;
        QString *itemFile = nullptr; // the main window's ItemFile and InsFile
        QString *insFile = nullptr;
        std::function<void(int panel, const QString &text)> setPanelText;
        // Message 85, in the UI language of the moment.
        std::function<QString()> proposalHint;
        // Keyword, parameter, comment and symbol colour (0x00BBGGRR).
        std::function<std::array<int, 4>()> colours;
        // A proposal file that exists but cannot be read.
        std::function<void(const QString &path, const QString &error)> showFileError;
        // Used by the key-release handler.
        std::function<void()> showCaretPosition;
        std::function<void()> fileNew;
    };

    explicit SchemeSwitcher(Host host, QObject *parent = nullptr);

    // Chooses the scheme by the extension of `fileName` (the file is not read), switches to
    // it and loads its proposals. Always true.
    bool IsHTML(const QString &fileName);
    // The scheme menu items (ASM1Click ... XML1Click); Scheme::None is None1Click.
    void MenuClick(Scheme scheme);
    void None1Click() { MenuClick(Scheme::None); }
    // The four colours onto the editor's current highlighter; each step is skipped on its
    // own when the highlighter lacks that attribute.
    void SetHColors();
    // Loads a pair into the completion lists; false when a file is missing or unreadable.
    bool LoadProposals(const QString &itemsPath, const QString &insertsPath);
    // Content code (0 to 9) of the editor's text.
    int DetectScheme() const;
    // The editor's key-release event: caret position, File new on a blank text, scheme
    // detection after Ctrl+V in a document without a scheme.
    void SynMemo1KeyUp(int key, Qt::KeyboardModifiers modifiers);
    // The completion's code step: every "$ret" becomes a line break.
    void SynCompletionProposal1CodeCompletion(QString &value, int index, QChar endToken);

    QsciLexer *highlighter(Scheme scheme) const;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void attachProposals(Scheme scheme, const QString &itemsPath, const QString &insertsPath);
    bool editorIsBlank() const;

    Host m_host;
};
