#include "run/scriptforms.h"

#include "base/accesskeys.h"
#include "base/windowgradient.h"

#include "lang/messages.h"
#include "run/scriptentry.h"

#include <QApplication>
#include <QButtonGroup>
#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QStyle>
#include <QTextCursor>
#include <QTextEdit>
#include <QVBoxLayout>

namespace {

QString pick(int language, const char *de, const char *en)
{
    return QString::fromUtf8(isGerman(language) ? de : en);
}

QLineEdit *readOnlyField(QWidget *parent, int width = 0)
{
    auto *edit = new QLineEdit(parent);
    edit->setReadOnly(true);
    if (width > 0)
        edit->setFixedWidth(width);
    return edit;
}

} // namespace

ScriptDialog::ScriptDialog(QWidget *parent) : QDialog(parent)
{
    setWindowFlags(windowFlags() & ~Qt::WindowContextHelpButtonHint);
}

void ScriptDialog::paintEvent(QPaintEvent *)
{
    paintWindowGradient(*this);
}

void ScriptDialog::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    setFixedSize(sizeHint().expandedTo(minimumSize()));
    if (QWidget *p = parentWidget())
        move(p->window()->frameGeometry().center() - rect().center());
}

// ---- host choice

TFormHost::TFormHost(QWidget *parent) : ScriptDialog(parent)
{
    setObjectName(QStringLiteral("FormHost"));
    RadioGroup1 = new QGroupBox(this);
    RadioGroup1->setObjectName(QStringLiteral("RadioGroup1"));
    auto *groupLayout = new QVBoxLayout(RadioGroup1);
    m_group = new QButtonGroup(this);
    const char *texts[] = {"WSH (Windows Script Host)", "Quillora", "Browser"};
    for (int i = 0; i < 3; ++i) {
        items[i] = new QRadioButton(QString::fromLatin1(texts[i]), RadioGroup1);
        m_group->addButton(items[i], i);
        groupLayout->addWidget(items[i]);
    }
    items[HostEngine]->setChecked(true);
    CheckBox1 = new QCheckBox(QStringLiteral("Execute OnLoad (HTML)"), this);
    CheckBox1->setObjectName(QStringLiteral("CheckBox1"));
    CheckBox1->setChecked(true);
    CheckBox1->setVisible(false);
    BitBtn1 = new QPushButton(QStringLiteral("OK"), this);
    BitBtn1->setObjectName(QStringLiteral("BitBtn1"));
    BitBtn1->setDefault(true);
    BitBtn2 = new QPushButton(this);
    BitBtn2->setObjectName(QStringLiteral("BitBtn2"));

    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(BitBtn1);
    buttons->addWidget(BitBtn2);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(RadioGroup1);
    layout->addWidget(CheckBox1);
    layout->addLayout(buttons);
    setMinimumWidth(300);

    connect(m_group, &QButtonGroup::idClicked, this, [this] { RadioGroup1Click(); });
    connect(BitBtn1, &QPushButton::clicked, this, [this] { BitBtn1Click(); });
    connect(BitBtn2, &QPushButton::clicked, this, [this] { BitBtn2Click(); });
}

int TFormHost::ItemIndex() const
{
    return m_group->checkedId();
}

void TFormHost::SetItemIndex(int index)
{
    items[index]->setChecked(true);
    RadioGroup1Click();
}

void TFormHost::RadioGroup1Click()
{
    CheckBox1->setVisible(ItemIndex() == HostBrowser);
}

void TFormHost::BitBtn1Click()
{
    UseHost = ItemIndex();
    if (UseHost == HostBrowser)
        ExOnLoad = CheckBox1->isChecked();
    accept();
}

void TFormHost::BitBtn2Click()
{
    UseHost = -1;
    reject();
}

void TFormHost::FormShow()
{
    UseHost = -1;
    ExOnLoad = false;
    setWindowTitle(pick(HLanguage, "Ausführen", "Execute"));
    RadioGroup1->setTitle(pick(HLanguage, "Script ausführen durch", "Execute script by"));
    BitBtn2->setText(pick(HLanguage, "Abbrechen", "Cancel"));
    CheckBox1->setVisible(ItemIndex() == HostBrowser);
    addAccessKeys(this);
}

