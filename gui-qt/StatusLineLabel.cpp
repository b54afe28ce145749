#include "gui-qt/StatusLineLabel.h"

#include <QPainter>

void StatusLineLabel::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    drawFrame(&painter);
    const int inset = margin() + fontMetrics().horizontalAdvance(QLatin1Char('x')) / 2;
    const QRect room = contentsRect().adjusted(inset, 0, -inset, 0);
    painter.drawText(room, static_cast<int>(alignment()) | Qt::TextSingleLine,
                     fontMetrics().elidedText(text(), Qt::ElideRight, room.width()));
}
