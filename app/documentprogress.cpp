#include "app/documentprogress.h"

#include "editor/synmemo.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QLocale>
#include <QProgressDialog>

DocumentProgress::DocumentProgress(TSynMemo &memo, QWidget *window, Work work, const QString &path,
                                   bool german, int delayMs)
    : m_memo(memo), m_window(window), m_delayMs(delayMs)
{
    const QString name = QFileInfo(path).fileName();
    if (work == Work::Open)
        m_label = german ? QStringLiteral("Öffne „%1“ …").arg(name)
                         : QStringLiteral("Opening \"%1\" …").arg(name);
    else
        m_label = german ? QStringLiteral("Speichere „%1“ …").arg(name)
                         : QStringLiteral("Saving \"%1\" …").arg(name);
    m_cancel = german ? QStringLiteral("Abbrechen") : QStringLiteral("Cancel");
    m_clock.start();
    m_memo.setWorkProgress([this](qint64 done, qint64 total) { return report(done, total); });
}

DocumentProgress::~DocumentProgress()
{
    m_memo.setWorkProgress({});
    delete m_dialog;
}

bool DocumentProgress::report(qint64 done, qint64 total)
{
    if (m_clock.elapsed() < m_delayMs)
        return true;
    if (!m_dialog) {
        m_dialog = new QProgressDialog(m_label, m_cancel, 0, 1000, m_window);
        m_dialog->setObjectName(QStringLiteral("DocumentProgress"));
        m_dialog->setWindowTitle(QStringLiteral("Quillora"));
        m_dialog->setWindowModality(Qt::ApplicationModal);
        m_dialog->setMinimumDuration(0);
        m_dialog->setAutoClose(false);
        m_dialog->setAutoReset(false);
        m_dialog->show();
    }
    const int permille = total > 0 ? int(qMin<qint64>(1000, done * 1000 / total)) : 0;
    if (permille != m_dialog->value())
        m_dialog->setValue(permille);
    // The window and the dialog stay painted, and Cancel and Esc get through.
    QCoreApplication::processEvents();
    return !m_dialog->wasCanceled();
}

QString tooLargeText(const QString &path, qint64 size, qint64 limit, bool german)
{
    const QLocale locale(german ? QLocale::German : QLocale::English);
    const QString sizeText = locale.toString(size);
    const QString limitText = locale.toString(limit);
    if (german)
        return QStringLiteral("Die Datei „%1“ ist %2 Bytes groß und wird nicht geöffnet: "
                              "Quillora Pro öffnet Dateien bis %3 Bytes.")
            .arg(path, sizeText, limitText);
    return QStringLiteral("The file \"%1\" is %2 bytes long and is not opened: "
                          "Quillora Pro opens files of up to %3 bytes.")
        .arg(path, sizeText, limitText);
}
