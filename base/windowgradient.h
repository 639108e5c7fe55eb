#pragma once
// The program's window background: white at the top to light grey at the bottom. The
// toolbar, the multi-file window, the script dialogs and the about box all paint it.

#include <QLinearGradient>
#include <QPainter>
#include <QWidget>

inline void paintWindowGradient(QWidget &widget)
{
    QPainter painter(&widget);
    QLinearGradient gradient(0, 0, 0, widget.height());
    gradient.setColorAt(0, Qt::white);
    gradient.setColorAt(1, QColor(207, 207, 207));
    painter.fillRect(widget.rect(), gradient);
}
