#pragma once

#include <QColor>
#include <QPainterPath>
#include <QPointF>
#include <QSizeF>

class QPainter;

namespace hv::characters {

// Shared brushwork of the characters: filled shapes with a dark outline, and cel shading with
// the light coming from the upper left.
void fillOutlined(QPainter& painter, const QPainterPath& shape, const QColor& fill,
                  const QColor& outline, qreal width);
// Paints `colour` over the part of `shape` that a copy moved by `offset` does not cover: with a
// down-right offset that is a shadow crescent, with an up-left one a highlight.
void shadeInside(QPainter& painter, const QPainterPath& shape, QPointF offset,
                 const QColor& colour);
void strokeLine(QPainter& painter, QPointF from, QPointF to, const QColor& colour, qreal width);
// A "Z" of the given height, for dozing.
void drawSleepMarks(QPainter& painter, float amount, QPointF origin, const QColor& colour);
// A point at `lift` degrees from hanging straight down, swinging outwards on `side` (-1 left of
// the screen, +1 right).
// Width and height in pixels of the open mouth for each mouth shape; empty for the closed one.
[[nodiscard]] QSizeF mouthOpening(int shape);
// The lift of a limb with the waving swing added; a hanging limb does not swing.
[[nodiscard]] float raisedWave(float lift, float wave);
[[nodiscard]] QPointF limbEnd(QPointF shoulder, float length, float lift, int side);

} // namespace hv::characters
