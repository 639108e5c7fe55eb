#include "texttools/documentformat.h"

#include "editor/synmemo.h"

#include <QAction>

DocumentFormat::DocumentFormat(TSynMemo &editor, Host host, QObject *parent)
    : QObject(parent), m_editor(editor), m_host(std::move(host))
{
}

QString DocumentFormat::statusText(const TextFormat &format, bool uniformBreaks, int language)
{
    const QString encoding = encodingName(format.encoding);
    QString breaks;
    if (!uniformBreaks)
        breaks = language == 0 ? QStringLiteral("gemischt") : QStringLiteral("mixed");
    else if (format.lineBreak == LineBreak::CrLf)
        breaks = QStringLiteral("CR LF");
    else if (format.lineBreak == LineBreak::Lf)
        breaks = QStringLiteral("LF");
    else
        breaks = QStringLiteral("CR");
    return encoding + QStringLiteral(" \u00B7 ") + breaks;
}

QString DocumentFormat::itemName(bool save, TextEncoding encoding)
{
    return (save ? QStringLiteral("SaveEncoding") : QStringLiteral("ReopenEncoding")) +
           QString::number(int(encoding));
}

QString DocumentFormat::invalidBytesText(TextEncoding encoding, int language)
{
    return (language == 0
                ? QStringLiteral("Die Datei enthält Bytes, die in %1 kein Zeichen sind. Sie "
                                 "erscheinen als \uFFFD oder als Steuerzeichen; beim "
                                 "Speichern würden diese statt der Bytes geschrieben.")
                : QStringLiteral("The file holds bytes that are no character in %1. They show "
                                 "as \uFFFD or as a control character; a save would write "
                                 "those instead of the bytes."))
        .arg(encodingName(encoding));
}

QString DocumentFormat::statusText(int language) const
{
    return statusText(m_editor.format(), m_editor.lineBreaks().uniform(), language);
}

void DocumentFormat::SetLineBreak(LineBreak lineBreak)
{
    TextFormat format = m_editor.format();
    const bool same = format.lineBreak == lineBreak && m_editor.lineBreaks().uniform();
    if (!same) {
        format.lineBreak = lineBreak;
        m_editor.setFormat(format);
        m_editor.SetModified(true);
    }
    update();
}

void DocumentFormat::ReopenWithEncoding(TextEncoding encoding)
{
    if (!m_host.fileName || m_host.fileName().isEmpty() || !m_host.mayReplace())
        return;
    if (m_host.reopen(encoding) && m_editor.loadFoundInvalidBytes())
        m_host.warn(invalidBytesText(encoding, m_host.language()));
    update();
}

void DocumentFormat::SaveWithEncoding(TextEncoding encoding)
{
    const TextFormat before = m_editor.format();
    m_editor.setEncoding(encoding);
    // A save that did not happen leaves the document in its encoding.
    if (!m_host.save())
        m_editor.restoreEncoding(before);
    update();
}

void DocumentFormat::refresh()
{
    m_shown.reset();
    update();
}

void DocumentFormat::update()
{
    const Shown shown{m_editor.lineBreaks().uniform(), m_editor.format().lineBreak,
                      m_editor.format().encoding, m_host.fileName && !m_host.fileName().isEmpty()};
    if (m_shown == shown)
        return;
    m_shown = shown;
    const auto tick = [&](const char *name, LineBreak style) {
        if (QAction *item = m_host.action ? m_host.action(QString::fromLatin1(name)) : nullptr) {
            item->setCheckable(true);
            item->setChecked(shown.uniform && shown.lineBreak == style);
        }
    };
    tick("LineBreaksCrLf1", LineBreak::CrLf);
    tick("LineBreaksLf1", LineBreak::Lf);
    tick("LineBreaksCr1", LineBreak::Cr);
    for (const TextEncoding choice : allEncodings()) {
        if (QAction *item = m_host.action ? m_host.action(itemName(true, choice)) : nullptr) {
            item->setCheckable(true);
            item->setChecked(choice == shown.encoding);
        }
    }
    if (QAction *reopen =
            m_host.action ? m_host.action(QStringLiteral("ReopenWithEncoding1")) : nullptr)
        reopen->setEnabled(shown.hasFile);
    if (m_host.changed)
        m_host.changed();
}
