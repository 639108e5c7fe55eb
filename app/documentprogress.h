#pragma once
// Progress of a long load or save of the document. Nothing shows for the first half
// second; after that a dialog with a bar and a Cancel button (Esc too) keeps the window
// painted while the work goes on, and Cancel stops it. The editor reports to it for as
// long as the scope lives.

#include <QElapsedTimer>
#include <QPointer>
#include <QString>

class QProgressDialog;
class QWidget;
class TSynMemo;

class DocumentProgress
{
public:
    enum class Work
    {
        Open,
        Save
    };

    DocumentProgress(TSynMemo &memo, QWidget *window, Work work, const QString &path, bool german,
                     int delayMs = 500);
    ~DocumentProgress();
    DocumentProgress(const DocumentProgress &) = delete;
    DocumentProgress &operator=(const DocumentProgress &) = delete;

private:
    bool report(qint64 done, qint64 total);

    TSynMemo &m_memo;
    QWidget *m_window;
    QString m_label;
    QString m_cancel;
    int m_delayMs;
    QElapsedTimer m_clock;
    QPointer<QProgressDialog> m_dialog;
};

// The message that refuses a file larger than the editor can hold: the file, its size and
// the limit.
QString tooLargeText(const QString &path, qint64 size, qint64 limit, bool german);
