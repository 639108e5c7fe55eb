#include "texttools/searchdialogs.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>
#include <vector>

namespace {

// The buttons act on a non-empty search text only, as the platform's dialogs do.
void enableWithText(QLineEdit *edit, std::initializer_list<QPushButton *> buttons)
{
    const auto update = [edit, buttons = std::vector<QPushButton *>(buttons)] {
        for (QPushButton *button : buttons)
            button->setEnabled(!edit->text().isEmpty());
    };
    QObject::connect(edit, &QLineEdit::textChanged, edit, update);
    update();
}

} // namespace

// ---- find ----

TFindDialog::TFindDialog(QWidget *parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("FindDialog1"));
    setModal(false);
    m_label = new QLabel(this);
    m_find = new QLineEdit(this);
    m_find->setObjectName(QStringLiteral("FindText"));
    m_label->setBuddy(m_find);
    m_matchCase = new QCheckBox(this);
    m_matchCase->setObjectName(QStringLiteral("MatchCase"));
    m_wholeWord = new QCheckBox(this);
    m_wholeWord->setObjectName(QStringLiteral("WholeWord"));
    m_regex = new QCheckBox(this);
    m_regex->setObjectName(QStringLiteral("Regex"));
    m_findButton = new QPushButton(this);
    m_findButton->setObjectName(QStringLiteral("FindNext"));
    m_findButton->setDefault(true);
    m_cancel = new QPushButton(this);
    m_cancel->setObjectName(QStringLiteral("Cancel"));

    auto *fields = new QGridLayout;
    fields->addWidget(m_label, 0, 0);
    fields->addWidget(m_find, 0, 1);
    fields->addWidget(m_wholeWord, 1, 0, 1, 2);
    fields->addWidget(m_matchCase, 2, 0, 1, 2);
    fields->addWidget(m_regex, 3, 0, 1, 2);
    auto *buttons = new QVBoxLayout;
    buttons->addWidget(m_findButton);
    buttons->addWidget(m_cancel);
    buttons->addStretch();
    auto *layout = new QHBoxLayout(this);
    layout->addLayout(fields, 1);
    layout->addLayout(buttons);

    connect(m_findButton, &QPushButton::clicked, this, &TFindDialog::OnFind);
    connect(m_cancel, &QPushButton::clicked, this, &QDialog::close);
    enableWithText(m_find, {m_findButton});
    setLanguage(0);
    resize(420, sizeHint().height());
}

QString TFindDialog::FindText() const
{
    return m_find->text();
}

void TFindDialog::setFindText(const QString &text)
{
    m_find->setText(text);
}

bool TFindDialog::MatchCase() const
{
    return m_matchCase->isChecked();
}

bool TFindDialog::WholeWord() const
{
    return m_wholeWord->isChecked();
}

bool TFindDialog::Regex() const
{
    return m_regex->isChecked();
}

namespace {

QString regexCaption(bool german)
{
    return german ? QStringLiteral("Regulärer A&usdruck") : QStringLiteral("Regular e&xpression");
}

} // namespace

void TFindDialog::setLanguage(int language)
{
    const bool german = language == 0;
    setWindowTitle(german ? QStringLiteral("Suchen") : QStringLiteral("Find"));
    m_label->setText(german ? QStringLiteral("&Suchen nach:") : QStringLiteral("Fi&nd what:"));
    m_wholeWord->setText(german ? QStringLiteral("Nur &ganzes Wort suchen")
                                : QStringLiteral("Match &whole word only"));
    m_matchCase->setText(german ? QStringLiteral("Groß-/&Kleinschreibung beachten")
                                : QStringLiteral("Match &case"));
    m_regex->setText(regexCaption(german));
    m_findButton->setText(german ? QStringLiteral("&Weitersuchen") : QStringLiteral("&Find Next"));
    m_cancel->setText(german ? QStringLiteral("Abbrechen") : QStringLiteral("Cancel"));
}

// ---- replace ----