// ---- parameter values

TFormVars::TFormVars(QWidget *parent) : ScriptDialog(parent)
{
    setObjectName(QStringLiteral("FormVars"));
    Label1 = new QLabel(QStringLiteral("Variable"), this);
    Label2 = new QLabel(this);
    MemoNames = new QTextEdit(this);
    MemoNames->setObjectName(QStringLiteral("MemoNames"));
    MemoNames->setReadOnly(true);
    MemoNames->setLineWrapMode(QTextEdit::NoWrap);
    MemoNames->setAcceptRichText(false);
    MemoNames->setStyleSheet(
        QStringLiteral("QTextEdit { background: rgb(211,211,211); color: maroon; }"));
    MemoValues = new QPlainTextEdit(this);
    MemoValues->setObjectName(QStringLiteral("MemoValues"));
    MemoValues->setLineWrapMode(QPlainTextEdit::NoWrap);
    // Tab moves on to the buttons, whose focus shows; the names are only read.
    MemoValues->setTabChangesFocus(true);
    MemoNames->setFocusPolicy(Qt::NoFocus);
    Memo1 = new QPlainTextEdit(this);
    Memo1->setVisible(false);
    BitBtn1 = new QPushButton(QStringLiteral("OK"), this);
    BitBtn1->setObjectName(QStringLiteral("BitBtn1"));
    BitBtn2 = new QPushButton(this);
    BitBtn2->setObjectName(QStringLiteral("BitBtn2"));

    auto *grid = new QGridLayout(this);
    Label2->setBuddy(MemoValues);
    grid->addWidget(Label1, 0, 0);
    grid->addWidget(Label2, 0, 1);
    grid->addWidget(MemoNames, 1, 0);
    grid->addWidget(MemoValues, 1, 1);
    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(BitBtn1);
    buttons->addWidget(BitBtn2);
    grid->addLayout(buttons, 2, 0, 1, 2);
    setMinimumSize(360, 280);

    connect(BitBtn1, &QPushButton::clicked, this, [this] { BitBtn1Click(); });
    connect(BitBtn2, &QPushButton::clicked, this, [this] { BitBtn2Click(); });
}

QStringList TFormVars::NameLines() const
{
    return quillora::MemoLines(MemoNames->toPlainText());
}

void TFormVars::SetNameLines(const QStringList &lines)
{
    MemoNames->setPlainText(lines.join(u'\n'));
    MemoNames->selectAll();
    MemoNames->setAlignment(Qt::AlignRight);
    MemoNames->moveCursor(QTextCursor::Start);
}

QStringList TFormVars::ValueLines() const
{
    return quillora::MemoLines(MemoValues->toPlainText());
}

void TFormVars::BitBtn1Click()
{
    const QStringList values = quillora::ValuesForNames(ValueLines(), int(NameLines().size()));
    Memo1->setPlainText(values.join(u'\n'));
    // an empty last value still counts as a line
    MemoValues->setPlainText(values.isEmpty() ? QString() : values.join(u'\n') + u'\n');
    accept();
}

void TFormVars::BitBtn2Click()
{
    MemoValues->clear();
    reject();
}

void TFormVars::keyPressEvent(QKeyEvent *event)
{
    if (event->key() == Qt::Key_Escape && event->modifiers() == Qt::NoModifier) {
        BitBtn2Click();
        return;
    }
    ScriptDialog::keyPressEvent(event);
}

void TFormVars::done(int result)
{
    MemoNames->clear();
    QDialog::done(result);
}

void TFormVars::FormShow()
{
    setWindowTitle(QString());
    Label2->setText(pick(VLanguage, "Wert", "Value"));
    BitBtn2->setText(pick(VLanguage, "Abbrechen", "Cancel"));
    addAccessKeys(this);
    MemoValues->clear();
    MemoValues->setFocus();
}

// ---- result

