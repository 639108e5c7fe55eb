#include "desktop/aboutbox.h"
#include "base/windowgradient.h"

#include "base/shell.h"
#include "desktop/productinfo.h"
#include "lang/messages.h"

#include <QFrame>
#include <QHBoxLayout>
#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

// White at the top to light grey at the bottom, behind the labels.
class GradientPanel : public QWidget
{
public:
    using QWidget::QWidget;

protected:
    void paintEvent(QPaintEvent *) override { paintWindowGradient(*this); }
};

} // namespace

QPixmap TAboutBox::programPicture(bool german)
{
    // A sheet of code with a quill across it; the two pictures differ in their colours.
    const QColor ink = german ? QColor(0, 0, 128) : QColor(0, 96, 160);
    const QColor accent = german ? QColor(200, 40, 40) : QColor(40, 140, 60);
    QPixmap pixmap(96, 112);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    QPainterPath sheet;
    sheet.moveTo(14, 8);
    sheet.lineTo(62, 8);
    sheet.lineTo(80, 26);
    sheet.lineTo(80, 104);
    sheet.lineTo(14, 104);
    sheet.closeSubpath();
    p.setPen(QPen(QColor(120, 120, 120), 1.5));
    p.setBrush(QColor(250, 250, 250));
    p.drawPath(sheet);
    p.setBrush(QColor(220, 220, 220));
    p.drawPolygon(QPolygonF({QPointF(62, 8), QPointF(62, 26), QPointF(80, 26)}));
    const int widths[] = {44, 30, 38, 22, 40, 28};
    for (int i = 0; i < 6; ++i) {
        p.setPen(QPen(i % 3 == 1 ? accent : ink, 3, Qt::SolidLine, Qt::RoundCap));
        const int indent = (i == 2 || i == 3) ? 8 : 0;
        p.drawLine(22 + indent, 36 + i * 11, 22 + indent + widths[i] - indent, 36 + i * 11);
    }
    QPainterPath quill;
    quill.moveTo(34, 98);
    quill.cubicTo(48, 70, 70, 36, 92, 4);
    quill.cubicTo(86, 30, 66, 62, 38, 92);
    quill.closeSubpath();
    p.setPen(QPen(ink.darker(130), 1));
    p.setBrush(ink);
    p.drawPath(quill);
    p.setPen(QPen(accent, 2));
    p.drawLine(QPointF(34, 98), QPointF(28, 106));
    return pixmap;
}