TReplaceDialog::TReplaceDialog(QWidget *parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("ReplaceDialog1"));
    setModal(false);
    m_findLabel = new QLabel(this);
    m_replaceLabel = new QLabel(this);
    m_find = new QLineEdit(this);
    m_find->setObjectName(QStringLiteral("FindText"));
    m_replace = new QLineEdit(this);
    m_replace->setObjectName(QStringLiteral("ReplaceText"));
    m_findLabel->setBuddy(m_find);
    m_replaceLabel->setBuddy(m_replace);
    m_matchCase = new QCheckBox(this);
    m_matchCase->setObjectName(QStringLiteral("MatchCase"));
    m_regex = new QCheckBox(this);
    m_regex->setObjectName(QStringLiteral("Regex"));
    m_findButton = new QPushButton(this);
    m_findButton->setObjectName(QStringLiteral("FindNext"));
    m_findButton->setDefault(true);
    m_replaceButton = new QPushButton(this);
    m_replaceButton->setObjectName(QStringLiteral("Replace"));
    m_replaceAllButton = new QPushButton(this);
    m_replaceAllButton->setObjectName(QStringLiteral("ReplaceAll"));
    m_cancel = new QPushButton(this);
    m_cancel->setObjectName(QStringLiteral("Cancel"));

    auto *fields = new QGridLayout;
    fields->addWidget(m_findLabel, 0, 0);
    fields->addWidget(m_find, 0, 1);
    fields->addWidget(m_replaceLabel, 1, 0);
    fields->addWidget(m_replace, 1, 1);
    fields->addWidget(m_matchCase, 2, 0, 1, 2);
    fields->addWidget(m_regex, 3, 0, 1, 2);
    fields->setRowStretch(4, 1);
    auto *buttons = new QVBoxLayout;
    for (QPushButton *button : {m_findButton, m_replaceButton, m_replaceAllButton, m_cancel})
        buttons->addWidget(button);
    buttons->addStretch();
    auto *layout = new QHBoxLayout(this);
    layout->addLayout(fields, 1);
    layout->addLayout(buttons);

    connect(m_findButton, &QPushButton::clicked, this, &TReplaceDialog::OnFind);
    connect(m_replaceButton, &QPushButton::clicked, this, [this] { emit OnReplace(false); });
    connect(m_replaceAllButton, &QPushButton::clicked, this, [this] { emit OnReplace(true); });
    connect(m_cancel, &QPushButton::clicked, this, &QDialog::close);
    enableWithText(m_find, {m_findButton, m_replaceButton, m_replaceAllButton});
    setLanguage(0);
    resize(440, sizeHint().height());
}

QString TReplaceDialog::FindText() const
{
    return m_find->text();
}

void TReplaceDialog::setFindText(const QString &text)
{
    m_find->setText(text);
}

QString TReplaceDialog::ReplaceText() const
{
    return m_replace->text();
}

void TReplaceDialog::setReplaceText(const QString &text)
{
    m_replace->setText(text);
}

bool TReplaceDialog::MatchCase() const
{
    return m_matchCase->isChecked();
}

bool TReplaceDialog::Regex() const
{
    return m_regex->isChecked();
}

void TReplaceDialog::setLanguage(int language)
{
    const bool german = language == 0;
    setWindowTitle(german ? QStringLiteral("Ersetzen") : QStringLiteral("Replace"));
    m_findLabel->setText(german ? QStringLiteral("&Suchen nach:") : QStringLiteral("Fi&nd what:"));
    m_replaceLabel->setText(german ? QStringLiteral("E&rsetzen durch:")
                                   : QStringLiteral("Re&place with:"));
    m_matchCase->setText(german ? QStringLiteral("Groß-/&Kleinschreibung beachten")
                                : QStringLiteral("Match &case"));
    m_regex->setText(regexCaption(german));
    m_findButton->setText(german ? QStringLiteral("&Weitersuchen") : QStringLiteral("&Find Next"));
    m_replaceButton->setText(german ? QStringLiteral("&Ersetzen") : QStringLiteral("&Replace"));
    m_replaceAllButton->setText(german ? QStringLiteral("&Alle ersetzen")
                                       : QStringLiteral("Replace &All"));
    m_cancel->setText(german ? QStringLiteral("Abbrechen") : QStringLiteral("Cancel"));
}
