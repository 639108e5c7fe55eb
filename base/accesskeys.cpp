#include "base/accesskeys.h"

#include "lang/mnemonics.h"

#include <QAbstractButton>
#include <QLabel>
#include <QToolButton>

#include <functional>

void addAccessKeys(QWidget *dialog)
{
    struct Marked
    {
        QString text;
        std::function<void(const QString &)> set;
    };
    QList<Marked> items;
    for (QWidget *child : dialog->findChildren<QWidget *>()) {
        if (qobject_cast<QToolButton *>(child))
            continue; // toolbar pictures carry no caption
        if (auto *button = qobject_cast<QAbstractButton *>(child)) {
            items.append({withoutMnemonic(button->text()),
                          [button](const QString &text) { button->setText(text); }});
        } else if (auto *label = qobject_cast<QLabel *>(child); label && label->buddy()) {
            items.append({withoutMnemonic(label->text()),
                          [label](const QString &text) { label->setText(text); }});
        }
    }
    QStringList texts;
    for (const Marked &item : items)
        texts << item.text;
    const QStringList marked = withMnemonics(texts);
    for (qsizetype i = 0; i < items.size(); ++i)
        if (!items[i].text.isEmpty())
            items[i].set(marked[i]);
}