TAboutBox::TAboutBox(Shell &shell, QWidget *parent) : QDialog(parent), m_shell(shell)
{
    setObjectName(QStringLiteral("AboutBox"));
    setFixedSize(430, 250);

    // The white picture panel on the left, raised.
    auto *panel = new QFrame(this);
    panel->setObjectName(QStringLiteral("Panel1"));
    panel->setFrameStyle(QFrame::Panel | QFrame::Raised);
    panel->setLineWidth(2);
    panel->setAutoFillBackground(true);
    QPalette white = panel->palette();
    white.setColor(QPalette::Window, Qt::white);
    panel->setPalette(white);
    panel->setFixedWidth(124);
    auto *pictures = new QVBoxLayout(panel);
    ProgramIcon = new QLabel(panel);
    ProgramIcon->setObjectName(QStringLiteral("ProgramIcon"));
    ProgramIcon->setPixmap(programPicture(true));
    Image1 = new QLabel(panel);
    Image1->setObjectName(QStringLiteral("Image1"));
    Image1->setPixmap(programPicture(false));
    for (QLabel *picture : {ProgramIcon, Image1}) {
        picture->setAlignment(Qt::AlignCenter);
        pictures->addWidget(picture);
    }

    JvGradient1 = new GradientPanel(this);
    JvGradient1->setObjectName(QStringLiteral("JvGradient1"));
    auto *labels = new QVBoxLayout(JvGradient1);
    labels->setContentsMargins(16, 14, 12, 10);

    Label1 = new QLabel(QStringLiteral("Quillora Pro"), JvGradient1);
    Label1->setObjectName(QStringLiteral("Label1"));
    QFont title(QStringLiteral("Arial"));
    title.setPixelSize(21);
    title.setBold(true);
    Label1->setFont(title);
    Label1->setStyleSheet(QStringLiteral("color: navy"));
    labels->addWidget(Label1);

    Label6 = new QLabel(JvGradient1);
    Label6->setObjectName(QStringLiteral("Label6"));
    Label6->setWordWrap(true);
    labels->addWidget(Label6);
    labels->addSpacing(8);

    auto *versionRow = new QHBoxLayout;
    LabelRelease = new QLabel(JvGradient1);
    LabelRelease->setObjectName(QStringLiteral("LabelRelease"));
    LabelVersion = new QLabel(JvGradient1);
    LabelVersion->setObjectName(QStringLiteral("LabelVersion"));
    LabelVersion->setTextInteractionFlags(Qt::TextSelectableByMouse);
    versionRow->addWidget(LabelRelease);
    versionRow->addWidget(LabelVersion, 1);
    labels->addLayout(versionRow);
    labels->addStretch(1);

    auto *linkRow = new QHBoxLayout;
    Label7 = new QLabel(QStringLiteral("Online:"), JvGradient1);
    Label7->setObjectName(QStringLiteral("Label7"));
    Label5 = new QLabel(JvGradient1);
    Label5->setObjectName(QStringLiteral("Label5"));
    QFont link = Label5->font();
    link.setUnderline(true);
    Label5->setFont(link);
    Label5->setStyleSheet(QStringLiteral("color: blue"));
    linkRow->addWidget(Label7);
    linkRow->addWidget(Label5, 1);
    labels->addLayout(linkRow);

    auto *bevel = new QFrame(this);
    bevel->setObjectName(QStringLiteral("Bevel1"));
    bevel->setFrameShape(QFrame::HLine);
    bevel->setFrameShadow(QFrame::Sunken);
    BitBtn1 = new QPushButton(QStringLiteral("OK"), this);
    BitBtn1->setObjectName(QStringLiteral("BitBtn1"));
    BitBtn1->setDefault(true);
    connect(BitBtn1, &QPushButton::clicked, this, &QDialog::accept);

    auto *top = new QHBoxLayout;
    top->setSpacing(0);
    top->addWidget(panel);
    top->addWidget(JvGradient1, 1);
    auto *buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(BitBtn1);
    auto *layout = new QVBoxLayout(this);
    layout->addLayout(top, 1);
    layout->addWidget(bevel);
    layout->addLayout(buttons);

    // Hand cursor over everything that leads to the web site; Qt puts the default
    // cursor back when the mouse leaves them.
    for (QWidget *target :
         {static_cast<QWidget *>(JvGradient1), static_cast<QWidget *>(ProgramIcon),
          static_cast<QWidget *>(Image1), static_cast<QWidget *>(Label5)}) {
        target->setCursor(Qt::PointingHandCursor);
        target->installEventFilter(this);
    }
}

void TAboutBox::showEvent(QShowEvent *event)
{
    FormShow();
    QDialog::showEvent(event);
}

void TAboutBox::FormShow()
{
    const bool german = isGerman(ALanguage);
    ProgramIcon->setVisible(german);
    Image1->setVisible(!german);
    setWindowTitle(german ? QStringLiteral("Über...") : QStringLiteral("About..."));
    LabelRelease->setText(german ? QStringLiteral("Version") : QStringLiteral("Release"));
    Label6->setText(german ? QStringLiteral("Der Editor für Web- und Skriptautoren")
                           : QStringLiteral("The editor for web and script authors"));
    Label5->setText(productHomePage(ALanguage));
}

void TAboutBox::OpenUrl(const QString &address)
{
    m_shell.openDocument(address);
}

bool TAboutBox::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::MouseButtonRelease &&
        static_cast<QMouseEvent *>(event)->button() == Qt::LeftButton) {
        if (watched == Label5)
            OpenUrl(productHomePage(ALanguage));
        else
            OpenUrl(productNewsPage(ALanguage));
        return true;
    }
    return QDialog::eventFilter(watched, event);
}
