#pragma once
// Marks every occurrence of the selected text or of the word at the caret, a short idle
// time after the caret or selection stops moving (or the view scrolls); an edit clears
// the marks at once. Only the lines on screen and some around them are searched, so the
// cost stays the same for any size of document.

#include <QObject>
#include <QTimer>

class TSynMemo;

class OccurrenceMarker : public QObject
{
    Q_OBJECT
public:
    static constexpr int kIdleMilliseconds = 350;

    explicit OccurrenceMarker(TSynMemo &editor, QObject *parent = nullptr);

    // Marks now (what the idle timer does); returns the number of marks.
    int markNow();

private:
    void restart();

    TSynMemo &m_editor;
    QTimer m_idle;
};
