#include "texttools/occurrencemarker.h"

#include "editor/synmemo.h"

#include <QScrollBar>

OccurrenceMarker::OccurrenceMarker(TSynMemo &editor, QObject *parent)
    : QObject(parent), m_editor(editor)
{
    m_idle.setSingleShot(true);
    m_idle.setInterval(kIdleMilliseconds);
    connect(&m_idle, &QTimer::timeout, this, &OccurrenceMarker::markNow);
    connect(&m_editor, &QsciScintilla::cursorPositionChanged, this, &OccurrenceMarker::restart);
    connect(&m_editor, &QsciScintilla::selectionChanged, this, &OccurrenceMarker::restart);
    connect(m_editor.verticalScrollBar(), &QScrollBar::valueChanged, this,
            [this] { m_idle.start(); });
    connect(&m_editor, &QsciScintilla::textChanged, this, [this] {
        m_idle.stop();
        m_editor.ClearOccurrenceMarks();
    });
}

void OccurrenceMarker::restart()
{
    m_editor.ClearOccurrenceMarks();
    m_idle.start();
}

int OccurrenceMarker::markNow()
{
    return m_editor.MarkOccurrences();
}
