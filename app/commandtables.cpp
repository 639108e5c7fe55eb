#include "app/commandtables.h"

#include "base/toolbarimages.h"
#include "lang/commandtexts.h"

namespace {

const TMainForm::Command kFileMenu[] = {
    {"FileNewItem", 41, "Ctrl+N", kImageNew, [](TMainForm &f) { f.FileNew(); }},
    {"FileOpenItem", 42, "Ctrl+O", kImageOpen, [](TMainForm &f) { f.FileOpen(); }},
    {"FileSaveItem", 43, "Ctrl+S", kImageSave, [](TMainForm &f) { f.FileSave(); }},
    {"FileSaveAsItem", 44, nullptr, kNoImage, [](TMainForm &f) { f.FileSaveAs(); }},
    {"AlsAsciiTextspeichern1", 45, nullptr, kNoImage,
     [](TMainForm &f) { f.AlsAsciiTextspeichern1Click(); }},
    {kSeparator, kNoMessage, nullptr, kNoImage, nullptr},
    {"FilePrintItem", 46, "Ctrl+P", kImagePrint, [](TMainForm &f) { f.FilePrint(); }},
    {kSeparator, kNoMessage, nullptr, kNoImage, nullptr},
    {"FileExitItem", 47, "Alt+X", kImageQuit, [](TMainForm &f) { f.FileExit(); }},
    {kSeparator, kNoMessage, nullptr, kNoImage, nullptr},
    {"DelLast", 86, nullptr, kNoImage, [](TMainForm &f) { f.DelLastClick(); }},
    {"file11", kNoMessage, nullptr, kNoImage, [](TMainForm &f) { f.OpenRecentFile(0); }},
    {"file21", kNoMessage, nullptr, kNoImage, [](TMainForm &f) { f.OpenRecentFile(1); }},
    {"file31", kNoMessage, nullptr, kNoImage, [](TMainForm &f) { f.OpenRecentFile(2); }},
    {"file41", kNoMessage, nullptr, kNoImage, [](TMainForm &f) { f.OpenRecentFile(3); }},
};

const TMainForm::Command kEditMenu[] = {
    {"EditUndoItem", 48, nullptr, kImageUndo, [](TMainForm &f) { f.EditUndo(); }},
    {"Selectall1", 49, nullptr, kImageSelectAll, [](TMainForm &f) { f.Selectall1Click(); }},
    {kSeparator, kNoMessage, nullptr, kNoImage, nullptr},
    {"EditCutItem", 50, nullptr, kImageCut, [](TMainForm &f) { f.EditCut(); }},
    {"EditCopyItem", 51, nullptr, kImageCopy, [](TMainForm &f) { f.EditCopy(); }},
    {"EditPasteItem", 52, nullptr, kImagePaste, [](TMainForm &f) { f.EditPaste(); }},
    {kSeparator, kNoMessage, nullptr, kNoImage, nullptr},
    {"Find1", 53, "Ctrl+F", kImageFind, [](TMainForm &f) { f.Find1Click(); }},
    {"Findenexten", 54, "F3", kNoImage, [](TMainForm &f) { f.FindenextenClick(); }},
    {"Replace1", 55, "Ctrl+R", kNoImage, [](TMainForm &f) { f.Replace1Click(); }},
    {"MultiReplace1", 56, "Ctrl+M", kNoImage, [](TMainForm &f) { f.MultiReplace1Click(); }},
    {kSeparator, kNoMessage, nullptr, kNoImage, nullptr},
    {"GoToLine1", 57, "Ctrl+G", kNoImage, [](TMainForm &f) { f.GoToLine1Click(); }},
    {kSeparator, kNoMessage, nullptr, kNoImage, nullptr},
    {"RemoveHyphenation1", 58, nullptr, kNoImage,
     [](TMainForm &f) { f.RemoveHyphenation1Click(); }},
    {kSeparator, kNoMessage, nullptr, kNoImage, nullptr},
    {"Removelinebreaks1", 59, nullptr, kNoImage, [](TMainForm &f) { f.Removelinebreaks1Click(); }},
    {"Insertlinebreaks1", 60, nullptr, kNoImage, [](TMainForm &f) { f.Insertlinebreaks1Click(); }},
    {kSeparator, kNoMessage, nullptr, kNoImage, nullptr},
    {"UppertoLower1", 61, nullptr, kImageLower, [](TMainForm &f) { f.UppertoLower1Click(); }},
    {"LowertoUpper1", 62, nullptr, kImageUpper, [](TMainForm &f) { f.LowertoUpper1Click(); }},
    {kSeparator, kNoMessage, nullptr, kNoImage, nullptr},
    {"ToggleComment1", kToggleCommentText, "Ctrl+/", kNoImage,
     [](TMainForm &f) { f.ToggleComment1Click(); }},
    {"DuplicateLine1", kDuplicateLineText, "Ctrl+D", kNoImage,
     [](TMainForm &f) { f.DuplicateLine1Click(); }},
    {"MoveLineUp1", kMoveLineUpText, "Alt+Up", kNoImage,
     [](TMainForm &f) { f.MoveLineUp1Click(); }},
    {"MoveLineDown1", kMoveLineDownText, "Alt+Down", kNoImage,
     [](TMainForm &f) { f.MoveLineDown1Click(); }},
    {"DeleteLine1", kDeleteLineText, "Ctrl+K", kNoImage,
     [](TMainForm &f) { f.DeleteLine1Click(); }},
};

// Past the described menus: the view aids of the editor (texttools/editorview.h).
const TMainForm::Command kViewMenu[] = {
    {"ShowWhitespace1", kShowWhitespaceText, nullptr, kNoImage,
     [](TMainForm &f) { f.ShowWhitespace1Click(); }},
    {"ShowLineEnds1", kShowLineEndsText, nullptr, kNoImage,
     [](TMainForm &f) { f.ShowLineEnds1Click(); }},
    {"IndentGuides1", kIndentGuidesText, nullptr, kNoImage,
     [](TMainForm &f) { f.IndentGuides1Click(); }},
    {"LongLineMarker1", kLongLineMarkerText, nullptr, kNoImage,
     [](TMainForm &f) { f.LongLineMarker1Click(); }},
    {kSeparator, kNoMessage, nullptr, kNoImage, nullptr},
    {"FoldMargin1", kFoldMarginText, nullptr, kNoImage, [](TMainForm &f) { f.FoldMargin1Click(); }},
    {"FoldAll1", kFoldAllText, nullptr, kNoImage, [](TMainForm &f) { f.FoldAll1Click(); }},
    {"UnfoldAll1", kUnfoldAllText, nullptr, kNoImage, [](TMainForm &f) { f.UnfoldAll1Click(); }},
    {kSeparator, kNoMessage, nullptr, kNoImage, nullptr},
    {"ZoomIn1", kZoomInText, "Ctrl++", kNoImage, [](TMainForm &f) { f.ZoomIn1Click(); }},
    {"ZoomOut1", kZoomOutText, "Ctrl+-", kNoImage, [](TMainForm &f) { f.ZoomOut1Click(); }},
    {"ZoomReset1", kZoomResetText, "Ctrl+0", kNoImage, [](TMainForm &f) { f.ZoomReset1Click(); }},
    {kSeparator, kNoMessage, nullptr, kNoImage, nullptr},
    {"MatchingBrace1", kMatchingBraceText, "Ctrl+B", kNoImage,
     [](TMainForm &f) { f.MatchingBrace1Click(); }},
    {kSeparator, kNoMessage, nullptr, kNoImage, nullptr},
    {"LineBreaksCrLf1", kLineBreaksCrLfText, nullptr, kNoImage,
     [](TMainForm &f) { f.LineBreaks1Click(LineBreak::CrLf); }},
    {"LineBreaksLf1", kLineBreaksLfText, nullptr, kNoImage,
     [](TMainForm &f) { f.LineBreaks1Click(LineBreak::Lf); }},
    {"LineBreaksCr1", kLineBreaksCrText, nullptr, kNoImage,
     [](TMainForm &f) { f.LineBreaks1Click(LineBreak::Cr); }},
};

const TMainForm::Command kOptionsMenu[] = {
    {"SelectSyntaxscheme1", 63, nullptr, kNoImage, nullptr}, // submenu
    {"Editcodeproposals1", 64, nullptr, kImageProposals,
     [](TMainForm &f) { f.Editcodeproposals1Click(); }},
    {"Settings2", 65, nullptr, kNoImage, [](TMainForm &f) { f.Settings2Click(); }},
    {kSeparator, kNoMessage, nullptr, kNoImage, nullptr},
    {"FTP1", 66, nullptr, kImageFtp, [](TMainForm &f) { f.ToolButton2Click(); }},
    {"Code1", 67, nullptr, kImageExecute, [](TMainForm &f) { f.ToolButton6Click(); }},
    {kSeparator, kNoMessage, nullptr, kNoImage, nullptr},
    {"NachUpdatessuchen1", 68, nullptr, kNoImage,
     [](TMainForm &f) { f.NachUpdatessuchen1Click(); }},
};

const TMainForm::Command kLanguageMenu[] = {
    {"Deutsch1", 71, nullptr, kNoImage, [](TMainForm &f) { f.Deutsch1Click(); }},
    {"Englisch1", 70, nullptr, kNoImage, [](TMainForm &f) { f.Englisch1Click(); }},
};

const TMainForm::Command kHelpMenu[] = {
    {"Help1", 72, nullptr, kImageHelp, [](TMainForm &f) { f.Help1Click(); }},
    {kSeparator, kNoMessage, nullptr, kNoImage, nullptr},
    {"HelpAboutItem", 73, nullptr, kImageAbout, [](TMainForm &f) { f.HelpAbout(); }},
};

const MenuSpec kMainMenu[] = {
    {"FileMenu", 36, kFileMenu},
    {"EditMenu", 37, kEditMenu},
    {"ViewMenu", kViewMenuText, kViewMenu},
    {"Settings1", 38, kOptionsMenu},
    {"Sprache1", 39, kLanguageMenu},
    {"HelpMenu", 40, kHelpMenu},
};

// Toolbar buttons carry their message as hint.
const TMainForm::Command kToolBar[] = {
    {"ToolButton1", 15, nullptr, kImageNew, [](TMainForm &f) { f.FileNew(); }},
    {"OpenButton", 16, nullptr, kImageOpen, [](TMainForm &f) { f.FileOpen(); }},
    {"SaveButton", 17, nullptr, kImageSave, [](TMainForm &f) { f.FileSave(); }},
    {"PrintButton", 18, nullptr, kImagePrint, [](TMainForm &f) { f.FilePrint(); }},
    {kSeparator, kNoMessage, nullptr, kNoImage, nullptr},
    {"CutButton", 19, nullptr, kImageCut, [](TMainForm &f) { f.EditCut(); }},
    {"CopyButton", 20, nullptr, kImageCopy, [](TMainForm &f) { f.EditCopy(); }},
    {"PasteButton", 21, nullptr, kImagePaste, [](TMainForm &f) { f.EditPaste(); }},
    {"UndoButton", 22, nullptr, kImageUndo, [](TMainForm &f) { f.EditUndo(); }},
    {"ToolButtonDel", 23, nullptr, kImageDelete, [](TMainForm &f) { f.ToolButtonDelClick(); }},
    {kSeparator, kNoMessage, nullptr, kNoImage, nullptr},
    {"ToolButtonFind", 24, nullptr, kImageFind, [](TMainForm &f) { f.Find1Click(); }},
    {"ToolButton12", 25, nullptr, kImageSelectAll, [](TMainForm &f) { f.Selectall1Click(); }},
    {"ToolButton8", 27, nullptr, kImageUpper, [](TMainForm &f) { f.LowertoUpper1Click(); }},
    {"ToolButton9", 26, nullptr, kImageLower, [](TMainForm &f) { f.UppertoLower1Click(); }},
    {"ToolButton3", 28, nullptr, kImageWrapOff, [](TMainForm &f) { f.ToolButton3Click(); }},
    {kSeparator, kNoMessage, nullptr, kNoImage, nullptr},
    {"ToolButton7", 29, nullptr, kImageBrowser, [](TMainForm &f) { f.ToolButton7Click(); }},
    {"ToolButton6", 30, nullptr, kImageExecute, [](TMainForm &f) { f.ToolButton6Click(); }},
    {"ToolButton2", 31, nullptr, kImageFtp, [](TMainForm &f) { f.ToolButton2Click(); }},
    {"ToolButton10", 32, nullptr, kImageProposals,
     [](TMainForm &f) { f.Editcodeproposals1Click(); }},
    {kSeparator, kNoMessage, nullptr, kNoImage, nullptr},
    {"ToolButton14", 33, nullptr, kImageHelp, [](TMainForm &f) { f.Help1Click(); }},
    {"ToolButton15", 34, nullptr, kImageAbout, [](TMainForm &f) { f.HelpAbout(); }},
    {kSeparator, kNoMessage, nullptr, kNoImage, nullptr},
    {"ToolButton17", 35, nullptr, kImageQuit, [](TMainForm &f) { f.ToolButton17Click(); }},
};

const TMainForm::Command kContextMenu[] = {
    {"Rckgngig1", 74, nullptr, kImageUndo, [](TMainForm &f) { f.EditUndo(); }},
    {kSeparator, kNoMessage, nullptr, kNoImage, nullptr},
    {"Kopieren1", 75, nullptr, kImageCopy, [](TMainForm &f) { f.EditCopy(); }},
    {"Ausschneiden1", 76, nullptr, kImageCut, [](TMainForm &f) { f.EditCut(); }},
    {"infgen1", 77, nullptr, kImagePaste, [](TMainForm &f) { f.EditPaste(); }},
    {kSeparator, kNoMessage, nullptr, kNoImage, nullptr},
    {"Suchen1", 78, nullptr, kImageFind, [](TMainForm &f) { f.Find1Click(); }},
    {"Weitersuchen1", 79, nullptr, kNoImage, [](TMainForm &f) { f.FindenextenClick(); }},
    {"Ersetzen1", 80, nullptr, kNoImage, [](TMainForm &f) { f.Replace1Click(); }},
    {kSeparator, kNoMessage, nullptr, kNoImage, nullptr},
    {"Lesezeichensetzen1", 81, nullptr, kNoImage, nullptr}, // submenu
    {"GehezuLesezeichen1", 82, nullptr, kNoImage, nullptr}, // submenu
    {"Lesezeichenlschen1", 83, nullptr, kNoImage,
     [](TMainForm &f) { f.Lesezeichenlschen1Click(); }},
};

} // namespace

