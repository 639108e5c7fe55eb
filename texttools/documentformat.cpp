#include "texttools/documentformat.h"

#include "editor/synmemo.h"

#include <QAction>

DocumentFormat::DocumentFormat(TSynMemo &editor, Host host, QObject *parent)
    : QObject(parent), m_editor(editor), m_host(std::move(host))
{
}

QString DocumentFormat::statusText(const TextFormat &format, bool uniformBreaks, int language)
{
    QString encoding;
    switch (format.encoding) {
    case TextEncoding::Utf8:
        encoding = QStringLiteral("UTF-8");
        break;
    case TextEncoding::Utf8WithMark:
        encoding = QStringLiteral("UTF-8 BOM");
        break;
    case TextEncoding::Utf16LE:
        encoding = QStringLiteral("UTF-16 LE");
        break;
    case TextEncoding::Utf16BE:
        encoding = QStringLiteral("UTF-16 BE");
        break;
    case TextEncoding::Windows1252:
        encoding = QStringLiteral("Windows-1252");
        break;
    }
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

void DocumentFormat::update()
{
    const bool uniform = m_editor.lineBreaks().uniform();
    const LineBreak current = m_editor.format().lineBreak;
    const auto tick = [&](const char *name, LineBreak style) {
        if (QAction *item = m_host.action ? m_host.action(QString::fromLatin1(name)) : nullptr) {
            item->setCheckable(true);
            item->setChecked(uniform && current == style);
        }
    };
    tick("LineBreaksCrLf1", LineBreak::CrLf);
    tick("LineBreaksLf1", LineBreak::Lf);
    tick("LineBreaksCr1", LineBreak::Cr);
    if (m_host.changed)
        m_host.changed();
}
