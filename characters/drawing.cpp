#include "drawing.h"

#include <algorithm>
#include <cmath>

#include <QPainter>
#include <QPen>

#include "character_design.h"
#include "pose.h"

namespace hv::characters {

QTransform bodyTransform(const Pose& pose)
{
    QTransform t;
    t.translate(FEET_X + pose.dx, FEET_Y + pose.dy);
    t.rotate(pose.tilt);
    t.scale(pose.scale * (1 + pose.squash), pose.scale * (1 - pose.squash));
    t.translate(-FEET_X, -FEET_Y);
    return t;
}

void fillOutlined(QPainter& painter, const QPainterPath& shape, const QColor& fill,
                  const QColor& outline, qreal width)
{
    painter.setPen(QPen(outline, width, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    painter.setBrush(fill);
    painter.drawPath(shape);
}

void shadeInside(QPainter& painter, const QPainterPath& shape, QPointF offset, const QColor& colour)
{
    painter.setPen(Qt::NoPen);
    painter.setBrush(colour);
    painter.drawPath(shape.subtracted(shape.translated(offset)));
}

void strokeLine(QPainter& painter, QPointF from, QPointF to, const QColor& colour, qreal width)
{
    painter.setPen(QPen(colour, width, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    painter.drawLine(from, to);
}

void drawSleepMarks(QPainter& painter, float amount, QPointF origin, const QColor& colour)
{
    // Three marks rise up and to the right, each bigger than the last; `amount` reveals them
    // one after another.
    painter.setPen(QPen(colour, 2, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    painter.setBrush(Qt::NoBrush);
    for (int i = 0; i < 3; ++i) {
        if (amount * 3 < float(i) + 0.5f)
            break;
        const qreal size = 5 + 2 * i;
        const QPointF at = origin + QPointF(8 * i, -11 * i);
        const QPointF corners[] = {at, at + QPointF(size, 0), at + QPointF(0, size),
                                   at + QPointF(size, size)};
        painter.drawPolyline(corners, 4);
    }
}

QSizeF mouthOpening(int shape)
{
    // Closed, the four wide shapes, medium and narrow; wide 4 is the most open.
    static const QSizeF sizes[] = {{0, 0}, {13, 4}, {13, 8}, {15, 6}, {13, 11}, {10, 8}, {6, 6}};
    return shape >= 1 && shape <= 6 ? sizes[shape] : QSizeF();
}

float raisedWave(float lift, float wave)
{
    return lift + wave * std::clamp(lift / 90, 0.0f, 1.0f);
}

QPointF limbEnd(QPointF shoulder, float length, float lift, int side)
{
    const double radians = double(lift) * M_PI / 180.0;
    return shoulder + QPointF(side * length * std::sin(radians), length * std::cos(radians));
}

} // namespace hv::characters
