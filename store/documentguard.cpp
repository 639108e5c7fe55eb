#include "store/documentguard.h"

#include "base/prompts.h"
#include "editor/synmemo.h"
#include "lang/messages.h"

#include <QFile>
#include <QUuid>
#include <QWidget>

namespace {

enum Text
{
    ChangedReload,
    ChangedLoseEdits,
    Deleted,
    OverwriteChanged,
    OpenElsewhere,
    OfferRestore,
    UntitledDocument,
    KeptAside,
    ReasonChanged,
    ReasonDamaged,
    RestoredUntitled,
    TextCount
};

struct Texts
{
    const char16_t *german;
    const char16_t *english;
};

constexpr Texts kTexts[TextCount] = {
    {u"Die Datei\n%1\nwurde von einem anderen Programm geändert.\n\nNeu laden? (Nein behält "
     u"den Text im Fenster.)",
     u"The file\n%1\nwas changed by another program.\n\nReload it? (No keeps the text in the "
     u"window.)"},
    {u"Die Datei\n%1\nwurde von einem anderen Programm geändert, und das Dokument hat "
     u"ungespeicherte Änderungen.\n\nNeu laden und die Änderungen verwerfen? (Nein behält die "
     u"Änderungen; das nächste Speichern fragt vor dem Überschreiben.)",
     u"The file\n%1\nwas changed by another program, and the document has unsaved "
     u"changes.\n\nReload it and lose the changes? (No keeps the changes; the next save asks "
     u"before overwriting the file.)"},
    {u"Die Datei\n%1\nwurde gelöscht oder verschoben. Der Text bleibt im Fenster; Speichern "
     u"schreibt ihn wieder.",
     u"The file\n%1\nwas deleted or moved away. The text stays in the window; saving writes "
     u"it again."},
    {u"Die Datei\n%1\nwurde seit dem Lesen von einem anderen Programm geändert.\n\nTrotzdem "
     u"überschreiben?",
     u"The file\n%1\nwas changed by another program since it was read.\n\nOverwrite it "
     u"anyway?"},
    {u"Die Datei\n%1\nist in einem anderen Fenster von Quillora Pro mit ungespeicherten "
     u"Änderungen geöffnet (Prozess %2 auf %3).\n\nTrotzdem öffnen?",
     u"The file\n%1\nis open with unsaved changes in another Quillora Pro window (process %2 "
     u"on %3).\n\nOpen it anyway?"},
    {u"Quillora Pro wurde nicht regulär beendet. Ungespeicherte Änderungen wurden "
     u"aufgehoben:\n%1\nletzte Änderung: %2\n\nWiederherstellen? (Nein verwirft sie; "
     u"Abbrechen fragt beim nächsten Start wieder.)",
     u"Quillora Pro did not close normally. Unsaved changes were kept:\n%1\nlast edit: "
     u"%2\n\nRestore them? (No discards them; Cancel asks again at the next start.)"},
    {u"(unbenanntes Dokument)", u"(untitled document)"},
    {u"Die aufgehobenen Änderungen von\n%1\nlassen sich nicht wiederherstellen (%2). Sie "
     u"bleiben aufgehoben in\n%3",
     u"The kept changes of\n%1\ncannot be restored (%2). They stay kept in\n%3"},
    {u"die Datei wurde inzwischen geändert", u"the file has changed since"},
    {u"das Journal ist beschädigt", u"the journal is damaged"},
    {u"Die Datei\n%1\nwurde seit der letzten Sitzung geändert. Die aufgehobenen Änderungen "
     u"stehen deshalb in einem neuen, unbenannten Dokument.",
     u"The file\n%1\nhas changed since the last session, so the kept changes are restored "
     u"into a new untitled document."},
};

} // namespace

DocumentGuard::DocumentGuard(Host host, QObject *parent)
    : QObject(parent), m_host(std::move(host)),
      m_token(QUuid::createUuid().toString(QUuid::WithoutBraces))
{
    m_flushTimer.setSingleShot(true);
    m_flushTimer.setInterval(kFlushMilliseconds);
    connect(&m_flushTimer, &QTimer::timeout, this, &DocumentGuard::flushJournal);
    connect(m_host.editor, &TSynMemo::TextEdited, this, &DocumentGuard::onEdit);
    // A change noticed while the window has the focus is asked about at once, once the
    // writer has paused (a program that truncates and then writes makes one change, not
    // two); otherwise when the focus comes back.
    m_settleTimer.setSingleShot(true);
    m_settleTimer.setInterval(kSettleMilliseconds);
    connect(&m_settleTimer, &QTimer::timeout, this, [this] {
        if (m_host.window && m_host.window->isActiveWindow())
            checkDisk();
    });
    connect(&m_watcher, &QFileSystemWatcher::fileChanged, &m_settleTimer,
            qOverload<>(&QTimer::start));
}

