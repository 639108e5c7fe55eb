// The main window's document commands (new, open, save, print, editing) and its
// recent files list.

#include "app/documentprogress.h"
#include "app/mainform.h"
#include "base/prompts.h"
#include "editor/synmemo.h"
#include "lang/messages.h"
#include "store/documentguard.h"
#include "store/settingsfile.h"

#include <QAbstractTextDocumentLayout>
#include <QAction>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QPrinter>
#include <QTextCursor>
#include <QTextDocument>
#include <utility>

namespace {

const QString kOpenFilter = QStringLiteral(
    "All (*.*)|*.*|TXT |*.txt|HTML|*.html;*.htm|PASCAL|*.PAS|PHP|*.PHTML;*.PHP|VBScript|*.vbs|"
    "JavaScript|*.js|C/C++|*.c;*.cpp|Java|*.java|Visual Basic|*.vb|Style sheet|*.css|"
    "XML file|*.xml");
const QString kSaveFilter = QStringLiteral("All (*.*)|*.*|Ascii Text (*.TXT)|*.TXT");
const QString kBoxTitle = QStringLiteral("Quillora");
const QString kRecentFileName = QStringLiteral("files.txt");

// A name whose last three characters are "txt" in any case is written as the ANSI copy.
bool wantsAnsiCopy(const QString &path)
{
    return asciiLower(fileNamePart(path).right(3)) == u"txt";
}

} // namespace

void TMainForm::SetFileName(const QString &name)
{
    m_fileName = name;
    setPanelText(3, name);
    if (name != Message(0))
        AddRecentFile(name);
}

void TMainForm::showFileError(const QString &path, const QString &error)
{
    m_prompts.message(Prompts::Icon::Error, kBoxTitle, fileErrorText(path, error));
}

QString TMainForm::startFolder() const
{
    // A document without a file starts the dialogs in the user's home folder.
    const bool named = !isBlank(m_fileName) && m_fileName != u"Untitled";
    const QString folder = named ? folderPart(m_fileName) : QString();
    return folder.isEmpty() ? QDir::homePath() : folder;
}

bool TMainForm::AskSaveChanges()
{
    QString name = fileNamePart(m_fileName);
    if (name.isEmpty())
        name = QStringLiteral("untitled");
    if (SynMemo1->TextLength() == 0 || !SynMemo1->Modified())
        return true;
    // Message 5 has no field for the name: the question is the message alone.
    switch (m_prompts.question(Prompts::Icon::Question, kBoxTitle, Message(5),
                               Prompts::Buttons::YesNoCancel)) {
    case Prompts::Answer::Yes: {
        const SaveOutcome saved = FileSave();
        // A save that did not happen would lose the document: stop the command.
        return saved == SaveOutcome::Saved || saved == SaveOutcome::Skipped;
    }
    case Prompts::Answer::No:
        return true;
    default:
        return false;
    }
}

void TMainForm::FileNew()
{
    if (AskSaveChanges())
        clearDocument();
}

void TMainForm::clearDocument()
{
    m_guard->beforeDocumentChange();
    SetFileName(Message(0));
    m_blankedFileName.clear();
    SynMemo1->Clear();
    // A new text is UTF-8 with LF, whatever file was open before.
    SynMemo1->setFormat(TextFormat());
    SynMemo1->SetModified(false);
    setPanelText(1, QString());
    setPanelText(2, QString());
    setPanelText(4, QString());
    ItemFile.clear();
    InsFile.clear();
    SynMemo1->SetHighlighter(nullptr);
    m_guard->documentCleared();
}

void TMainForm::blankToUntitled()
{
    // The blank text and its undo history stay: an undo brings the text back, and with it
    // the name (see SynMemo1Change).
    if (m_fileName != Message(0))
        m_blankedFileName = m_fileName;
    SetFileName(Message(0));
    m_guard->documentCleared();
    setPanelText(2, QString());
    setPanelText(4, QString());
    ItemFile.clear();
    InsFile.clear();
    SynMemo1->SetHighlighter(nullptr);
}

