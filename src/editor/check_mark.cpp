#include "editor/check_mark.h"

#include <QPainter>
#include <QPainterPath>

namespace hv::editor {

QPixmap checkMarkPicture(QSize size)
{
    QPixmap pixmap(size);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    // The tick fills a square as wide as the box, in the middle of the box's height.
    const qreal s = size.width();
    const qreal top = (size.height() - s) / 2;
    QPainterPath tick;
    tick.moveTo(s * 0.12, top + s * 0.55);
    tick.lineTo(s * 0.40, top + s * 0.82);
    tick.lineTo(s * 0.90, top + s * 0.18);
    p.setPen(QPen(QColor(0x00, 0x50, 0x00), s * 0.26, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.drawPath(tick);
    p.setPen(QPen(QColor(0x10, 0xb0, 0x10), s * 0.15, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.drawPath(tick);
    return pixmap;
}

} // namespace hv::editor
