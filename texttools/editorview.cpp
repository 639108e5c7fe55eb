#include "texttools/editorview.h"

#include "base/prompts.h"
#include "editor/synmemo.h"
#include "lang/commandtexts.h"
#include "store/preferences.h"

#include <QAction>
#include <cmath>

namespace {

const QString kWhitespaceKey = QStringLiteral("view.whitespace");
const QString kLineEndsKey = QStringLiteral("view.lineends");
const QString kIndentGuidesKey = QStringLiteral("view.indentguides");
const QString kFoldMarginKey = QStringLiteral("view.foldmargin");
const QString kLongLineKey = QStringLiteral("view.longlinecolumn");
constexpr int kMaxColumn = 1000;

} // namespace

EditorView::EditorView(TSynMemo &editor, Host host, QObject *parent)
    : QObject(parent), m_editor(editor), m_host(std::move(host))
{
    connect(&m_editor, &TSynMemo::zoomChanged, this, &EditorView::showZoom);
}

void EditorView::load()
{
    const Preferences &preferences = m_host.preferences();
    m_whitespace = preferences.boolValue(kWhitespaceKey, false);
    m_lineEnds = preferences.boolValue(kLineEndsKey, false);
    m_indentGuides = preferences.boolValue(kIndentGuidesKey, false);
    m_foldMargin = preferences.boolValue(kFoldMarginKey, true);
    const int column = preferences.intValue(kLongLineKey, 0);
    m_longLineColumn = column >= 0 && column <= kMaxColumn ? column : 0;
    m_editor.SetBraceMatching(true);
    apply();
}

void EditorView::apply()
{
    m_editor.SetShowWhitespace(m_whitespace);
    m_editor.SetShowLineEnds(m_lineEnds);
    m_editor.SetIndentGuides(m_indentGuides);
    m_editor.SetFoldMargin(m_foldMargin);
    m_editor.SetLongLineColumn(m_longLineColumn);
    const auto tick = [this](const char *name, bool on) {
        if (QAction *item = m_host.action ? m_host.action(QString::fromLatin1(name)) : nullptr) {
            item->setCheckable(true);
            item->setChecked(on);
        }
    };
    tick("ShowWhitespace1", m_whitespace);
    tick("ShowLineEnds1", m_lineEnds);
    tick("IndentGuides1", m_indentGuides);
    tick("FoldMargin1", m_foldMargin);
    tick("LongLineMarker1", m_longLineColumn > 0);
}

void EditorView::store()
{
    Preferences &preferences = m_host.preferences();
    preferences.setBoolValue(kWhitespaceKey, m_whitespace);
    preferences.setBoolValue(kLineEndsKey, m_lineEnds);
    preferences.setBoolValue(kIndentGuidesKey, m_indentGuides);
    preferences.setBoolValue(kFoldMarginKey, m_foldMargin);
    preferences.setIntValue(kLongLineKey, m_longLineColumn);
    apply();
    if (m_host.savePreferences)
        m_host.savePreferences();
}

void EditorView::ToggleWhitespace()
{
    m_whitespace = !m_whitespace;
    store();
}

void EditorView::ToggleLineEnds()
{
    m_lineEnds = !m_lineEnds;
    store();
}

void EditorView::ToggleIndentGuides()
{
    m_indentGuides = !m_indentGuides;
    store();
}

void EditorView::ToggleFoldMargin()
{
    m_foldMargin = !m_foldMargin;
    store();
}

int EditorView::parseColumn(const QString &text)
{
    bool ok = false;
    const int column = text.trimmed().toInt(&ok);
    return ok && column >= 0 && column <= kMaxColumn ? column : -1;
}

void EditorView::AskLongLineColumn()
{
    const int language = m_host.language();
    const std::optional<QString> answer =
        m_host.prompts->inputText(commandText(language, kLongLineMarkerText).remove(u'.'),
                                  commandText(language, kLongLineQuestionText),
                                  QString::number(m_longLineColumn > 0 ? m_longLineColumn : 80));
    if (!answer) {
        apply(); // the menu item's tick back to the state
        return;
    }
    const int column = parseColumn(*answer);
    if (column < 0) {
        m_host.prompts->message(Prompts::Icon::Warning,
                                commandText(language, kLongLineMarkerText).remove(u'.'),
                                commandText(language, 13)); // "invalid input"
        apply();
        return;
    }
    m_longLineColumn = column;
    store();
}

void EditorView::FoldAll()
{
    m_editor.FoldAll(true);
}

void EditorView::UnfoldAll()
{
    m_editor.FoldAll(false);
}

void EditorView::ZoomIn()
{
    m_editor.SetZoom(m_editor.Zoom() + 1);
}

void EditorView::ZoomOut()
{
    m_editor.SetZoom(m_editor.Zoom() - 1);
}

void EditorView::ZoomReset()
{
    m_editor.SetZoom(0);
}

void EditorView::GoToMatchingBrace()
{
    m_editor.GoToMatchingBrace();
}

QString EditorView::zoomText(int points, double fontPoints)
{
    if (points == 0 || fontPoints <= 0)
        return QString();
    const int percent = int(std::lround(100.0 * std::max(1.0, fontPoints + points) / fontPoints));
    return QStringLiteral("Zoom: %1 %").arg(percent);
}

void EditorView::showZoom(int points)
{
    if (m_host.showZoom)
        m_host.showZoom(zoomText(points, m_editor.EditorFont().pointSizeF()));
}