// A window that goes away without closing its document leaves the journal for the next
// start, as a killed one does.
DocumentGuard::~DocumentGuard() = default;

QString DocumentGuard::text(int which) const
{
    const Texts &row = kTexts[which];
    return QString::fromUtf16(isGerman(m_host.uiLanguage()) ? row.german : row.english);
}

void DocumentGuard::setJournaling(bool on)
{
    m_journaling = on;
    if (!on) {
        m_journal.discard();
        m_textMatchesFile = false;
    }
}

void DocumentGuard::loadViews()
{
    const QString folder = m_host.dataFolder();
    if (!folder.isEmpty())
        (void)m_views.load(ViewMemory::filePath(folder));
}

// ---- the document's life ----

void DocumentGuard::beforeDocumentChange()
{
    rememberView();
    m_recording = false;
    m_flushTimer.stop();
    m_journal.discard();
}

void DocumentGuard::documentOpened(const QString &path)
{
    m_journal.discard();
    m_path = path;
    m_readStamp = m_seenStamp = FileStamp::of(path);
    m_textMatchesFile = true;
    m_recording = true;
    m_journalFailed = false;
    watch(path);
}

void DocumentGuard::documentSaved(const QString &path, bool asText)
{
    documentOpened(path);
    m_textMatchesFile = asText;
}

void DocumentGuard::documentCleared()
{
    m_journal.discard();
    m_path.clear();
    m_readStamp = m_seenStamp = FileStamp();
    m_textMatchesFile = false;
    m_recording = true;
    m_journalFailed = false;
    watch(QString());
}

void DocumentGuard::documentRenamed(const QString &path)
{
    m_path = path;
    m_readStamp = m_seenStamp = FileStamp::of(path);
    m_recording = true;
    m_journalFailed = false;
    watch(path);
    // The edit that gave the name back is reported after this: it starts the journal
    // from the text as a snapshot (see onEdit).
    m_textMatchesFile = false;
    m_journal.discard();
}

void DocumentGuard::documentClosing()
{
    rememberView();
    m_flushTimer.stop();
    m_journal.discard();
    watch(QString());
}

void DocumentGuard::watch(const QString &path)
{
    if (!m_watcher.files().isEmpty())
        m_watcher.removePaths(m_watcher.files());
    // A file replaced by a rename leaves the watch: it is watched again when noticed.
    if (!path.isEmpty() && QFile::exists(path))
        m_watcher.addPath(path);
}

// ---- the journal ----

void DocumentGuard::onEdit(qsizetype position, qsizetype removed, QByteArrayView inserted)
{
    if (!m_recording)
        return;
    if (!m_journaling || m_journalFailed || m_host.dataFolder().isEmpty()) {
        // Edits that no journal holds: a journal started later cannot build on the file.
        m_textMatchesFile = false;
        return;
    }
    if (!m_journal.active()) {
        const bool overFile =
            !m_path.isEmpty() && m_textMatchesFile && FileStamp::of(m_path) == m_readStamp;
        if (!startJournal(!overFile)) {
            m_textMatchesFile = false;
            m_journalFailed = true;
            return;
        }
        // A snapshot is taken after the edit and holds it already.
        if (!overFile)
            return;
    }
    m_journal.append(position, removed, inserted);
    if (!m_flushTimer.isActive())
        m_flushTimer.start();
}

bool DocumentGuard::startJournal(bool snapshot)
{
    JournalHeader header;
    header.path = m_path;
    header.encoding = int(m_host.editor->format().encoding);
    header.lineBreak = int(m_host.editor->format().lineBreak);
    QByteArray base;
    if (snapshot) {
        header.base = JournalHeader::Base::Snapshot;
        header.snapshot = true;
        base = m_host.editor->TextBytes().toByteArray();
    } else {
        header.base = JournalHeader::Base::File;
        const FileStamp now = FileStamp::of(m_path);
        header.size = now.size;
        header.mtimeNs = now.mtimeNs;
        header.digest = sampleDigest(m_path);
        // A small file is copied too, so its edits survive a change of the file.
        QFile file(m_path);
        if (now.size <= EditJournal::kSnapshotLimit && file.open(QIODevice::ReadOnly)) {
            base = file.readAll();
            header.snapshot = true;
        }
    }
    return bool(m_journal.start(EditJournal::folder(m_host.dataFolder()), header, m_token, base));
}