void TMainForm::restoreBlankedFile()
{
    if (m_blankedFileName.isEmpty() || SynMemo1->IsBlank())
        return;
    const QString name = std::exchange(m_blankedFileName, QString());
    // Text typed into the blank document starts a new one; only an undo (which leaves
    // something to redo) returns to the file.
    if (!SynMemo1->isRedoAvailable())
        return;
    SetFileName(name);
    m_guard->documentRenamed(name);
    if (IsHTML(name))
        SetHColors();
}

void TMainForm::FileOpen()
{
    setPanelText(4, QString());
    const QString folder = startFolder();
    if (SynMemo1->TextLength() > 0 && !AskSaveChanges())
        return;
    if (const auto chosen = m_prompts.openFileName(folder, kOpenFilter))
        PerformFileOpen(*chosen);
    SetHColors();
    SynMemo1Change();
}

bool TMainForm::PerformFileOpen(const QString &fileName, std::optional<TextEncoding> encoding)
{
    // The scheme comes from the name alone, before the text; the text then goes from the
    // file straight into a new document of the editor, which replaces the old one only
    // once the whole file is in. A file larger than the editor can hold is refused before
    // anything changes.
    if (!m_guard->mayOpen(fileName))
        return false;
    QFile file(fileName);
    const bool readable = file.open(QIODevice::ReadOnly);
    if (readable && file.size() > TSynMemo::kMaxTextBytes) {
        showTooLarge(fileName, file.size());
        return false;
    }
    IsHTML(fileName);
    if (!readable) {
        showFileError(fileName, file.errorString());
        return false;
    }
    file.close();
    const QString oldFileName = m_fileName;
    m_guard->beforeDocumentChange();
    FileResult read;
    {
        DocumentProgress progress(*SynMemo1, this, DocumentProgress::Work::Open, fileName,
                                  UiLanguage() == 0);
        read = SynMemo1->Lines().LoadFromFile(fileName, encoding);
    }
    if (!read) {
        // The old text is still shown: the guard watches its file again.
        if (oldFileName == Message(0) || isBlank(oldFileName))
            m_guard->documentCleared();
        else
            m_guard->documentRenamed(oldFileName);
        if (SynMemo1->lastWorkStop() == WorkStop::TooLarge)
            showTooLarge(fileName, QFileInfo(fileName).size());
        else if (!read.cancelled)
            showFileError(fileName, read.error);
        return false;
    }
    m_blankedFileName.clear();
    SetFileName(fileName);
    SynMemo1->SetModified(false);
    m_guard->documentOpened(fileName);
    SynMemo1Change();
    return true;
}

void TMainForm::showTooLarge(const QString &path, qint64 size)
{
    m_prompts.message(Prompts::Icon::Warning, kBoxTitle,
                      tooLargeText(path, size, TSynMemo::kMaxTextBytes, UiLanguage() == 0));
}

TMainForm::SaveOutcome TMainForm::reportSave(const QString &path, const FileResult &result)
{
    if (result)
        return SaveOutcome::Saved;
    // A save stopped with Cancel has left the file as it was: nothing to report.
    if (result.cancelled)
        return SaveOutcome::Cancelled;
    showFileError(path, result.error);
    return SaveOutcome::Failed;
}

FileResult TMainForm::saveDocument(const QString &path)
{
    DocumentProgress progress(*SynMemo1, this, DocumentProgress::Work::Save, path,
                              UiLanguage() == 0);
    return SynMemo1->Lines().SaveToFile(path);
}

TMainForm::SaveOutcome TMainForm::FileSave()
{
    if (SynMemo1->IsBlank())
        return SaveOutcome::Skipped;
    if (m_fileName == Message(0) || isBlank(m_fileName))
        return FileSaveAs();
    if (!m_guard->confirmOverwrite(m_fileName))
        return SaveOutcome::Cancelled;
    const SaveOutcome saved = writeDocument(m_fileName, false);
    if (saved == SaveOutcome::Saved) {
        SynMemo1->SetModified(false);
        m_guard->documentSaved(m_fileName);
    }
    return saved;
}

