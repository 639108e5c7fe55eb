#include "store/formsetup.h"

#include "base/accesskeys.h"
#include "base/prompts.h"
#include "base/textrules.h"
#include "store/storedtext.h"

#include <QCheckBox>
#include <QFileInfo>
#include <QFrame>
#include <QGridLayout>
#include <QGroupBox>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

namespace {

// The captions that change with the language. Every other text is the same in both.
enum class CaptionKind
{
    Text,
    ToolTip
};
struct CaptionRow
{
    const char *control; // object name; empty for the window itself
    CaptionKind kind;
    const char16_t *german;
    const char16_t *english;
};

constexpr CaptionRow kCaptions[] = {
    {"", CaptionKind::Text, u"Einstellungen", u"Settings"},
    {"EditFontLabel", CaptionKind::Text, u"Editor-Schriftart", u"Editor Font Name"},
    {"EditSizeLabel", CaptionKind::Text, u"Schriftgröße", u"Font Size"},
    {"GroupBox1", CaptionKind::Text, u"Zeilennummerierung", u"Line Numbering"},
    {"RadioButton1", CaptionKind::Text, u"An", u"On"},
    {"RadioButton2", CaptionKind::Text, u"Aus", u"Off"},
    {"GroupBox3", CaptionKind::Text, u"Farben", u"Colors"},
    {"Label8", CaptionKind::Text, u"Schlüsselwort", u"Keyword"},
    {"Label10", CaptionKind::Text, u"Kommentare", u"Comments"},
    {"Label4", CaptionKind::Text, u"Benutzer", u"User"},
    {"Label5", CaptionKind::Text, u"Passwort", u"Password"},
    {"CheckAnonym", CaptionKind::Text, u"Anonym anmelden", u"Anonymous"},
    {"Label6", CaptionKind::Text, u"Externer Browser", u"External Browser"},
    {"BitBtn2", CaptionKind::Text, u"Abbrechen", u"Cancel"},
    {"BitBtn4", CaptionKind::ToolTip, u"Durchsuchen", u"Search for browser"},
};

const QString kBrowserHint =
    QStringLiteral("Browser angeben oder leer lassen, um den Standardbrowser des Systems zu "
                   "verwenden");

void setCaption(QWidget *widget, const QString &text)
{
    if (auto *button = qobject_cast<QAbstractButton *>(widget))
        button->setText(text);
    else if (auto *group = qobject_cast<QGroupBox *>(widget))
        group->setTitle(text);
    else if (auto *label = qobject_cast<QLabel *>(widget))
        label->setText(text);
    else
        widget->setWindowTitle(text);
}

QColor screenColour(int windowsColour)
{
    return QColor(windowsColour & 0xFF, (windowsColour >> 8) & 0xFF, (windowsColour >> 16) & 0xFF);
}

} // namespace

TFormSetup::TFormSetup(Prompts &prompts, QWidget *parent) : QDialog(parent), m_prompts(prompts)
{
    setObjectName(QStringLiteral("FormSetup"));
    FontDialogFont = QFont(QStringLiteral("MS Sans Serif"), 8);
    buildControls();
    resize(570, 320);
}

