#include "schemes/schemeswitcher.h"

#include "base/textrules.h"
#include "editor/completion.h"
#include "editor/highlighters.h"
#include "editor/synmemo.h"
#include "schemes/proposalfiles.h"
#include "store/settingsfile.h"

#include <QKeyEvent>

namespace {

constexpr int kSchemePanel = 2;
constexpr int kHintPanel = 4;

bool setsAngleTrigger(Scheme scheme)
{
    return scheme == Scheme::Html || scheme == Scheme::Xml;
}

} // namespace

SchemeSwitcher::SchemeSwitcher(Host host, QObject *parent)
    : QObject(parent), m_host(std::move(host))
{
    m_host.completion->SetOnCodeCompletion([this](QString &value, int index, QChar endToken) {
        SynCompletionProposal1CodeCompletion(value, index, endToken);
    });
    m_host.editor->installEventFilter(this);
}

bool SchemeSwitcher::eventFilter(QObject *watched, QEvent *event)
{
    // While the pop-up is detached its shortcut does nothing at all; the editor would
    // otherwise type the blank of Ctrl+Space.
    if (watched == m_host.editor && event->type() == QEvent::KeyPress &&
        m_host.completion->Editor() != m_host.editor) {
        const auto *key = static_cast<QKeyEvent *>(event);
        if (QKeySequence(key->keyCombination()) == m_host.completion->ShortCut())
            return true;
    }
    return QObject::eventFilter(watched, event);
}

QsciLexer *SchemeSwitcher::highlighter(Scheme scheme) const
{
    return m_host.highlighters->byName(schemeEntry(scheme).highlighter);
}

bool SchemeSwitcher::LoadProposals(const QString &itemsPath, const QString &insertsPath)
{
    QStringList items, inserts;
    const ProposalLoad load = loadProposalPair(itemsPath, insertsPath, items, inserts);
    m_host.completion->SetItemList(items);
    m_host.completion->SetInsertList(inserts);
    if (!load.result) {
        // Reported, and then handled like a missing file: the switching goes on.
        m_host.showFileError(load.failedPath, load.result.error);
        return false;
    }
    if (!load.loaded)
        m_host.setPanelText(kHintPanel, QString());
    return load.loaded;
}

void SchemeSwitcher::attachProposals(Scheme scheme, const QString &itemsPath,
                                     const QString &insertsPath)
{
    if (!LoadProposals(itemsPath, insertsPath))
        return;
    m_host.completion->SetEditor(m_host.editor);
    if (setsAngleTrigger(scheme))
        m_host.completion->SetTriggerChars(QStringLiteral("<"));
    m_host.setPanelText(kHintPanel, m_host.proposalHint());
}

bool SchemeSwitcher::IsHTML(const QString &fileName)
{
    m_host.itemFile->clear();
    m_host.insFile->clear();
    m_host.completion->SetEditor(nullptr);
    m_host.completion->SetTriggerChars(QString());
    m_host.setPanelText(kHintPanel, QString());

    const Scheme scheme = schemeForFileName(fileName);
    const SchemeEntry &entry = schemeEntry(scheme);
    // The highlighter is set once, straight to the new one: every change of lexer
    // restyles the whole document.
    m_host.editor->SetHighlighter(highlighter(scheme));
    m_host.setPanelText(kSchemePanel, entry.name.toString());
    if (scheme == Scheme::None)
        return true;

    const QString itemsPath = m_host.dataFolder() + proposalItemsFileName(entry);
    const QString insertsPath = m_host.dataFolder() + proposalInsertsFileName(entry);
    attachProposals(scheme, itemsPath, insertsPath);
    *m_host.itemFile = itemsPath;
    *m_host.insFile = insertsPath;
    SetHColors();
    return true;
}

void SchemeSwitcher::MenuClick(Scheme scheme)
{
    const SchemeEntry &entry = schemeEntry(scheme);
    m_host.editor->SetHighlighter(highlighter(scheme));
    m_host.setPanelText(kSchemePanel, entry.name.toString());
    SetHColors();
    m_host.setPanelText(kHintPanel, QString());
    // "None" keeps the completion as it is, attached with its lists.
    if (scheme == Scheme::None)
        return;
    attachProposals(scheme, m_host.dataFolder() + proposalItemsFileName(entry),
                    m_host.dataFolder() + proposalInsertsFileName(entry));
}

void SchemeSwitcher::SetHColors()
{
    QsciLexer *current = m_host.editor->Highlighter();
    if (!current)
        return;
    const std::array<int, 4> colours = m_host.colours();
    const QString name = highlighterName(current);
    const bool css = name == u"SynCssSyn1";

    setKindColour(current, AttributeKind::Keyword, colours[KeywordColour]);
    if (css)
        setNamedColour(current, u"PropertyAttri", colours[ParameterColour]);
    else
        setKindColour(current, AttributeKind::Identifier, colours[ParameterColour]);
    setKindColour(current, AttributeKind::Comment, colours[CommentColour]);
    if (name == u"SynHTMLSyn1") {
        setNamedColour(current, u"ValueAttri", colours[SymbolColour]);
        setNamedColour(current, u"AndAttri", colours[KeywordColour]);
    } else if (css) {
        setNamedColour(current, u"ValueAttri", colours[SymbolColour]);
    } else if (name != u"SynCSSyn1") {
        setKindColour(current, AttributeKind::Symbol, colours[SymbolColour]);
    }
}

int SchemeSwitcher::DetectScheme() const
{
    return ::DetectScheme(m_host.editor->TextBytes());
}

bool SchemeSwitcher::editorIsBlank() const
{
    return m_host.editor->IsBlank();
}

void SchemeSwitcher::SynMemo1KeyUp(int key, Qt::KeyboardModifiers modifiers)
{
    m_host.showCaretPosition();
    if (editorIsBlank())
        m_host.fileNew();
    if (key == Qt::Key_V && (modifiers & Qt::ControlModifier) && !m_host.editor->Highlighter()) {
        const Scheme scheme = schemeForContentCode(DetectScheme());
        if (scheme != Scheme::None)
            MenuClick(scheme);
    }
}

void SchemeSwitcher::SynCompletionProposal1CodeCompletion(QString &value, int, QChar)
{
    // The editor holds one line-break style inside (the file's own is restored on saving),
    // so the break inserted is the editor's.
    value = expandReturnMarkers(value, m_host.completion->EditorLineBreak());
}