TMainForm::SaveOutcome TMainForm::FileSaveAs()
{
    return saveAs(false);
}

TMainForm::SaveOutcome TMainForm::AlsAsciiTextspeichern1Click()
{
    return saveAs(true);
}

TMainForm::SaveOutcome TMainForm::saveAs(bool alwaysAnsi)
{
    const auto chosen =
        m_prompts.saveFileName(startFolder(), fileNamePart(m_fileName), kSaveFilter);
    SaveOutcome outcome = SaveOutcome::Cancelled;
    if (chosen) {
        const QString path = *chosen;
        if (QFileInfo::exists(path) &&
            m_prompts.question(Prompts::Icon::Question, kBoxTitle, Message(11),
                               Prompts::Buttons::OkCancel) != Prompts::Answer::Ok)
            return SaveOutcome::Cancelled;
        const bool ansiCopy = alwaysAnsi || wantsAnsiCopy(path);
        outcome = writeDocument(path, ansiCopy);
        if (outcome != SaveOutcome::Saved)
            return outcome;
        SetFileName(path);
        SynMemo1->SetModified(false);
        m_guard->documentSaved(path, !ansiCopy);
    }
    if (IsHTML(m_fileName))
        SetHColors();
    return outcome;
}

std::optional<TextEncoding> TMainForm::encodingForSave(TextEncoding encoding)
{
    const std::optional<Unencodable> missing =
        firstUnencodableUtf8(SynMemo1->TextBytes(), encoding);
    if (!missing)
        return encoding;
    if (m_prompts.question(Prompts::Icon::Warning, kBoxTitle,
                           unencodableQuestion(m_settings.language, missing->character,
                                               missing->line, encodingName(encoding)),
                           Prompts::Buttons::OkCancel) != Prompts::Answer::Ok)
        return std::nullopt;
    return TextEncoding::Utf8;
}

TMainForm::SaveOutcome TMainForm::writeDocument(const QString &path, bool ansiCopy)
{
    const TextEncoding before = SynMemo1->format().encoding;
    const std::optional<TextEncoding> encoding =
        encodingForSave(ansiCopy ? TextEncoding::Windows1252 : before);
    if (!encoding)
        return SaveOutcome::Cancelled;
    if (ansiCopy)
        return reportSave(path, WriteAnsiFile(path, *encoding));
    // A document saved as UTF-8 instead stays UTF-8; a failed save leaves it as it was.
    SynMemo1->setEncoding(*encoding);
    const SaveOutcome saved = reportSave(path, saveDocument(path));
    if (saved != SaveOutcome::Saved)
        SynMemo1->setEncoding(before);
    return saved;
}

FileResult TMainForm::WriteAnsiFile(const QString &path, TextEncoding encoding)
{
    // The editor's lines as a line list holds them: a text that ends with a line break
    // has no empty line after it.
    int count = SynMemo1->Lines().Count();
    if (count > 0 && SynMemo1->Lines().Strings(count - 1).isEmpty())
        --count;
    LineList copy;
    for (int i = 0; i < count; ++i)
        copy.Add(SynMemo1->Lines().Strings(i));
    copy.setFormat({encoding, LineBreak::CrLf, {}});
    // Every line ends with CR LF, the last one too.
    if (count > 0)
        copy.Add(QString());
    return copy.SaveToFile(path);
}