void DocumentGuard::flushJournal()
{
    m_flushTimer.stop();
    // A journal that cannot be written is given up: the window goes on without it.
    if (!m_journal.flush()) {
        m_journal.discard();
        m_textMatchesFile = false;
        m_journalFailed = true;
    }
}

// ---- changes on disk ----

bool DocumentGuard::confirmOverwrite(const QString &path)
{
    if (path != m_path)
        return true;
    const FileStamp now = FileStamp::of(path);
    if (!now.exists || now == m_readStamp)
        return true;
    m_asking = true;
    const bool overwrite =
        m_host.prompts->question(Prompts::Icon::Warning, m_host.boxTitle,
                                 text(OverwriteChanged).arg(path),
                                 Prompts::Buttons::YesNo) == Prompts::Answer::Yes;
    m_asking = false;
    m_seenStamp = now;
    return overwrite;
}

void DocumentGuard::checkDisk()
{
    if (m_asking || m_path.isEmpty())
        return;
    const FileStamp now = FileStamp::of(m_path);
    if (now == m_seenStamp)
        return;
    // Noticed once: whatever the answer, this state of the file is not asked about again.
    m_seenStamp = now;
    m_asking = true;
    TSynMemo *editor = m_host.editor;
    bool reload = false;
    if (!now.exists) {
        m_host.prompts->message(Prompts::Icon::Warning, m_host.boxTitle, text(Deleted).arg(m_path));
        editor->SetModified(true);
    } else {
        const bool modified = editor->Modified();
        reload =
            m_host.prompts->question(Prompts::Icon::Question, m_host.boxTitle,
                                     text(modified ? ChangedLoseEdits : ChangedReload).arg(m_path),
                                     Prompts::Buttons::YesNo) == Prompts::Answer::Yes;
    }
    m_asking = false;
    // What the file became while the question was open is part of the change answered.
    m_seenStamp = FileStamp::of(m_path);
    watch(m_path);
    if (reload) {
        reloadKeepingLine();
        return;
    }
    // The text kept is no longer the file plus the journaled edits.
    journalFromText();
}

void DocumentGuard::journalFromText()
{
    m_textMatchesFile = false;
    m_journal.discard();
    if (m_journaling && !m_journalFailed && m_host.editor->Modified() &&
        !m_host.dataFolder().isEmpty())
        m_journalFailed = !startJournal(true);
}

void DocumentGuard::reloadKeepingLine()
{
    const int line = m_host.editor->CaretY();
    const QString path = m_path;
    if (m_host.openFile(path)) {
        m_host.editor->SetCaretXY(1, line);
        m_host.editor->ensureLineVisible(m_host.editor->CaretY() - 1);
    }
}

// ---- other windows, recovery ----

bool DocumentGuard::mayOpen(const QString &path)
{
    const QString folder = m_host.dataFolder();
    if (folder.isEmpty())
        return true;
    for (const QString &journal : EditJournal::journals(EditJournal::folder(folder))) {
        JournalOwner owner;
        if (journal == m_journal.path() || !EditJournal::readOwner(journal, owner) ||
            owner.token == m_token || !EditJournal::ownerAlive(owner))
            continue;
        JournalHeader header;
        QDateTime lastEdit;
        if (!EditJournal::readHeader(journal, header, lastEdit) || header.path != path)
            continue;
        return m_host.prompts->question(
                   Prompts::Icon::Warning, m_host.boxTitle,
                   text(OpenElsewhere).arg(path, QString::number(owner.pid), owner.host),
                   Prompts::Buttons::OkCancel) == Prompts::Answer::Ok;
    }
    return true;
}

void DocumentGuard::reportAside(const QString &journalPath, const QString &reason)
{
    JournalHeader header;
    QDateTime lastEdit;
    EditJournal::readHeader(journalPath, header, lastEdit);
    const QString aside = EditJournal::setAside(journalPath);
    const QString name = header.path.isEmpty() ? text(UntitledDocument) : header.path;
    m_host.prompts->message(Prompts::Icon::Warning, m_host.boxTitle,
                            text(KeptAside).arg(name, reason, aside));
}

