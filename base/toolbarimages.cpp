#include "base/toolbarimages.h"

#include "base/themeimages.h"

#include <QHash>
#include <QPainter>
#include <QPainterPath>
#include <functional>

namespace {

// Tango's colours for the pictures drawn over a theme picture.
const QColor kInk(0x2e, 0x34, 0x36);
const QColor kBlue(0x34, 0x65, 0xa4);

// `base` in each of its sizes with `overlay` painted over it; the overlay draws into a
// 32 x 32 square that is scaled to the size.
QIcon composed(const QIcon &base, const std::function<void(QPainter &)> &overlay)
{
    QIcon icon;
    for (int size : {16, 22, 32}) {
        QPixmap pixmap(size, size);
        pixmap.fill(Qt::transparent);
        QPainter painter(&pixmap);
        painter.setRenderHint(QPainter::Antialiasing);
        if (!base.isNull())
            base.paint(&painter, QRect(0, 0, size, size));
        painter.scale(size / 32.0, size / 32.0);
        overlay(painter);
        painter.end();
        icon.addPixmap(pixmap);
    }
    return icon;
}

// Case conversion: the letter the text has, and Tango's arrow to the case it gets.
QIcon caseImage(bool toUpper)
{
    const QIcon arrow = themeImage(QStringLiteral("actions"),
                                   toUpper ? QStringLiteral("go-up") : QStringLiteral("go-down"));
    return composed(QIcon(), [&](QPainter &painter) {
        QFont font(QStringLiteral("Liberation Serif"));
        font.setPixelSize(toUpper ? 30 : 32);
        font.setBold(true);
        painter.setFont(font);
        painter.setPen(kInk);
        painter.drawText(QRectF(-1, 0, 22, 31), Qt::AlignHCenter | Qt::AlignBottom,
                         toUpper ? QStringLiteral("a") : QStringLiteral("A"));
        arrow.paint(&painter, QRect(17, 6, 15, 22));
    });
}

// Word wrap: Tango's lines of text with a blue arrow that turns back into the next line
// (on) or runs on past the edge (off).
QIcon wrapImage(bool on)
{
    const QIcon lines =
        themeImage(QStringLiteral("actions"), QStringLiteral("format-justify-left"));
    return composed(lines, [on](QPainter &painter) {
        QPen pen(kBlue, 3, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
        painter.setPen(pen);
        painter.setBrush(Qt::NoBrush);
        if (on) {
            QPainterPath turn;
            turn.moveTo(16, 9);
            turn.lineTo(25, 9);
            turn.cubicTo(31, 9, 31, 21, 25, 21);
            turn.lineTo(16, 21);
            painter.drawPath(turn);
            painter.drawLine(QPointF(16, 21), QPointF(20, 17));
            painter.drawLine(QPointF(16, 21), QPointF(20, 25));
        } else {
            painter.drawLine(QPointF(12, 16), QPointF(29, 16));
            painter.drawLine(QPointF(29, 16), QPointF(24, 11));
            painter.drawLine(QPointF(29, 16), QPointF(24, 21));
        }
    });
}

struct ThemeName
{
    int image;
    const char *context;
    const char *name;
};

constexpr ThemeName kThemeNames[] = {
    {kImageNew, "actions", "document-new"},
    {kImageOpen, "actions", "document-open"},
    {kImageSave, "actions", "document-save"},
    {kImagePrint, "actions", "document-print"},
    {kImageCut, "actions", "edit-cut"},
    {kImageCopy, "actions", "edit-copy"},
    {kImagePaste, "actions", "edit-paste"},
    {kImageUndo, "actions", "edit-undo"},
    {kImageDelete, "actions", "edit-delete"},
    {kImageFind, "actions", "edit-find"},
    {kImageSelectAll, "actions", "edit-select-all"},
    {kImageBrowser, "apps", "internet-web-browser"},
    {kImageExecute, "actions", "media-playback-start"},
    {kImageFtp, "places", "folder-remote"},
    {kImageProposals, "mimetypes", "text-x-script"},
    {kImageHelp, "apps", "help-browser"},
    {kImageAbout, "status", "dialog-information"},
    {kImageQuit, "actions", "system-log-out"},
};

QIcon makeImage(int image)
{
    switch (image) {
    case kImageWrapOn:
        return wrapImage(true);
    case kImageWrapOff:
        return wrapImage(false);
    case kImageUpper:
        return caseImage(true);
    case kImageLower:
        return caseImage(false);
    default:
        break;
    }
    for (const ThemeName &entry : kThemeNames) {
        if (entry.image == image)
            return themeImage(QLatin1String(entry.context), QLatin1String(entry.name));
    }
    return QIcon();
}

} // namespace

QIcon toolbarImage(int image)
{
    static QHash<int, QIcon> cache;
    auto found = cache.find(image);
    if (found == cache.end())
        found = cache.insert(image, makeImage(image));
    return *found;
}
