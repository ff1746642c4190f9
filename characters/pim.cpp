#include <algorithm>

#include <QPainter>

#include "character_design.h"
#include "drawing.h"
#include "pose.h"
#include "sound.h"

// Pim: a slate-blue cat with white mittens and muzzle, green eyes and a bell on his collar.
namespace hv::characters {
namespace {

const QColor OUTLINE(0x26, 0x26, 0x3a);
const QColor FUR(0x6f, 0x7f, 0xa6);
const QColor FUR_SHADOW(0x55, 0x62, 0x8a);
const QColor FUR_LIGHT(0x8d, 0x9c, 0xc2);
const QColor WHITE(0xf7, 0xf7, 0xfb);
const QColor WHITE_SHADOW(0xd5, 0xd9, 0xe8);
const QColor EAR(0xf2, 0xa7, 0xb5);
const QColor NOSE(0xe8, 0x79, 0x8f);
const QColor IRIS(0x7c, 0xc8, 0x6a);
const QColor IRIS_DARK(0x4f, 0x9a, 0x48);
const QColor PUPIL(0x1a, 0x1a, 0x2a);
const QColor COLLAR(0xd9, 0x43, 0x4f);
const QColor COLLAR_SHADOW(0xa8, 0x2f, 0x3b);
const QColor BELL(0xf4, 0xc5, 0x42);
const QColor BELL_SHADOW(0xc9, 0x96, 0x2a);
const QColor MOUTH(0x5a, 0x1d, 0x2c);
const QColor TONGUE(0xf2, 0x8c, 0xa0);
const QColor SLEEP(0x4a, 0x6f, 0xa5);

const QPointF MOUTH_AT(64, 76);

QPainterPath ellipse(QPointF centre, qreal rx, qreal ry)
{
    QPainterPath p;
    p.addEllipse(centre, rx, ry);
    return p;
}

QPainterPath triangle(QPointF a, QPointF b, QPointF c)
{
    QPainterPath p;
    p.moveTo(a);
    p.lineTo(b);
    p.lineTo(c);
    p.closeSubpath();
    return p;
}

void drawTail(QPainter& painter, float sway)
{
    QPainterPath tail;
    tail.moveTo(80, 112);
    tail.cubicTo(100, 112, 106, 96, 102 + 6 * sway, 74);
    painter.strokePath(tail, QPen(OUTLINE, 9, Qt::SolidLine, Qt::RoundCap));
    painter.strokePath(tail, QPen(FUR, 6, Qt::SolidLine, Qt::RoundCap));
}

void drawEye(QPainter& painter, QPointF centre, const Pose& pose)
{
    if (pose.glee > 0.5f) {
        QPainterPath happy;
        happy.moveTo(centre + QPointF(-5.5, 2));
        happy.quadTo(centre + QPointF(0, -6), centre + QPointF(5.5, 2));
        painter.strokePath(happy, QPen(OUTLINE, 2.2, Qt::SolidLine, Qt::RoundCap));
        return;
    }
    const float open = std::clamp(pose.eyeOpen, 0.0f, 1.2f);
    if (open < 0.12f) {
        QPainterPath shut;
        shut.moveTo(centre + QPointF(-5.5, 0));
        shut.quadTo(centre + QPointF(0, 4), centre + QPointF(5.5, 0));
        painter.strokePath(shut, QPen(OUTLINE, 2.2, Qt::SolidLine, Qt::RoundCap));
        return;
    }
    const QPainterPath eye = ellipse(centre, 6, 7 * std::min(1.0f, open));
    fillOutlined(painter, eye, IRIS, OUTLINE, 1.5);
    painter.save();
    painter.setClipPath(eye);
    shadeInside(painter, eye, QPointF(-2, -2), IRIS_DARK);
    // A cat's pupil is a slit that widens when it is startled.
    const QPointF pupil = centre + QPointF(pose.lookX * 2.5, pose.lookY * 2.5);
    painter.setPen(Qt::NoPen);
    painter.setBrush(PUPIL);
    painter.drawEllipse(pupil, open > 1.05f ? 3.6 : 2.1, 5);
    painter.setBrush(WHITE);
    painter.drawEllipse(pupil + QPointF(-1.6, -2.4), 1.2, 1.2);
    painter.restore();
    painter.strokePath(eye, QPen(OUTLINE, 1.5));
}

void drawMouth(QPainter& painter, const Pose& pose)
{
    const QPen line(OUTLINE, 1.6, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
    const QSizeF open = mouthOpening(pose.mouth);
    if (open.isEmpty()) {
        // The little "w" under the nose, curling up more with a smile.
        const qreal lift = 1 + 2 * pose.smile;
        QPainterPath w;
        w.moveTo(57, 71 + 0.5 * lift);
        w.quadTo(60.5, 74 + lift, 64, 71);
        w.quadTo(67.5, 74 + lift, 71, 71 + 0.5 * lift);
        painter.strokePath(w, line);
        return;
    }
    const qreal w = open.width() / 2;
    const qreal h = open.height();
    QPainterPath mouth;
    mouth.moveTo(64 - w, 71);
    mouth.quadTo(64, 70, 64 + w, 71);
    mouth.cubicTo(64 + w, 71 + h, 64 - w, 71 + h, 64 - w, 71);
    fillOutlined(painter, mouth, MOUTH, OUTLINE, 1.5);
    if (h >= 6) {
        painter.save();
        painter.setClipPath(mouth);
        painter.setPen(Qt::NoPen);
        painter.setBrush(TONGUE);
        painter.drawEllipse(QPointF(64, 71 + h * 0.75), w * 0.6, h * 0.3);
        painter.restore();
        painter.strokePath(mouth, line);
    }
}

void drawPaw(QPainter& painter, QPointF shoulder, float lift, float wave, int side)
{
    const QPointF paw = limbEnd(shoulder, 17, raisedWave(lift, wave), side);
    QPainterPath arm;
    arm.moveTo(shoulder);
    arm.lineTo(paw);
    painter.strokePath(arm, QPen(OUTLINE, 9, Qt::SolidLine, Qt::RoundCap));
    painter.strokePath(arm, QPen(FUR, 6, Qt::SolidLine, Qt::RoundCap));
    fillOutlined(painter, ellipse(paw, 5, 4.5), WHITE, OUTLINE, 1.5);
}

void paintPim(QPainter& painter, const Pose& pose)
{
    painter.setTransform(bodyTransform(pose));
    drawTail(painter, pose.ring);

    for (int side : {-1, 1})
        fillOutlined(painter, ellipse(QPointF(64 + side * 10, 117), 7.5, 4.5), WHITE, OUTLINE, 1.5);
    const QPainterPath body = ellipse(QPointF(64, 100), 22, 19);
    painter.setPen(Qt::NoPen);
    painter.setBrush(FUR);
    painter.drawPath(body);
    shadeInside(painter, body, QPointF(-5, -4), FUR_SHADOW);
    painter.setBrush(WHITE);
    painter.drawPath(ellipse(QPointF(64, 104), 11, 13).intersected(body));
    painter.strokePath(body, QPen(OUTLINE, 2.2));

    for (int side : {-1, 1}) {
        const QPainterPath ear = triangle(QPointF(64 + side * 29, 52), QPointF(64 + side * 25, 21),
                                          QPointF(64 + side * 7, 38));
        fillOutlined(painter, ear, FUR, OUTLINE, 2);
        painter.setPen(Qt::NoPen);
        painter.setBrush(EAR);
        painter.drawPath(triangle(QPointF(64 + side * 25, 46), QPointF(64 + side * 23.5, 28),
                                  QPointF(64 + side * 13, 39)));
    }
    const QPainterPath head = ellipse(QPointF(64, 60), 30, 25);
    painter.setPen(Qt::NoPen);
    painter.setBrush(FUR);
    painter.drawPath(head);
    shadeInside(painter, head, QPointF(-5, -5), FUR_SHADOW);
    shadeInside(painter, head, QPointF(4, 4), FUR_LIGHT);
    painter.strokePath(head, QPen(OUTLINE, 2.2));

    const QPainterPath muzzle =
        ellipse(QPointF(58, 73), 9, 7).united(ellipse(QPointF(70, 73), 9, 7));
    painter.setPen(Qt::NoPen);
    painter.setBrush(WHITE);
    painter.drawPath(muzzle);
    shadeInside(painter, muzzle, QPointF(-2, -2), WHITE_SHADOW);

    const QPointF leftEye(52, 57);
    const QPointF rightEye(76, 57);
    drawEye(painter, leftEye, pose);
    drawEye(painter, rightEye, pose);
    for (int side : {-1, 1}) {
        const QPointF eye = side < 0 ? leftEye : rightEye;
        const qreal y = eye.y() - 11 - 3 * pose.brow;
        QPainterPath brow;
        brow.moveTo(eye.x() - 4, y + 1);
        brow.quadTo(eye.x(), y - 2, eye.x() + 4, y + 1);
        painter.strokePath(brow, QPen(OUTLINE, 1.8, Qt::SolidLine, Qt::RoundCap));
        for (int whisker = -1; whisker <= 1; ++whisker) {
            strokeLine(painter, QPointF(64 + side * 15, 73 + 2.5 * whisker),
                       QPointF(64 + side * 33, 70 + 5 * whisker), OUTLINE, 1.3);
        }
    }

    fillOutlined(painter, triangle(QPointF(60.5, 66), QPointF(67.5, 66), QPointF(64, 69.5)), NOSE,
                 OUTLINE, 1.2);
    strokeLine(painter, QPointF(64, 69.5), QPointF(64, 71), OUTLINE, 1.5);
    drawMouth(painter, pose);

    QPainterPath collar;
    collar.moveTo(45, 83);
    collar.quadTo(64, 90, 83, 83);
    painter.strokePath(collar, QPen(OUTLINE, 5.5, Qt::SolidLine, Qt::RoundCap));
    painter.strokePath(collar, QPen(COLLAR, 3, Qt::SolidLine, Qt::RoundCap));
    painter.save();
    painter.translate(64, 87);
    painter.rotate(20 * pose.ring);
    const QPainterPath bell = ellipse(QPointF(0, 4), 4.2, 4.2);
    fillOutlined(painter, bell, BELL, OUTLINE, 1.3);
    shadeInside(painter, bell, QPointF(-1.5, -1.5), BELL_SHADOW);
    strokeLine(painter, QPointF(-1.5, 5.5), QPointF(1.5, 5.5), OUTLINE, 1.1);
    painter.restore();

    drawPaw(painter, QPointF(47, 92), pose.armLeft, pose.wave, -1);
    drawPaw(painter, QPointF(81, 92), pose.armRight, pose.wave, 1);

    painter.resetTransform();
    drawSleepMarks(painter, pose.snooze, QPointF(98, 44), SLEEP);
}

QPointF pimMouth(const Pose& pose)
{
    return bodyTransform(pose).map(MOUTH_AT);
}

} // namespace

CharacterDesign pimDesign()
{
    CharacterDesign d;
    d.fileName = QStringLiteral("pim");
    d.name = QStringLiteral("Pim");
    d.description = QStringLiteral(
        "A curious slate-blue cat in white mittens whose collar bell chimes the hour.");
    d.guid = QUuid(0x9b3e5d21, 0x6a4c, 0x4e8b, 0xb1, 0x52, 0x7d, 0x0c, 0x3a, 0x95, 0xe4, 0x03);
    for (const QColor& c :
         {OUTLINE, FUR, FUR_SHADOW, FUR_LIGHT, WHITE, WHITE_SHADOW, EAR, NOSE, IRIS, IRIS_DARK,
          PUPIL, COLLAR, COLLAR_SHADOW, BELL, BELL_SHADOW, MOUTH, TONGUE, SLEEP})
        d.keyColours.append(c.rgb());
    d.paint = paintPim;
    d.mouthCentre = pimMouth;
    d.iconArea = QRect(26, 18, 76, 76);
    d.mouthBox = QSize(22, 16);

    d.voice.engineId =
        QUuid(0xca141fd0, 0xac7f, 0x11d1, 0x97, 0xa3, 0x00, 0x60, 0x08, 0x27, 0x30, 0xff);
    d.voice.modeId =
        QUuid(0xca141fd0, 0xac7f, 0x11d1, 0x97, 0xa3, 0x00, 0x60, 0x08, 0x27, 0x30, 0x06);
    d.voice.speed = 175;
    d.voice.pitch = 140;
    d.voice.dialect = QStringLiteral("US English");
    d.voice.gender = 2;
    d.voice.age = 20;
    d.voice.style = QStringLiteral("Casual");

    d.balloon.lines = 2;
    d.balloon.charsPerLine = 30;
    d.balloon.textColor = 0x003A2626;
    d.balloon.fillColor = 0x00F4FFF0;
    d.balloon.borderColor = 0x00A67F6F;
    d.balloon.fontName = QStringLiteral("DejaVu Sans");
    d.balloon.fontHeight = -12;
    d.balloon.fontWeight = 700;

    // A small collar bell jingling, and a quick rising meow-like pair on arrival.
    d.announceSound = ringingBell(1760.0, 6, 0.08);
    d.showSound = chime({1046.5, 1568.0}, 0.06);
    return d;
}

} // namespace hv::characters