void DocumentGuard::offerRecovery()
{
    const QString folder = m_host.dataFolder();
    if (folder.isEmpty())
        return;
    for (const QString &journal : EditJournal::journals(EditJournal::folder(folder))) {
        JournalOwner owner;
        // A journal without a lock lost it in a crash.
        if (EditJournal::readOwner(journal, owner) && EditJournal::ownerAlive(owner))
            continue;
        JournalHeader header;
        QDateTime lastEdit;
        if (!EditJournal::readHeader(journal, header, lastEdit)) {
            reportAside(journal, text(ReasonDamaged));
            continue;
        }
        const QString name = header.path.isEmpty() ? text(UntitledDocument) : header.path;
        const QString when = lastEdit.toString(QStringLiteral("yyyy-MM-dd HH:mm:ss"));
        switch (m_host.prompts->question(Prompts::Icon::Question, m_host.boxTitle,
                                         text(OfferRestore).arg(name, when),
                                         Prompts::Buttons::YesNoCancel)) {
        case Prompts::Answer::Yes:
            // One document per window: the others wait for the next start.
            if (restore(journal))
                return;
            break;
        case Prompts::Answer::No:
            EditJournal::remove(journal);
            break;
        default:
            break;
        }
    }
}

bool DocumentGuard::restore(const QString &journalPath)
{
    const EditJournal::Contents contents = EditJournal::read(journalPath);
    if (!contents.error.isEmpty()) {
        reportAside(journalPath, text(ReasonDamaged));
        return false;
    }
    const JournalHeader &header = contents.header;
    const bool overFile =
        header.base == JournalHeader::Base::File && EditJournal::baseFileUnchanged(header);
    if (header.base == JournalHeader::Base::File && !overFile && !header.snapshot) {
        reportAside(journalPath, text(ReasonChanged));
        return false;
    }
    TSynMemo *editor = m_host.editor;
    if (overFile) {
        if (!m_host.openFile(header.path))
            return false;
    } else {
        m_host.newDocument();
    }
    // The journal already holds what is replayed now.
    m_recording = false;
    bool fits = true;
    if (!overFile) {
        if (header.base == JournalHeader::Base::File) {
            // The copy of the file as it was read: decoded as opening decodes it.
            fits = bool(editor->Lines().LoadFromFile(journalPath + QStringLiteral(".base")));
        } else {
            editor->setFormat({TextEncoding(header.encoding), LineBreak(header.lineBreak), {}});
            fits = editor->ApplyEdit(0, 0, contents.snapshot);
        }
    }
    qint64 lastPosition = -1;
    for (const JournalEdit &edit : contents.edits) {
        if (!fits)
            break;
        fits = editor->ApplyEdit(edit.position, edit.removed, edit.inserted);
        lastPosition = edit.position + edit.inserted.size();
    }
    m_recording = true;
    if (!fits) {
        m_host.newDocument();
        reportAside(journalPath, text(ReasonDamaged));
        return false;
    }
    editor->SetModified(true);
    if (lastPosition >= 0)
        editor->SetSelStart(int(editor->positionToIndex(lastPosition)));
    // This window goes on writing the journal it restored.
    m_textMatchesFile = overFile;
    if (!m_journaling || m_host.dataFolder().isEmpty() || !m_journal.resume(journalPath, m_token))
        EditJournal::remove(journalPath);
    if (!overFile && header.base == JournalHeader::Base::File)
        m_host.prompts->message(Prompts::Icon::Information, m_host.boxTitle,
                                text(RestoredUntitled).arg(header.path));
    return true;
}

// ---- caret, view, bookmarks ----

void DocumentGuard::rememberView()
{
    const QString folder = m_host.dataFolder();
    if (m_path.isEmpty() || folder.isEmpty())
        return;
    TSynMemo *editor = m_host.editor;
    ViewMemory::View view;
    view.path = m_path;
    view.line = editor->CaretY();
    view.column = editor->CaretX();
    view.firstVisibleLine = editor->firstVisibleLine() + 1;
    for (int n = 0; n < TSynMemo::kBookmarkCount; ++n) {
        ViewMemory::Bookmark mark{n, 1, 1};
        if (editor->GetBookMark(n, mark.column, mark.line))
            view.bookmarks << mark;
    }
    m_views.remember(view);
    (void)m_views.save(ViewMemory::filePath(folder));
}

void DocumentGuard::restoreView(const QString &path)
{
    const std::optional<ViewMemory::View> view = m_views.find(path);
    if (!view || path != m_path)
        return;
    TSynMemo *editor = m_host.editor;
    for (const ViewMemory::Bookmark &mark : view->bookmarks)
        m_host.setBookmark(mark.number, mark.line, mark.column);
    editor->SetCaretXY(view->column, view->line);
    editor->setFirstVisibleLine(view->firstVisibleLine - 1);
}