void TFormSetup::buildControls()
{
    const auto named = [](auto *widget, const char *name) {
        widget->setObjectName(QString::fromLatin1(name));
        return widget;
    };
    const auto label = [&](const char *name, const QString &text) {
        return named(new QLabel(text, this), name);
    };
    const auto edit = [&](const char *name, const QString &text = {}) {
        return named(new QLineEdit(text, this), name);
    };
    const auto button = [&](const char *name, const QString &text, const QString &hint = {}) {
        QPushButton *b = named(new QPushButton(text, this), name);
        b->setToolTip(hint);
        b->setAutoDefault(false);
        return b;
    };

    setWindowTitle(QStringLiteral("Einstellungen"));

    // Left column: font, line numbering, browser.
    EditFontLabel = label("EditFontLabel", QStringLiteral("Editor-Schriftart"));
    EditFont = edit("EditFont");
    ButtonFont = button("ButtonFont", QStringLiteral("..."));
    EditSizeLabel = label("EditSizeLabel", QStringLiteral("Schriftgröße"));
    EditSize = edit("EditSize");
    EditFontLabel->setBuddy(EditFont);
    EditSizeLabel->setBuddy(EditSize);

    GroupBox1 = named(new QGroupBox(QStringLiteral("Zeilennummerierung"), this), "GroupBox1");
    RadioButton1 = named(new QRadioButton(QStringLiteral("Ein"), GroupBox1), "RadioButton1");
    RadioButton2 = named(new QRadioButton(QStringLiteral("Aus"), GroupBox1), "RadioButton2");
    RadioButton1->setToolTip(QStringLiteral("Zeilennummerierung einschalten"));
    RadioButton2->setToolTip(QStringLiteral("Zeilennummerierung abschalten"));
    RadioButton1->setChecked(true);
    auto *numbering = new QHBoxLayout(GroupBox1);
    numbering->addWidget(RadioButton1);
    numbering->addWidget(RadioButton2);
    numbering->addStretch();

    Label6 = label("Label6", QStringLiteral("Externer Browser"));
    Label6->setToolTip(kBrowserHint);
    EditBrowser = edit("EditBrowser");
    Label6->setBuddy(EditBrowser);
    BitBtn4 = button("BitBtn4", QStringLiteral("..."), kBrowserHint);

    auto *left = new QGridLayout;
    left->addWidget(EditFontLabel, 0, 0, 1, 2);
    left->addWidget(EditFont, 1, 0);
    left->addWidget(ButtonFont, 1, 1);
    left->addWidget(EditSizeLabel, 2, 0, 1, 2);
    left->addWidget(EditSize, 3, 0);
    left->addWidget(GroupBox1, 4, 0, 1, 2);
    left->addWidget(Label6, 5, 0, 1, 2);
    left->addWidget(EditBrowser, 6, 0);
    left->addWidget(BitBtn4, 6, 1);
    left->setRowStretch(7, 1);

    // Colours: label, read-only decimal value, swatch, button.
    GroupBox3 = named(new QGroupBox(QStringLiteral("Farben"), this), "GroupBox3");
    auto *colours = new QGridLayout(GroupBox3);
    struct RowDesign
    {
        const char *label, *edit, *panel, *button;
        const char16_t *caption, *hint;
    };
    constexpr RowDesign rows[kColourCount] = {
        {"Label8", "EditIdentifier", "Panel1", "BitBtn5", u"Schlüsselwort",
         u"Farbe für Schlüsselwort festlegen"},
        {"Label9", "EditParameter", "Panel2", "BitBtn6", u"Parameter",
         u"Farbe für Parameter festlegen"},
        {"Label10", "EditValue", "Panel3", "BitBtn7", u"Kommentare",
         u"Farbe für Kommentare festlegen"},
        {"Label7", "EditSymbol", "Panel4", "BitBtn8", u"Symbol", u"Farbe für Symbole festlegen"},
    };
    for (int row = 0; row < kColourCount; ++row) {
        const RowDesign &design = rows[row];
        ColourRow &r = colourRows[row];
        r.label = named(new QLabel(QString::fromUtf16(design.caption), GroupBox3), design.label);
        r.edit = named(new QLineEdit(GroupBox3), design.edit);
        r.edit->setReadOnly(true);
        // Room for the largest colour value, 16777215.
        r.edit->setMinimumWidth(
            r.edit->fontMetrics().horizontalAdvance(QStringLiteral("16777215")) + 12);
        r.swatch = named(new QFrame(GroupBox3), design.panel);
        r.swatch->setFrameShape(QFrame::Box);
        r.swatch->setMinimumSize(40, 20);
        r.swatch->setAutoFillBackground(true);
        r.button = named(new QPushButton(QStringLiteral("..."), GroupBox3), design.button);
        r.button->setToolTip(QString::fromUtf16(design.hint));
        r.button->setAutoDefault(false);
        colours->addWidget(r.label, row, 0);
        colours->addWidget(r.edit, row, 1);
        colours->addWidget(r.swatch, row, 2);
        colours->addWidget(r.button, row, 3);
        setSwatch(row, 0); // black until a colour is known
        connect(r.button, &QPushButton::clicked, this, [this, row] { PickColour(row); });
    }
    Label8 = colourRows[0].label, Label9 = colourRows[1].label;
    Label10 = colourRows[2].label, Label7 = colourRows[3].label;
    EditIdentifier = colourRows[0].edit, EditParameter = colourRows[1].edit;
    EditValue = colourRows[2].edit, EditSymbol = colourRows[3].edit;
    Panel1 = colourRows[0].swatch, Panel2 = colourRows[1].swatch;
    Panel3 = colourRows[2].swatch, Panel4 = colourRows[3].swatch;
    BitBtn5 = colourRows[0].button, BitBtn6 = colourRows[1].button;
    BitBtn7 = colourRows[2].button, BitBtn8 = colourRows[3].button;

    // FTP login, with the design texts.
    const SetupFields design;
    GroupBox2 = named(new QGroupBox(QStringLiteral("FTP Login"), this), "GroupBox2");
    auto *ftp = new QGridLayout(GroupBox2);
    Label4 = named(new QLabel(QStringLiteral("Benutzer"), GroupBox2), "Label4");
    EditUser = named(new QLineEdit(design.user, GroupBox2), "EditUser");
    EditUser->setToolTip(QStringLiteral("FTP User angeben"));
    Label5 = named(new QLabel(QStringLiteral("Passwort"), GroupBox2), "Label5");
    MaskEditPass = named(new QLineEdit(design.password, GroupBox2), "MaskEditPass");
    MaskEditPass->setToolTip(QStringLiteral("FTP Passwort"));
    MaskEditPass->setEchoMode(QLineEdit::Password);
    MaskEditPass->setStyleSheet(QStringLiteral("lineedit-password-character: 42")); // "*"
    Label3 = named(new QLabel(QStringLiteral("Server"), GroupBox2), "Label3");
    EditServer = named(new QLineEdit(design.server, GroupBox2), "EditServer");
    EditServer->setToolTip(QStringLiteral("FTP Server angeben"));
    CheckAnonym = named(new QCheckBox(QStringLiteral("Anonym anmelden"), GroupBox2), "CheckAnonym");
    CheckAnonym->setToolTip(QStringLiteral("Anonym anmelden, falls vom Server unterstützt"));
    Label4->setBuddy(EditUser);
    Label5->setBuddy(MaskEditPass);
    Label3->setBuddy(EditServer);
    ftp->addWidget(Label4, 0, 0);
    ftp->addWidget(EditUser, 0, 1);
    ftp->addWidget(Label5, 1, 0);
    ftp->addWidget(MaskEditPass, 1, 1);
    ftp->addWidget(Label3, 2, 0);
    ftp->addWidget(EditServer, 2, 1);
    ftp->addWidget(CheckAnonym, 3, 1);

    auto *right = new QVBoxLayout;
    right->addWidget(GroupBox3);
    right->addWidget(GroupBox2);

    BitBtn1 = named(new QPushButton(QStringLiteral("OK"), this), "BitBtn1");
    BitBtn1->setDefault(true);
    BitBtn2 = button("BitBtn2", QStringLiteral("Abbrechen"));
    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(BitBtn1);
    buttons->addWidget(BitBtn2);

    auto *columns = new QHBoxLayout;
    columns->addLayout(left, 1);
    columns->addLayout(right, 1);
    auto *outer = new QVBoxLayout(this);
    outer->addLayout(columns);
    outer->addLayout(buttons);

    connect(CheckAnonym, &QCheckBox::clicked, this, &TFormSetup::CheckAnonymClick);
    connect(ButtonFont, &QPushButton::clicked, this, &TFormSetup::ButtonFontClick);
    connect(BitBtn4, &QPushButton::clicked, this, &TFormSetup::BitBtn4Click);
    connect(BitBtn1, &QPushButton::clicked, this, &TFormSetup::BitBtn1Click);
    connect(BitBtn2, &QPushButton::clicked, this, &TFormSetup::BitBtn2Click);

    fieldsToControls(design);
}

