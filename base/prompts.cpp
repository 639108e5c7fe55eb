#include "base/prompts.h"

#include <QApplication>
#include <QColorDialog>
#include <QFileDialog>
#include <QFontDialog>
#include <QGridLayout>
#include <QInputDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QPrintDialog>
#include <QPrinter>

namespace {

// Width a box needs so the window manager does not cut its title: the title in the
// application font and room for the title bar's icon and buttons.
int titleWidth(const QString &title)
{
    constexpr int kTitleBarRoom = 100;
    return QFontMetrics(QApplication::font()).horizontalAdvance(title) + kTitleBarRoom;
}

// A message box sizes itself from its text; a spacer across its grid keeps it as wide
// as its title.
void widenForTitle(QMessageBox &box)
{
    if (auto *grid = qobject_cast<QGridLayout *>(box.layout()))
        grid->addItem(new QSpacerItem(titleWidth(box.windowTitle()), 0, QSizePolicy::Minimum,
                                      QSizePolicy::Fixed),
                      grid->rowCount(), 0, 1, grid->columnCount());
}

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
    widenForTitle(box);
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
    widenForTitle(box);
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
    QInputDialog dialog(m_parent);
    dialog.setWindowTitle(title);
    dialog.setLabelText(label);
    dialog.setTextValue(initial);
    // The dialog's layout sets its minimum size from its fields: the line edit is made wide
    // enough for the title.
    if (auto *edit = dialog.findChild<QLineEdit *>()) {
        const QMargins margins = dialog.layout() ? dialog.layout()->contentsMargins() : QMargins();
        edit->setMinimumWidth(titleWidth(title) - margins.left() - margins.right());
    }
    if (dialog.exec() != QDialog::Accepted)
        return std::nullopt;
    return dialog.textValue();
}

std::optional<QStringList> QtPrompts::openFileNames(const QString &folder, const QString &filters)
{
    const QStringList paths =
        QFileDialog::getOpenFileNames(m_parent, QString(), folder, qtFileFilter(filters), nullptr,
                                      QFileDialog::HideNameFilterDetails);
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
    const QString path = QFileDialog::getSaveFileName(
        m_parent, QString(), start, qtFileFilter(filters), nullptr,
        QFileDialog::DontConfirmOverwrite | QFileDialog::HideNameFilterDetails);
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
