// Painting of an axis band; the label arithmetic it paints lives in Coordinate.cpp.
#include "wave/Coordinate.h"

#include <QFontMetrics>
#include <QPainter>
#include <QString>

void CCoordinate::Draw(QPainter& painter) const {
    const QFontMetrics metrics = painter.fontMetrics();
    for (const CoordinateCell& cell : Layout()) {
        const QRect rect(cell.rect.left, cell.rect.top, cell.rect.Width(), cell.rect.Height());
        if (rect.width() <= 0 || rect.height() <= 0)
            continue;
        const Qt::Alignment h = cell.hAlign == 1   ? Qt::AlignHCenter
                                : cell.hAlign == 2 ? Qt::AlignRight
                                                   : Qt::AlignLeft;
        const Qt::Alignment v = cell.vAlign == 1   ? Qt::AlignVCenter
                                : cell.vAlign == 2 ? Qt::AlignBottom
                                                   : Qt::AlignTop;
        // One line, ending in an ellipsis when the cell is too narrow.
        const QString text =
            metrics.elidedText(QString::fromStdString(cell.text), Qt::ElideRight, rect.width());
        painter.drawText(rect, static_cast<int>(h | v) | Qt::TextSingleLine, text);
    }
}