std::span<const MenuSpec> mainMenus()
{
    return kMainMenu;
}

std::span<const TMainForm::Command> toolBarCommands()
{
    return kToolBar;
}

std::span<const TMainForm::Command> contextMenuCommands()
{
    return kContextMenu;
}

QString bookmarkItemName(int number, bool goTo)
{
    if (number == 0)
        return goTo ? QStringLiteral("Lesezeichen01") : QStringLiteral("Lesezeichen02");
    return QStringLiteral("Lesezeichen%1%2").arg(number).arg(goTo ? 2 : 1);
}

namespace {

QString shortCommandName(const char *itemName)
{
    QString name = QString::fromLatin1(itemName);
    if (name.endsWith(u"Item"))
        name.chop(4);
    else if (name.endsWith(u'1'))
        name.chop(1);
    return name;
}

template <typename Visit> void forEachMacroCommand(Visit visit)
{
    for (const MenuSpec &spec : mainMenus())
        for (const TMainForm::Command &row : spec.items)
            if (row.run && row.name != kSeparator && qstrcmp(row.name, "FileExitItem") != 0 &&
                qstrcmp(row.name, "Code1") != 0 && !QByteArray(row.name).startsWith("file"))
                visit(row);
}

} // namespace

const TMainForm::Command *macroCommand(const QString &name)
{
    const TMainForm::Command *found = nullptr;
    forEachMacroCommand([&](const TMainForm::Command &row) {
        if (!found && (name.compare(shortCommandName(row.name), Qt::CaseInsensitive) == 0 ||
                       name.compare(QLatin1String(row.name), Qt::CaseInsensitive) == 0))
            found = &row;
    });
    return found;
}

QStringList macroCommandNames()
{
    QStringList names;
    forEachMacroCommand(
        [&](const TMainForm::Command &row) { names << shortCommandName(row.name); });
    return names;
}