bool TFormSetup::Execute()
{
    if (!FormShow())
        return false;
    m_prompts.exec(*this);
    return true;
}

bool TFormSetup::FormShow()
{
    Schrift.clear();
    Sgroesse.clear();
    Reserved1.clear();
    if (!LoadSetupFile())
        return false;
    ApplyCaptions();
    for (int row = 0; row < kColourCount; ++row) {
        const QString text = colourRows[row].edit->text();
        if (isBlank(text))
            continue;
        const std::optional<int> colour = StrToInt(text);
        if (!colour) {
            showError(QStringLiteral("'%1' is not a valid integer value").arg(text));
            return false;
        }
        setSwatch(row, *colour);
    }
    return true;
}

bool TFormSetup::LoadSetupFile()
{
    const QString path = settingsFilePath(IPfad);
    QStringList lines;
    if (QFileInfo::exists(path)) {
        StoredText stored = ReadStoredText(path);
        if (!stored.result) {
            showError(fileErrorText(path, stored.result.error));
            return false;
        }
        lines = std::move(stored.lines);
    }
    SetupFields fields = fieldsFromControls();
    LoadSetupLines(lines, FSize, fields);
    fieldsToControls(fields);
    ZeilenNummern = fields.lineNumbers;
    Reserved1 = fields.reserved1;
    Reserved2 = fields.reserved2;
    return true;
}