void TMainForm::printText(QPrinter &printer, const QString &text)
{
    // 1 cm on the left, 0.5 cm at top, right and bottom, from the paper's edge.
    printer.setFullPage(false);
    printer.setPageMargins(QMarginsF(10, 5, 5, 5), QPageLayout::Millimeter);
    printer.setDocName(text.left(255));

    QTextDocument document;
    document.documentLayout()->setPaintDevice(&printer);
    document.setDocumentMargin(0);
    QFont font(QStringLiteral("Arial"));
    font.setPointSize(8);
    document.setDefaultFont(font);
    document.setPlainText(text);
    QTextCursor all(&document);
    all.select(QTextCursor::Document);
    QTextCharFormat navy;
    navy.setForeground(QColor(0, 0, 0x80));
    all.mergeCharFormat(navy);
    document.setPageSize(printer.pageRect(QPrinter::DevicePixel).size());
    document.print(&printer);
}

void TMainForm::FilePrint()
{
    QPrinter printer(QPrinter::HighResolution);
    if (m_prompts.print(printer))
        printText(printer, SynMemo1->Text());
}

void TMainForm::EditUndo()
{
    SynMemo1->Undo();
}

void TMainForm::EditCut()
{
    SynMemo1->CutToClipboard();
}

void TMainForm::EditCopy()
{
    SynMemo1->CopyToClipboard();
}

void TMainForm::EditPaste()
{
    SynMemo1->PasteFromClipboard();
}

void TMainForm::Selectall1Click()
{
    SynMemo1->SelectAll();
}

// ---- recent files ----

static const char *const kRecentItems[RecentFiles::kCount] = {"file11", "file21", "file31",
                                                              "file41"};

void TMainForm::refreshRecentMenu()
{
    bool anyVisible = false;
    for (int i = 0; i < RecentFiles::kCount; ++i) {
        const RecentFiles::Entry &entry = m_recent.entry(i);
        QAction *item = action(QString::fromLatin1(kRecentItems[i]));
        item->setVisible(entry.inUse());
        if (entry.inUse()) {
            setCaption(item, entry.name);
            item->setStatusTip(entry.path);
            item->setToolTip(entry.path);
        }
        anyVisible = anyVisible || entry.inUse();
    }
    action(QStringLiteral("DelLast"))->setVisible(anyVisible);
    labelMenus();
}

void TMainForm::ClearRecentFiles()
{
    m_recent.clear();
    refreshRecentMenu();
}

void TMainForm::AddRecentFile(const QString &path)
{
    m_recent.add(path);
    refreshRecentMenu();
}

void TMainForm::LoadRecentFiles()
{
    const QString path = m_dataPath + kRecentFileName;
    if (QFileInfo::exists(path)) {
        if (const FileResult read = Memo1.LoadFromFile(path); !read) {
            showFileError(path, read.error);
            return;
        }
        m_recent.fromLines(Memo1.lines());
    }
    refreshRecentMenu();
}

void TMainForm::OpenRecentFile(int entry)
{
    const QString path = m_recent.entry(entry).path;
    if (path.isEmpty() || !QFileInfo(path).isFile())
        return;
    if (!AskSaveChanges())
        return;
    if (PerformFileOpen(path))
        m_guard->restoreView(path);
    SetHColors();
}

void TMainForm::SaveRecentFiles()
{
    const QString path = m_dataPath + kRecentFileName;
    const QString text = m_recent.toLines().join(QStringLiteral("\r\n"));
    Memo1.SetText(text);
    // The program's own files keep CR LF; the encoding is that of the last file read,
    // unless it cannot hold every path: then UTF-8 with a mark.
    TextEncoding encoding = Memo1.format().encoding;
    if (firstUnencodable(text, encoding))
        encoding = TextEncoding::Utf8WithMark;
    Memo1.setFormat({encoding, LineBreak::CrLf, {}});
    if (!Memo1.SaveToFile(path)) {
        DeleteFailedFile(m_dataPath, path);
        if (!Memo1.SaveToFile(path))
            DeleteFailedFile(m_dataPath, path);
    }
    // Once more, whatever happened before; nothing here is reported.
    (void)Memo1.SaveToFile(path);
}

void TMainForm::DelLastClick()
{
    QFile::remove(m_dataPath + kRecentFileName);
    ClearRecentFiles();
}
