#include "pictures/pictures.h"

#include <QPainter>
#include <QPainterPath>

namespace hv::pictures {

namespace {

// A clock face with a speech balloon: the program's mark, at any size.
void paintMark(QPainter& p, const QRectF& box)
{
    p.setRenderHint(QPainter::Antialiasing);
    const qreal s = box.width();
    const QRectF face(box.left() + s * 0.06, box.top() + s * 0.16, s * 0.70, s * 0.70);
    p.setPen(QPen(QColor(0x1d, 0x3f, 0x8a), s * 0.06));
    p.setBrush(QColor(0xfd, 0xf6, 0xe3));
    p.drawEllipse(face);
    const QPointF c = face.center();
    p.setPen(QPen(QColor(0x1d, 0x3f, 0x8a), s * 0.07, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(c, c + QPointF(0, -face.height() * 0.30));
    p.drawLine(c, c + QPointF(face.width() * 0.22, face.height() * 0.08));

    QPainterPath balloon;
    const QRectF b(box.left() + s * 0.50, box.top() + s * 0.02, s * 0.48, s * 0.34);
    balloon.addRoundedRect(b, s * 0.08, s * 0.08);
    QPainterPath tail;
    tail.moveTo(b.left() + b.width() * 0.25, b.bottom() - 1);
    tail.lineTo(b.left() + b.width() * 0.05, b.bottom() + s * 0.14);
    tail.lineTo(b.left() + b.width() * 0.50, b.bottom() - 1);
    balloon = balloon.united(tail);
    p.setPen(QPen(QColor(0x8a, 0x5a, 0x00), s * 0.035));
    p.setBrush(QColor(0xff, 0xff, 0xe1));
    p.drawPath(balloon);
    p.setPen(QPen(QColor(0x8a, 0x5a, 0x00), s * 0.04, Qt::SolidLine, Qt::RoundCap));
    for (int i = 0; i < 2; ++i) {
        const qreal y = b.top() + b.height() * (0.38 + 0.28 * i);
        p.drawLine(QPointF(b.left() + b.width() * 0.2, y),
                   QPointF(b.right() - b.width() * (0.2 + 0.2 * i), y));
    }
}

QIcon markIcon()
{
    QIcon icon;
    for (int size : {16, 22, 24, 32, 48, 64})
        icon.addPixmap(markPicture(size));
    return icon;
}

} // namespace

QPixmap markPicture(int size)
{
    QPixmap pixmap(size, size);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    paintMark(p, QRectF(0, 0, size, size));
    return pixmap;
}

QIcon windowIconPicture()
{
    return markIcon();
}

QIcon trayIconPicture()
{
    return markIcon();
}

QPixmap screenPicture(QSize size)
{
    QPixmap pixmap(size);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    const QRectF bezel(1, 1, size.width() - 2, size.height() * 0.82);
    p.setPen(QPen(QColor(0x40, 0x40, 0x40), 1.5));
    p.setBrush(QColor(0x70, 0x70, 0x78));
    p.drawRoundedRect(bezel, 3, 3);
    QLinearGradient sky(bezel.topLeft(), bezel.bottomLeft());
    sky.setColorAt(0, QColor(0x3a, 0x7b, 0xd5));
    sky.setColorAt(1, QColor(0x9c, 0xc8, 0xf0));
    p.setPen(Qt::NoPen);
    p.setBrush(sky);
    p.drawRect(bezel.adjusted(3, 3, -3, -3));
    p.setBrush(QColor(0x50, 0x50, 0x58));
    const qreal neckWidth = size.width() * 0.2;
    p.drawRect(
        QRectF((size.width() - neckWidth) / 2, bezel.bottom(), neckWidth, size.height() * 0.1));
    p.drawRoundedRect(
        QRectF(size.width() * 0.25, size.height() * 0.92, size.width() * 0.5, size.height() * 0.07),
        2, 2);
    return pixmap;
}

QPixmap agentsPicture()
{
    QPixmap pixmap(151, 152);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    paintMark(p, QRectF(2, 2, 147, 147));
    return pixmap;
}

} // namespace hv::pictures
