#include "base/prompts.h"

#include <QColorDialog>
#include <QFileDialog>
#include <QFontDialog>
#include <QInputDialog>
#include <QMessageBox>
#include <QPrintDialog>
#include <QPrinter>

namespace {

QMessageBox::Icon boxIcon(Prompts::Icon icon)
{
    switch (icon) {
    case Prompts::Icon::Information:
        return QMessageBox::Information;
    case Prompts::Icon::Warning:
        return QMessageBox::Warning;
    case Prompts::Icon::Error:
        return QMessageBox::Critical;
    case Prompts::Icon::Question:
        break;
    }
    return QMessageBox::Question;
}

} // namespace

QString qtFileFilter(const QString &windowsFilter)
{
    const QStringList parts = windowsFilter.split(u'|');
    QStringList filters;
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        QStringList patterns = parts[i + 1].split(u';', Qt::SkipEmptyParts);
        // "*.*" means every file, also one without a dot (Makefile, README).
        for (QString &pattern : patterns)
            if (pattern.trimmed() == u"*.*")
                pattern = QStringLiteral("*");
        filters << parts[i].trimmed() + QStringLiteral(" (") + patterns.join(u' ') + u')';
    }
    return filters.join(QStringLiteral(";;"));
}

void QtPrompts::message(Icon icon, const QString &title, const QString &text)
{
    QMessageBox box(boxIcon(icon), title, text, QMessageBox::Ok, m_parent);
    box.exec();
}

Prompts::Answer QtPrompts::question(Icon icon, const QString &title, const QString &text,
                                    Buttons buttons)
{
    QMessageBox::StandardButtons set;
    switch (buttons) {
    case Buttons::Ok:
        set = QMessageBox::Ok;
        break;
    case Buttons::OkCancel:
        set = QMessageBox::Ok | QMessageBox::Cancel;
        break;
    case Buttons::YesNo:
        set = QMessageBox::Yes | QMessageBox::No;
        break;
    case Buttons::YesNoCancel:
        set = QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel;
        break;
    }
    QMessageBox box(boxIcon(icon), title, text, set, m_parent);
    switch (box.exec()) {
    case QMessageBox::Ok:
        return Answer::Ok;
    case QMessageBox::Yes:
        return Answer::Yes;
    case QMessageBox::No:
        return Answer::No;
    default:
        return buttons == Buttons::YesNo ? Answer::No : Answer::Cancel;
    }
}

std::optional<QString> QtPrompts::inputText(const QString &title, const QString &label,
                                            const QString &initial)
{
    bool ok = false;
    const QString text =
        QInputDialog::getText(m_parent, title, label, QLineEdit::Normal, initial, &ok);
    if (!ok)
        return std::nullopt;
    return text;
}

std::optional<QStringList> QtPrompts::openFileNames(const QString &folder, const QString &filters)
{
    const QStringList paths =
        QFileDialog::getOpenFileNames(m_parent, QString(), folder, qtFileFilter(filters),
                                      nullptr, QFileDialog::HideNameFilterDetails);
    if (paths.isEmpty())
        return std::nullopt;
    return paths;
}

std::optional<QString> QtPrompts::openFileName(const QString &folder, const QString &filters)
{
    const QString path =
        QFileDialog::getOpenFileName(m_parent, QString(), folder, qtFileFilter(filters), nullptr,
                                     QFileDialog::HideNameFilterDetails);
    if (path.isEmpty())
        return std::nullopt;
    return path;
}

std::optional<QString> QtPrompts::saveFileName(const QString &folder, const QString &proposedName,
                                               const QString &filters)
{
    // The program asks before overwriting, so the dialog must not.
    QString start = folder;
    if (!proposedName.isEmpty())
        start = folder.isEmpty() ? proposedName : folder + u'/' + proposedName;
    const QString path =
        QFileDialog::getSaveFileName(m_parent, QString(), start, qtFileFilter(filters), nullptr,
                                     QFileDialog::DontConfirmOverwrite |
                                         QFileDialog::HideNameFilterDetails);
    if (path.isEmpty())
        return std::nullopt;
    return path;
}

std::optional<QFont> QtPrompts::font(const QFont &initial)
{
    bool ok = false;
    const QFont chosen = QFontDialog::getFont(&ok, initial, m_parent);
    if (!ok)
        return std::nullopt;
    return chosen;
}

std::optional<int> QtPrompts::colour(int initial)
{
    const QColor start(initial & 0xFF, (initial >> 8) & 0xFF, (initial >> 16) & 0xFF);
    const QColor chosen = QColorDialog::getColor(start, m_parent);
    if (!chosen.isValid())
        return std::nullopt;
    return chosen.red() | (chosen.green() << 8) | (chosen.blue() << 16);
}

bool QtPrompts::print(QPrinter &printer)
{
    QPrintDialog dialog(&printer, m_parent);
    return dialog.exec() == QDialog::Accepted;
}

int QtPrompts::exec(QDialog &dialog)
{
    return dialog.exec();
}
