#include "app/toolbarimages.h"

#include <QApplication>
#include <QHash>
#include <QPainter>
#include <QPainterPath>
#include <QStyle>

namespace {

// A small drawn picture: a glyph on a rounded tile, for commands the style has no
// standard icon for.
QIcon glyphIcon(const QString &glyph, const QColor &colour)
{
    QPixmap pixmap(32, 32);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(colour.darker(130), 1.5));
    painter.setBrush(colour.lighter(180));
    painter.drawRoundedRect(QRectF(2, 2, 28, 28), 6, 6);
    QFont font(QStringLiteral("Arial"));
    font.setPixelSize(glyph.size() > 2 ? 11 : 17);
    font.setBold(true);
    painter.setFont(font);
    painter.setPen(colour.darker(160));
    painter.drawText(QRect(0, 0, 32, 32), Qt::AlignCenter, glyph);
    return QIcon(pixmap);
}

QIcon wrapIcon(bool on)
{
    QPixmap pixmap(32, 32);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    const QColor colour = on ? QColor(0x1f, 0x6f, 0x3f) : QColor(0x60, 0x60, 0x60);
    painter.setPen(QPen(colour, 2.5, Qt::SolidLine, Qt::RoundCap));
    painter.drawLine(5, 8, 27, 8);
    painter.drawLine(5, 16, 20, 16);
    painter.drawLine(5, 24, 14, 24);
    if (on) {
        QPainterPath arrow;
        arrow.moveTo(27, 8);
        arrow.cubicTo(31, 12, 31, 20, 24, 20);
        painter.setBrush(Qt::NoBrush);
        painter.drawPath(arrow);
        painter.drawLine(24, 20, 27, 17);
        painter.drawLine(24, 20, 27, 23);
    } else {
        painter.setPen(QPen(QColor(0xb0, 0x20, 0x20), 2.5, Qt::SolidLine, Qt::RoundCap));
        painter.drawLine(24, 14, 30, 26);
    }
    return QIcon(pixmap);
}

QIcon makeImage(int image)
{
    QStyle *style = QApplication::style();
    switch (image) {
    case kImageNew:
        return style->standardIcon(QStyle::SP_FileIcon);
    case kImageOpen:
        return style->standardIcon(QStyle::SP_DialogOpenButton);
    case kImageSave:
        return style->standardIcon(QStyle::SP_DialogSaveButton);
    case kImagePrint:
        return glyphIcon(QStringLiteral("P"), QColor(0x40, 0x40, 0x90));
    case kImageCut:
        return glyphIcon(QStringLiteral("✂"), QColor(0x90, 0x40, 0x40));
    case kImageCopy:
        return glyphIcon(QStringLiteral("C"), QColor(0x40, 0x60, 0x90));
    case kImagePaste:
        return glyphIcon(QStringLiteral("V"), QColor(0x80, 0x60, 0x30));
    case kImageUndo:
        return glyphIcon(QStringLiteral("↶"), QColor(0x30, 0x60, 0x90));
    case kImageDelete:
        return style->standardIcon(QStyle::SP_DialogDiscardButton);
    case kImageFind:
        return glyphIcon(QStringLiteral("F"), QColor(0x30, 0x70, 0x70));
    case kImageWrapOn:
        return wrapIcon(true);
    case kImageWrapOff:
        return wrapIcon(false);
    case kImageSelectAll:
        return glyphIcon(QStringLiteral("▦"), QColor(0x50, 0x50, 0x50));
    case kImageUpper:
        return glyphIcon(QStringLiteral("AB"), QColor(0x60, 0x30, 0x80));
    case kImageLower:
        return glyphIcon(QStringLiteral("ab"), QColor(0x60, 0x30, 0x80));
    case kImageBrowser:
        return glyphIcon(QStringLiteral("W"), QColor(0x20, 0x60, 0xa0));
    case kImageExecute:
        return style->standardIcon(QStyle::SP_MediaPlay);
    case kImageFtp:
        return style->standardIcon(QStyle::SP_DriveNetIcon);
    case kImageProposals:
        return glyphIcon(QStringLiteral("{}"), QColor(0x20, 0x80, 0x40));
    case kImageHelp:
        return style->standardIcon(QStyle::SP_DialogHelpButton);
    case kImageAbout:
        return style->standardIcon(QStyle::SP_MessageBoxInformation);
    case kImageQuit:
        return style->standardIcon(QStyle::SP_DialogCloseButton);
    default:
        return QIcon();
    }
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

QIcon glyphImage(const QString &glyph, const QColor &colour)
{
    return glyphIcon(glyph, colour);
}
