#include "run/macrocommands.h"

#include "base/prompts.h"
#include "base/shell.h"
#include "editor/linelist.h"
#include "editor/synmemo.h"
#include "lang/messages.h"
#include "lang/mnemonics.h"
#include "run/scriptrunner.h"

#include <QAction>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QKeyEvent>
#include <QMenu>

namespace {

struct Texts
{
    const char16_t *menu;
    const char16_t *edit;
    const char16_t *folder;
    const char16_t *record;
    const char16_t *stop;
    const char16_t *askName;
};
constexpr Texts kGerman{u"Makros",
                        u"Makro bearbeiten",
                        u"Makroordner öffnen",
                        u"Makro aufzeichnen",
                        u"Aufzeichnung beenden",
                        u"Name des Makros (.vbs für VBScript, .js für JScript):"};
constexpr Texts kEnglish{
    u"Macros",       u"Edit macro",     u"Open the macro folder",
    u"Record macro", u"Stop recording", u"Name of the macro (.vbs for VBScript, .js for JScript):"};

// Keys that only change the modifiers are no part of a recording.
bool isModifierKey(int key)
{
    return key == Qt::Key_Shift || key == Qt::Key_Control || key == Qt::Key_Alt ||
           key == Qt::Key_Meta || key == Qt::Key_AltGr;
}

// The key of the n-th macro (from 0): Ctrl+Alt+1 ... Ctrl+Alt+9, Ctrl+Alt+0.
QKeySequence macroKey(int n)
{
    return QKeySequence(QStringLiteral("Ctrl+Alt+%1").arg((n + 1) % 10));
}

} // namespace

MacroCommands::MacroCommands(Host host, QMenu *menu, QObject *parent)
    : QObject(parent), m_host(std::move(host)), m_menu(menu),
      m_document(std::make_unique<MemoDocument>(m_host.document))
{
    m_menu->setObjectName(QStringLiteral("MacroMenu"));
    // files added or removed since: read the folder again whenever the menu opens
    connect(m_menu, &QMenu::aboutToShow, this, &MacroCommands::refresh);
}

MacroCommands::~MacroCommands() = default;

QString MacroCommands::folder() const
{
    return m_host.dataPath() + folderName() + u'/';
}

QString MacroCommands::starterFolder(const QString &programFolder)
{
    for (const QString &candidate :
         {QStringLiteral("/macros"), QStringLiteral("/../share/quillora/macros")}) {
        const QString folder = QDir::cleanPath(programFolder + candidate);
        if (QFileInfo(folder).isDir())
            return folder;
    }
    return QString();
}

void MacroCommands::installStarterMacros(const QString &programFolder)
{
    const QString source = starterFolder(programFolder);
    const QString target = folder();
    if (source.isEmpty() || QFileInfo::exists(target) || !QDir().mkpath(target))
        return;
    for (const QString &path : macroFiles(source)) {
        const QString copy = target + QFileInfo(path).fileName();
        // installed files may be read-only; the user edits these
        if (QFile::copy(path, copy))
            QFile::setPermissions(copy, kOwnerOnlyFile);
    }
}

QStringList MacroCommands::macroFiles(const QString &folder)
{
    QStringList files;
    const QDir dir(folder);
    for (const QFileInfo &info :
         dir.entryInfoList({QStringLiteral("*.vbs"), QStringLiteral("*.js")}, QDir::Files,
                           QDir::Name | QDir::IgnoreCase))
        files << info.absoluteFilePath();
    return files;
}

QAction *MacroCommands::addItem(QMenu *menu, const QString &caption,
                                const std::function<void()> &run)
{
    QAction *item = menu->addAction(caption);
    // the window gives the captions of its menus their access keys
    item->setProperty("caption", QString(caption).replace(u'&', QStringLiteral("&&")));
    connect(item, &QAction::triggered, this, run);
    return item;
}

void MacroCommands::applyLanguage()
{
    const Texts &t = isGerman(m_host.language()) ? kGerman : kEnglish;
    m_menu->setTitle(QString::fromUtf16(t.menu));
    m_menu->menuAction()->setProperty("caption", m_menu->title());
    refresh();
}

