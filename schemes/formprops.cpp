#include "schemes/formprops.h"

#include "base/accesskeys.h"
#include "base/prompts.h"
#include "lang/messages.h"

#include <QButtonGroup>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

const QList<std::pair<QString, QString>> &TFormProps::choices()
{
    static const QList<std::pair<QString, QString>> list = {
        {QStringLiteral("ASM"), QStringLiteral("Asm")},
        {QStringLiteral("C/C++"), QStringLiteral("C")},
        {QStringLiteral("CSS"), QStringLiteral("Css")},
        {QStringLiteral("Fortran"), QStringLiteral("Fortran")},
        {QStringLiteral("HTML"), QStringLiteral("Html")},
        {QStringLiteral("Java"), QStringLiteral("Java")},
        {QStringLiteral("JavaScript"), QStringLiteral("Js")},
        {QStringLiteral("Pascal"), QStringLiteral("Pas")},
        {QStringLiteral("Pearl"), QStringLiteral("Pearl")},
        {QStringLiteral("PHP"), QStringLiteral("Php")},
        {QStringLiteral("Python"), QStringLiteral("Pyth")},
        {QStringLiteral("Ruby"), QStringLiteral("Ruby")},
        {QStringLiteral("SQL"), QStringLiteral("Sql")},
        {QStringLiteral("VisualBasic"), QStringLiteral("Vb")},
        {QStringLiteral("VbScript"), QStringLiteral("Vbs")},
        {QStringLiteral("XML/XSL"), QStringLiteral("Xml")},
    };
    return list;
}

TFormProps::TFormProps(QWidget *parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("FormProps"));
    m_group = new QGroupBox(this);
    auto *grid = new QGridLayout(m_group);
    // Exclusive by hand: FormShow must be able to uncheck every button.
    const auto &list = choices();
    for (int i = 0; i < list.size(); ++i) {
        auto *button = new QRadioButton(list[i].first, m_group);
        button->setObjectName(QStringLiteral("RadioButton%1").arg(i + 1));
        button->setAutoExclusive(false);
        const QString prefix = list[i].second;
        connect(button, &QRadioButton::clicked, this, [this, button, prefix] {
            for (QRadioButton *other : std::as_const(m_buttons))
                other->setChecked(other == button);
            Language = prefix;
        });
        grid->addWidget(button, i % 8, i / 8);
        m_buttons.append(button);
    }
    BitBtn1 = new QPushButton(QStringLiteral("OK"), this);
    BitBtn1->setObjectName(QStringLiteral("BitBtn1"));
    BitBtn1->setDefault(true);
    BitBtn2 = new QPushButton(this);
    BitBtn2->setObjectName(QStringLiteral("BitBtn2"));
    connect(BitBtn1, &QPushButton::clicked, this, &TFormProps::BitBtn1Click);
    connect(BitBtn2, &QPushButton::clicked, this, &TFormProps::BitBtn2Click);
    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(BitBtn1);
    buttons->addWidget(BitBtn2);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(m_group);
    layout->addLayout(buttons);
}

QString TFormProps::Execute(Prompts &prompts)
{
    FormShow();
    prompts.exec(*this);
    return Language;
}

void TFormProps::FormShow()
{
    ApplyLanguage();
    for (QRadioButton *button : std::as_const(m_buttons))
        button->setChecked(false);
    Language.clear();
}

void TFormProps::ApplyLanguage()
{
    const bool german = isGerman(Sprache);
    setWindowTitle(german ? QStringLiteral("Vorschläge für...")
                          : QStringLiteral("Proposals for..."));
    m_group->setTitle(german ? QStringLiteral("Sprache") : QStringLiteral("Language"));
    BitBtn2->setText(german ? QStringLiteral("Abbrechen") : QStringLiteral("Cancel"));
    addAccessKeys(this);
}

void TFormProps::BitBtn1Click()
{
    accept();
}

void TFormProps::BitBtn2Click()
{
    Language.clear();
    QDialog::reject();
}

// Escape and the window's close button cancel too: a pair is opened or overwritten only
// after a choice confirmed with OK.
void TFormProps::reject()
{
    BitBtn2Click();
}
