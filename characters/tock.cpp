#include <algorithm>
#include <cmath>

#include <QPainter>

#include "character_design.h"
#include "drawing.h"
#include "pose.h"
#include "sound.h"

// Tock: a round twin-bell alarm clock with a face on its dial, little legs and white gloves.
namespace hv::characters {
namespace {

const QColor OUTLINE(0x2b, 0x22, 0x33);
const QColor CASE(0xe8, 0x5d, 0x4a);
const QColor CASE_SHADOW(0xb9, 0x40, 0x2f);
const QColor CASE_LIGHT(0xf5, 0x8b, 0x74);
const QColor BEZEL(0xc8, 0xcd, 0xd6);
const QColor BEZEL_SHADOW(0x8e, 0x95, 0xa3);
const QColor DIAL(0xff, 0xf4, 0xdc);
const QColor DIAL_SHADOW(0xea, 0xd9, 0xb5);
const QColor BELL(0xf4, 0xc5, 0x42);
const QColor BELL_SHADOW(0xc9, 0x96, 0x2a);
const QColor BELL_LIGHT(0xff, 0xe4, 0x8a);
const QColor LIMB(0x3a, 0x3a, 0x48);
const QColor GLOVE(0xff, 0xff, 0xff);
const QColor PUPIL(0x1f, 0x2a, 0x44);
const QColor TICK(0x7a, 0x6a, 0x58);
const QColor CHEEK(0xf7, 0xb0, 0xa0);
const QColor MOUTH(0x6b, 0x1f, 0x2e);
const QColor TONGUE(0xf2, 0x8c, 0x8c);
const QColor SLEEP(0x4a, 0x6f, 0xa5);

const QPointF CENTRE(64, 72);
constexpr qreal RADIUS = 36;
const QPointF MOUTH_AT(64, 85);

QPointF onRim(qreal degrees, qreal radius)
{
    const double r = degrees * M_PI / 180.0;
    return CENTRE + QPointF(radius * std::sin(r), -radius * std::cos(r));
}

QPainterPath circle(QPointF centre, qreal rx, qreal ry)
{
    QPainterPath p;
    p.addEllipse(centre, rx, ry);
    return p;
}

void drawBell(QPainter& painter, qreal degrees, float shake)
{
    strokeLine(painter, onRim(degrees, RADIUS - 3), onRim(degrees, RADIUS + 8), LIMB, 3);
    painter.save();
    painter.translate(onRim(degrees, RADIUS + 8));
    painter.rotate(degrees + 14 * shake);
    QPainterPath dome;
    dome.moveTo(-12, 0);
    dome.cubicTo(-12, -17, 12, -17, 12, 0);
    dome.closeSubpath();
    fillOutlined(painter, circle(QPointF(0, -13), 2.5, 2.5), BELL, OUTLINE, 1.5);
    painter.setPen(Qt::NoPen);
    painter.setBrush(BELL);
    painter.drawPath(dome);
    shadeInside(painter, dome, QPointF(-4, -3), BELL_SHADOW);
    shadeInside(painter, dome, QPointF(3, 3), BELL_LIGHT);
    painter.strokePath(dome, QPen(OUTLINE, 2, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    QPainterPath rim;
    rim.addRoundedRect(QRectF(-14, -1.5, 28, 4.5), 2, 2);
    fillOutlined(painter, rim, BELL_SHADOW, OUTLINE, 1.5);
    painter.restore();
}

void drawEye(QPainter& painter, QPointF centre, const Pose& pose)
{
    const float open = std::clamp(pose.eyeOpen, 0.0f, 1.25f);
    if (pose.glee > 0.5f) {
        QPainterPath happy;
        happy.moveTo(centre + QPointF(-5, 1.5));
        happy.quadTo(centre + QPointF(0, -6), centre + QPointF(5, 1.5));
        painter.strokePath(happy, QPen(OUTLINE, 2.2, Qt::SolidLine, Qt::RoundCap));
        return;
    }
    if (open < 0.12f) {
        QPainterPath shut;
        shut.moveTo(centre + QPointF(-5, 0));
        shut.quadTo(centre + QPointF(0, 3.5), centre + QPointF(5, 0));
        painter.strokePath(shut, QPen(OUTLINE, 2, Qt::SolidLine, Qt::RoundCap));
        return;
    }
    const QPainterPath white = circle(centre, 5.5, 7 * open);
    fillOutlined(painter, white, GLOVE, OUTLINE, 1.5);
    painter.save();
    painter.setClipPath(white);
    const QPointF pupil = centre + QPointF(pose.lookX * 2.5, pose.lookY * 3.5 + 1);
    painter.setPen(Qt::NoPen);
    painter.setBrush(PUPIL);
    painter.drawEllipse(pupil, 3.3, 3.6);
    painter.setBrush(GLOVE);
    painter.drawEllipse(pupil + QPointF(-1.1, -1.4), 1.1, 1.1);
    painter.restore();
    painter.strokePath(white, QPen(OUTLINE, 1.5));
}

void drawBrow(QPainter& painter, QPointF eye, int side, float brow)
{
    // The outer end rises more than the inner one, so a lowered brow looks stern.
    const qreal y = eye.y() - 11 - 3 * brow;
    QPainterPath arc;
    arc.moveTo(eye.x() - 4 * side, y + 1 - brow);
    arc.quadTo(eye.x() + 0.5 * side, y - 1.5, eye.x() + 4.5 * side, y + 1 + brow);
    painter.strokePath(arc, QPen(OUTLINE, 2, Qt::SolidLine, Qt::RoundCap));
}

void drawArm(QPainter& painter, QPointF shoulder, float lift, float wave, int side)
{
    lift = raisedWave(lift, wave);
    const QPointF hand = limbEnd(shoulder, 21, lift, side);
    const QPointF elbow = limbEnd(shoulder, 11, lift * 0.85f, side);
    QPainterPath arm;
    arm.moveTo(shoulder);
    arm.quadTo(elbow + QPointF(side * 1.5, 0), hand);
    painter.strokePath(arm, QPen(LIMB, 3.5, Qt::SolidLine, Qt::RoundCap));
    fillOutlined(painter, circle(hand, 5.2, 5.2), GLOVE, OUTLINE, 1.5);
    painter.setPen(QPen(QColor(DIAL_SHADOW), 1.2, Qt::SolidLine, Qt::RoundCap));
    painter.drawLine(hand + QPointF(-side * 2, -1), hand + QPointF(side * 1.5, 2));
}

void drawMouth(QPainter& painter, const Pose& pose)
{
    const QSizeF open = mouthOpening(pose.mouth);
    if (open.isEmpty()) {
        QPainterPath line;
        line.moveTo(MOUTH_AT + QPointF(-7, -1));
        line.quadTo(MOUTH_AT + QPointF(0, 2 + 4 * pose.smile), MOUTH_AT + QPointF(7, -1));
        painter.strokePath(line, QPen(OUTLINE, 2, Qt::SolidLine, Qt::RoundCap));
        return;
    }
    // A flat upper lip and a round lower one; the tongue shows once the mouth is open enough.
    const qreal w = open.width() / 2;
    const qreal h = open.height();
    const QPointF top = MOUTH_AT + QPointF(0, -h * 0.45);
    QPainterPath mouth;
    mouth.moveTo(top + QPointF(-w, 0));
    mouth.quadTo(top + QPointF(0, -1.5), top + QPointF(w, 0));
    mouth.cubicTo(top + QPointF(w, h * 0.8), top + QPointF(w * 0.5, h), top + QPointF(0, h));
    mouth.cubicTo(top + QPointF(-w * 0.5, h), top + QPointF(-w, h * 0.8), top + QPointF(-w, 0));
    fillOutlined(painter, mouth, MOUTH, OUTLINE, 1.6);
    if (h >= 6) {
        painter.save();
        painter.setClipPath(mouth);
        painter.setPen(Qt::NoPen);
        painter.setBrush(TONGUE);
        painter.drawEllipse(top + QPointF(0, h * 0.95), w * 0.65, h * 0.4);
        painter.restore();
        painter.strokePath(mouth, QPen(OUTLINE, 1.6, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    }
}

void paintTock(QPainter& painter, const Pose& pose)
{
    painter.setTransform(bodyTransform(pose));

    // The hammer between the bells swings with them.
    strokeLine(painter, onRim(0, RADIUS - 2), QPointF(64 + 5 * pose.ring, 28), LIMB, 2.5);
    fillOutlined(painter, circle(QPointF(64 + 5 * pose.ring, 27), 3.5, 3.5), BELL, OUTLINE, 1.5);
    drawBell(painter, -40, pose.ring);
    drawBell(painter, 40, -pose.ring);

    strokeLine(painter, QPointF(53, 102), QPointF(47, 115), LIMB, 4.5);
    strokeLine(painter, QPointF(75, 102), QPointF(81, 115), LIMB, 4.5);
    fillOutlined(painter, circle(QPointF(45, 117), 8, 4), LIMB, OUTLINE, 1.5);
    fillOutlined(painter, circle(QPointF(83, 117), 8, 4), LIMB, OUTLINE, 1.5);

    const QPainterPath body = circle(CENTRE, RADIUS, RADIUS);
    painter.setPen(Qt::NoPen);
    painter.setBrush(CASE);
    painter.drawPath(body);
    shadeInside(painter, body, QPointF(-6, -6), CASE_SHADOW);
    shadeInside(painter, body, QPointF(4, 4), CASE_LIGHT);
    painter.strokePath(body, QPen(OUTLINE, 2.5));

    const QPainterPath bezel = circle(CENTRE, 30.5, 30.5);
    fillOutlined(painter, bezel, BEZEL, OUTLINE, 1.5);
    shadeInside(painter, bezel, QPointF(-3, -3), BEZEL_SHADOW);
    const QPainterPath dial = circle(CENTRE, 27, 27);
    fillOutlined(painter, dial, DIAL, OUTLINE, 1.5);
    shadeInside(painter, dial, QPointF(3, 3), DIAL_SHADOW);
    painter.strokePath(dial, QPen(OUTLINE, 1.5));

    for (int hour = 0; hour < 12; ++hour) {
        if (hour % 3 == 0)
            strokeLine(painter, onRim(hour * 30, 21.5), onRim(hour * 30, 24.5), TICK, 2);
        else
            fillOutlined(painter, circle(onRim(hour * 30, 23), 1.1, 1.1), TICK, TICK, 0.5);
    }

    painter.setPen(Qt::NoPen);
    painter.setBrush(CHEEK);
    painter.drawEllipse(QPointF(47, 80), 4, 2.5);
    painter.drawEllipse(QPointF(81, 80), 4, 2.5);

    const QPointF leftEye(55, 66);
    const QPointF rightEye(73, 66);
    drawEye(painter, leftEye, pose);
    drawEye(painter, rightEye, pose);
    drawBrow(painter, leftEye, -1, pose.brow);
    drawBrow(painter, rightEye, 1, pose.brow);

    drawMouth(painter, pose);

    drawArm(painter, QPointF(30, 80), pose.armLeft, pose.wave, -1);
    drawArm(painter, QPointF(98, 80), pose.armRight, pose.wave, 1);

    painter.resetTransform();
    drawSleepMarks(painter, pose.snooze, QPointF(100, 50), SLEEP);
}

QPointF tockMouth(const Pose& pose)
{
    return bodyTransform(pose).map(MOUTH_AT);
}

} // namespace

CharacterDesign tockDesign()
{
    CharacterDesign d;
    d.fileName = QStringLiteral("tock");
    d.name = QStringLiteral("Tock");
    d.description = QStringLiteral(
        "A cheerful twin-bell alarm clock who never misses a minute and rings to announce it.");
    d.guid = QUuid(0x6f1c2a40, 0x3b7e, 0x4d2a, 0x9c, 0x11, 0x54, 0x0e, 0x7a, 0x21, 0xd3, 0x01);
    for (const QColor& c :
         {OUTLINE, CASE, CASE_SHADOW, CASE_LIGHT, BEZEL, BEZEL_SHADOW, DIAL, DIAL_SHADOW, BELL,
          BELL_SHADOW, BELL_LIGHT, LIMB, GLOVE, PUPIL, TICK, CHEEK, MOUTH, TONGUE, SLEEP})
        d.keyColours.append(c.rgb());
    d.paint = paintTock;
    d.mouthCentre = tockMouth;
    d.iconArea = QRect(24, 24, 80, 80);
    d.mouthBox = QSize(22, 16);

    d.voice.engineId =
        QUuid(0xca141fd0, 0xac7f, 0x11d1, 0x97, 0xa3, 0x00, 0x60, 0x08, 0x27, 0x30, 0xff);
    d.voice.modeId =
        QUuid(0xca141fd0, 0xac7f, 0x11d1, 0x97, 0xa3, 0x00, 0x60, 0x08, 0x27, 0x30, 0x02);
    d.voice.speed = 150;
    d.voice.pitch = 95;
    d.voice.dialect = QStringLiteral("US English");
    d.voice.gender = 2;
    d.voice.age = 40;
    d.voice.style = QStringLiteral("Casual");

    d.balloon.lines = 2;
    d.balloon.charsPerLine = 32;
    d.balloon.textColor = 0x00332B2B;
    d.balloon.fillColor = 0x00E6F8FF;
    d.balloon.borderColor = 0x002F40B9;
    d.balloon.fontName = QStringLiteral("DejaVu Sans");
    d.balloon.fontHeight = -13;
    d.balloon.fontWeight = 400;

    // A bell struck quickly by the hammer, then a low tick on appearing.
    d.announceSound = ringingBell(1318.5, 9, 0.06);
    d.showSound = chime({784.0, 1174.7}, 0.09);
    return d;
}

} // namespace hv::characters