void MacroCommands::refresh()
{
    const Texts &t = isGerman(m_host.language()) ? kGerman : kEnglish;
    m_menu->clear();
    const QStringList files = macroFiles(folder());
    auto *edit = new QMenu(QString::fromUtf16(t.edit), m_menu);
    for (qsizetype i = 0; i < files.size(); ++i) {
        const QString path = files[i];
        const QString name = QFileInfo(path).fileName();
        QAction *item = addItem(m_menu, name, [this, path] { runMacro(path); });
        item->setObjectName(QStringLiteral("Macro%1").arg(i + 1));
        if (i < 10)
            item->setShortcut(macroKey(int(i)));
        addItem(edit, name, [this, path] { editMacro(path); });
    }
    m_menu->addSeparator();
    addItem(m_menu, QString::fromUtf16(m_recording ? t.stop : t.record), [this] {
        toggleRecording();
    })->setObjectName(QStringLiteral("RecordMacro"));
    edit->setEnabled(!files.isEmpty());
    QAction *editItem = m_menu->addMenu(edit);
    editItem->setObjectName(QStringLiteral("EditMacro"));
    editItem->setProperty("caption", edit->title());
    addItem(m_menu, QString::fromUtf16(t.folder), [this] {
        openMacroFolder();
    })->setObjectName(QStringLiteral("OpenMacroFolder"));
    for (QMenu *menu : {m_menu, edit}) {
        QList<QAction *> items;
        QStringList captions;
        for (QAction *item : menu->actions()) {
            if (item->property("caption").isValid()) {
                items << item;
                captions << item->property("caption").toString();
            }
        }
        const QStringList marked = withMnemonics(captions);
        for (qsizetype i = 0; i < items.size(); ++i)
            items[i]->setText(marked[i]);
    }
}

bool MacroCommands::runMacro(const QString &path)
{
    QByteArray bytes;
    if (const FileResult read = readFileBytes(path, bytes); !read) {
        m_host.prompts->message(Prompts::Icon::Error, QStringLiteral("Quillora"),
                                fileErrorText(path, read.error));
        return false;
    }
    const bool vbscript = QFileInfo(path).suffix().compare(u"vbs", Qt::CaseInsensitive) == 0;
    const bool ok = m_host.runner->RunMacro(decodeText(bytes).text, vbscript, *m_document);
    if (m_host.afterRun)
        m_host.afterRun();
    return ok;
}

void MacroCommands::editMacro(const QString &path)
{
    if (m_host.askSaveChanges())
        m_host.openFile(path);
}

void MacroCommands::openMacroFolder()
{
    const QString path = folder();
    QDir().mkpath(path);
    m_host.shell->openDocument(path);
}

void MacroCommands::toggleRecording()
{
    if (m_recording) {
        stopRecording();
    } else {
        m_recorder.clear();
        m_recording = true;
        m_host.document.editor->installEventFilter(this);
        if (!m_commandsWatched && m_host.commands) {
            m_commandsWatched = true;
            for (const auto &[name, action] : m_host.commands())
                connect(action, &QAction::triggered, this, [this, name = name] {
                    if (m_recording)
                        m_recorder.command(name);
                });
        }
    }
    refresh();
}

void MacroCommands::stopRecording()
{
    m_recording = false;
    m_host.document.editor->removeEventFilter(this);
    if (m_recorder.isEmpty())
        return;
    const Texts &t = isGerman(m_host.language()) ? kGerman : kEnglish;
    const std::optional<QString> answer =
        m_host.prompts->inputText(QString::fromUtf16(t.record), QString::fromUtf16(t.askName),
                                  QStringLiteral("Recorded.vbs"));
    QString name = answer.value_or(QString()).trimmed();
    if (name.isEmpty() || name.contains(u'/'))
        return;
    const QString suffix = QFileInfo(name).suffix().toLower();
    if (suffix != u"vbs" && suffix != u"js")
        name += QStringLiteral(".vbs");
    const auto language = name.endsWith(QStringLiteral(".js"), Qt::CaseInsensitive)
                              ? quillora::MacroRecorder::Language::JScript
                              : quillora::MacroRecorder::Language::VBScript;
    QDir().mkpath(folder());
    const QString path = folder() + name;
    if (const SaveResult saved = writeFileSafely(path, m_recorder.script(language).toUtf8());
        !saved)
        m_host.prompts->message(Prompts::Icon::Error, QStringLiteral("Quillora"),
                                fileErrorText(path, saved.error));
}

bool MacroCommands::eventFilter(QObject *watched, QEvent *event)
{
    if (m_recording && watched == static_cast<QObject *>(m_host.document.editor) &&
        event->type() == QEvent::KeyPress) {
        const auto *key = static_cast<QKeyEvent *>(event);
        const Qt::KeyboardModifiers mods = key->modifiers() & ~Qt::KeypadModifier;
        const QString text = key->text();
        if (!(mods & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier)) &&
            !text.isEmpty() && text.at(0).unicode() >= 32 && text.at(0).unicode() != 127)
            m_recorder.typed(text);
        else if (!isModifierKey(key->key()))
            m_recorder.key(QKeySequence(QKeyCombination(mods, Qt::Key(key->key())))
                               .toString(QKeySequence::PortableText));
    }
    return QObject::eventFilter(watched, event);
}