TFormResult::TFormResult(QWidget *parent) : ScriptDialog(parent)
{
    setObjectName(QStringLiteral("FormResult"));
    Label1 = new QLabel(this);
    QFont bold = Label1->font();
    bold.setBold(true);
    Label1->setFont(bold);
    Image1 = new QLabel(this);
    Image1->setPixmap(style()->standardIcon(QStyle::SP_MessageBoxInformation).pixmap(32, 32));
    Edit1 = readOnlyField(this);
    Edit1->setObjectName(QStringLiteral("Edit1"));
    Edit1->setMinimumWidth(260);
    BitBtn1 = new QPushButton(QStringLiteral("OK"), this);
    BitBtn1->setDefault(true);
    auto *grid = new QGridLayout(this);
    grid->addWidget(Image1, 0, 0, 2, 1, Qt::AlignTop);
    grid->addWidget(Label1, 0, 1);
    MemoOutput = new QPlainTextEdit(this);
    MemoOutput->setObjectName(QStringLiteral("MemoOutput"));
    MemoOutput->setReadOnly(true);
    MemoOutput->setLineWrapMode(QPlainTextEdit::NoWrap);
    MemoOutput->setMinimumSize(420, 200);
    MemoOutput->setVisible(false);
    grid->addWidget(Edit1, 1, 1);
    grid->addWidget(MemoOutput, 1, 1);
    grid->addWidget(BitBtn1, 2, 1, Qt::AlignRight);
    connect(BitBtn1, &QPushButton::clicked, this, &QDialog::accept);
}

void TFormResult::FormShow()
{
    setWindowTitle(pick(RLanguage, "Ergebnis", "Result"));
    Label1->setText(ShowsOutput
                        ? pick(RLanguage, "Ausgabe des Scripts", "Output of the script")
                        : pick(RLanguage, "Rückgabewert der Funktion", "Return value of function"));
    Edit1->setVisible(!ShowsOutput);
    MemoOutput->setVisible(ShowsOutput);
}

// ---- error details

TFormErInfo::TFormErInfo(QWidget *parent) : ScriptDialog(parent)
{
    setObjectName(QStringLiteral("FormErInfo"));
    QLabel **labels[] = {&Label1, &Label2, &Label3, &Label4, &Label5, &Label6};
    for (QLabel **l : labels)
        *l = new QLabel(this);
    EditNr = readOnlyField(this);
    EditSource = readOnlyField(this);
    EditDesc = readOnlyField(this);
    EditLine = readOnlyField(this, 70);
    EditCol = readOnlyField(this, 70);
    EditText = readOnlyField(this);
    BitBtn1 = new QPushButton(QStringLiteral("OK"), this);
    BitBtn1->setDefault(true);

    auto *grid = new QGridLayout(this);
    grid->addWidget(Label1, 0, 0);
    grid->addWidget(EditNr, 0, 1, 1, 3);
    grid->addWidget(Label2, 1, 0);
    grid->addWidget(EditSource, 1, 1, 1, 3);
    grid->addWidget(Label3, 2, 0);
    grid->addWidget(EditDesc, 2, 1, 1, 3);
    grid->addWidget(Label4, 3, 0);
    grid->addWidget(EditLine, 3, 1);
    grid->addWidget(Label5, 3, 2, Qt::AlignRight);
    grid->addWidget(EditCol, 3, 3);
    grid->addWidget(Label6, 4, 0);
    grid->addWidget(EditText, 4, 1, 1, 3);
    grid->addWidget(BitBtn1, 5, 3, Qt::AlignRight);
    setMinimumWidth(440);
    connect(BitBtn1, &QPushButton::clicked, this, &QDialog::accept);
}

void TFormErInfo::FormShow()
{
    setWindowTitle(pick(ELanguage, "Fehlerinfo", "Error details"));
    Label1->setText(pick(ELanguage, "FehlerNr.:", "Error No.:"));
    Label2->setText(pick(ELanguage, "Quelle:", "Source:"));
    Label3->setText(pick(ELanguage, "Beschreibung:", "Description:"));
    Label4->setText(pick(ELanguage, "Zeile:", "Line:"));
    Label5->setText(pick(ELanguage, "Spalte:", "Column:"));
    Label6->setText(QStringLiteral("Code:"));
    // a text longer than its field shows its beginning, and the whole of it on hover
    for (QLineEdit *field : {EditNr, EditSource, EditDesc, EditLine, EditCol, EditText}) {
        field->setCursorPosition(0);
        field->setToolTip(field->text());
    }
}