bool TFormSetup::SaveSetupFile()
{
    ZeilenNummern = RadioButton1->isChecked();
    const SetupFields fields = fieldsFromControls();
    const QString path = settingsFilePath(IPfad);
    const SaveResult written = WriteStoredText(path, SetupFileLines(fields, SLanguage));
    if (!written) {
        showError(fileErrorText(path, written.error));
        return false;
    }
    Sgroesse = EditSize->text();
    return true;
}

void TFormSetup::ApplyCaptions()
{
    const bool german = SLanguage == 0;
    for (const CaptionRow &row : kCaptions) {
        const QString text = QString::fromUtf16(german ? row.german : row.english);
        QWidget *widget = *row.control ? findChild<QWidget *>(QString::fromLatin1(row.control))
                                       : static_cast<QWidget *>(this);
        Q_ASSERT(widget);
        if (row.kind == CaptionKind::ToolTip)
            widget->setToolTip(text);
        else
            setCaption(widget, text);
    }
    addAccessKeys(this);
}

void TFormSetup::CheckAnonymClick()
{
    const bool anonymous = CheckAnonym->isChecked();
    EditUser->setEnabled(!anonymous);
    MaskEditPass->setEnabled(!anonymous);
}

void TFormSetup::ButtonFontClick()
{
    const std::optional<QFont> chosen = m_prompts.font(FontDialogFont);
    if (!chosen)
        return;
    FontDialogFont = *chosen;
    EditFont->setText(chosen->family());
    const int points = chosen->pointSize() > 0 ? chosen->pointSize() : qRound(chosen->pointSizeF());
    EditSize->setText(QString::number(points));
}

void TFormSetup::BitBtn4Click()
{
    const QString current = EditBrowser->text();
    const QString folder =
        isBlank(current) ? QStringLiteral("/usr/bin") : QFileInfo(current).absolutePath();
    if (const std::optional<QString> chosen = m_prompts.openFileName(folder, openDialogFilter()))
        EditBrowser->setText(*chosen);
}

void TFormSetup::PickColour(int row)
{
    QLineEdit *edit = colourRows[row].edit;
    const std::optional<int> current = StrToInt(edit->text());
    if (!current) {
        showError(QStringLiteral("'%1' is not a valid integer value").arg(edit->text()));
        return;
    }
    if (const std::optional<int> chosen = m_prompts.colour(*current)) {
        edit->setText(QString::number(*chosen));
        setSwatch(row, *chosen);
    }
}

void TFormSetup::BitBtn1Click()
{
    if (SaveSetupFile())
        accept();
}

void TFormSetup::BitBtn2Click()
{
    reject();
}

int TFormSetup::swatchColour(int row) const
{
    const QColor c = colourRows[row].swatch->palette().color(QPalette::Window);
    return c.red() | (c.green() << 8) | (c.blue() << 16);
}

SetupFields TFormSetup::fieldsFromControls() const
{
    SetupFields fields;
    fields.fontName = EditFont->text();
    fields.fontSize = EditSize->text();
    fields.lineNumbers = ZeilenNummern;
    fields.user = EditUser->text();
    fields.password = MaskEditPass->text();
    fields.server = EditServer->text();
    fields.anonymous = CheckAnonym->isChecked();
    fields.browser = EditBrowser->text();
    for (int row = 0; row < kColourCount; ++row)
        fields.colours[row] = colourRows[row].edit->text();
    fields.reserved1 = Reserved1;
    fields.reserved2 = Reserved2;
    return fields;
}

void TFormSetup::fieldsToControls(const SetupFields &fields)
{
    EditFont->setText(fields.fontName);
    EditSize->setText(fields.fontSize);
    (fields.lineNumbers ? RadioButton1 : RadioButton2)->setChecked(true);
    EditUser->setText(fields.user);
    MaskEditPass->setText(fields.password);
    EditServer->setText(fields.server);
    CheckAnonym->setChecked(fields.anonymous);
    CheckAnonymClick();
    EditBrowser->setText(fields.browser);
    for (int row = 0; row < kColourCount; ++row)
        colourRows[row].edit->setText(fields.colours[row]);
}

void TFormSetup::setSwatch(int row, int colour)
{
    QPalette palette = colourRows[row].swatch->palette();
    palette.setColor(QPalette::Window, screenColour(colour));
    colourRows[row].swatch->setPalette(palette);
}

void TFormSetup::showError(const QString &text)
{
    m_prompts.message(Prompts::Icon::Error, QCoreApplication::applicationName(), text);
}
