#include "schemes/formreturn.h"

#include "base/prompts.h"
#include "lang/messages.h"
#include "schemes/proposaltable.h"

#include <QFont>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>

TFormReturn::TFormReturn(QWidget *parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("FormReturn"));
    m_label = new QLabel(this);
    m_label->setWordWrap(true);
    m_label->setGeometry(20, 12, 520, 64);
    Memo1 = new QPlainTextEdit(this);
    Memo1->setObjectName(QStringLiteral("Memo1"));
    QFont font(QStringLiteral("Courier New"));
    font.setPixelSize(13);
    font.setStyleHint(QFont::Monospace);
    Memo1->setFont(font);
    Memo1->setLineWrapMode(QPlainTextEdit::NoWrap);
    Memo1->move(20, 84);
    BitBtn1 = new QPushButton(this);
    BitBtn1->setObjectName(QStringLiteral("BitBtn1"));
    BitBtn1->setDefault(true);
    BitBtn1->setAutoDefault(false);
    BitBtn2 = new QPushButton(this);
    BitBtn2->setObjectName(QStringLiteral("BitBtn2"));
    connect(BitBtn1, &QPushButton::clicked, this, &TFormReturn::BitBtn1Click);
    connect(BitBtn2, &QPushButton::clicked, this, &TFormReturn::BitBtn2Click);
    setMinimumSize(400, 320);
    resize(560, 420);
}

QString TFormReturn::Execute(Prompts &prompts)
{
    FormShow();
    if (prompts.exec(*this) != QDialog::Accepted)
        CodeProp.clear();
    return CodeProp;
}

void TFormReturn::FormShow()
{
    ApplyLanguage();
    Memo1->setPlainText(codeCellToLines(CodeProp));
    Memo1->setFocus();
}

void TFormReturn::ApplyLanguage()
{
    const bool german = isGerman(RLanguage);
    setWindowTitle(german ? QStringLiteral("Codevorschlag formatieren")
                          : QStringLiteral("Format code proposal"));
    m_label->setText(
        german ? QStringLiteral(
                     "Sie können Codevorschläge mit Zeilenumbrüchen formatieren. In der "
                     "Codezeile erscheint dann eine Variable $ret an der entsprechenden Stelle. "
                     "Diese wird später beim Einfügen des Vorschlags als Zeilenumbruch "
                     "interpretiert.")
               : QStringLiteral("You can format code propsals with line feeds. A variable $ret "
                                "will be displayed at the respective position in the code line. "
                                "This variable will be replaced by a LF when inserting a "
                                "proposal."));
    BitBtn1->setText(german ? QStringLiteral("Übernehmen") : QStringLiteral("Resume"));
    BitBtn2->setText(german ? QStringLiteral("Abbrechen") : QStringLiteral("Cancel"));
}

void TFormReturn::BitBtn1Click()
{
    CodeProp = linesToCodeCell(Memo1->toPlainText());
    accept();
}

void TFormReturn::BitBtn2Click()
{
    CodeProp.clear();
    reject();
}

void TFormReturn::resizeEvent(QResizeEvent *event)
{
    QDialog::resizeEvent(event);
    FormResize();
}

void TFormReturn::FormResize()
{
    Memo1->resize(qMax(100, width() - 110), qMax(60, height() - 190));
    const int top = height() - 100;
    BitBtn1->setGeometry(20, top, 110, 30);
    BitBtn2->setGeometry(140, top, 110, 30);
    m_label->setFixedWidth(qMax(200, width() - 110));
}
