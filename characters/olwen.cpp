#include <algorithm>

#include <QPainter>

#include "character_design.h"
#include "drawing.h"
#include "pose.h"
#include "sound.h"

// Olwen: a plum-coloured owl with amber eyes, a teal bow and wings she talks with.
namespace hv::characters {
namespace {

const QColor OUTLINE(0x2a, 0x1f, 0x3d);
const QColor BODY(0x6e, 0x4f, 0xa3);
const QColor BODY_SHADOW(0x52, 0x38, 0x7f);
const QColor BODY_LIGHT(0x8c, 0x6e, 0xc2);
const QColor BELLY(0xd3, 0xc0, 0xf0);
const QColor SCALLOP(0xa8, 0x8b, 0xd8);
const QColor FACE(0xf1, 0xe8, 0xfb);
const QColor FACE_RIM(0xb9, 0xa2, 0xe0);
const QColor IRIS(0xf6, 0xb1, 0x3c);
const QColor IRIS_DARK(0xd9, 0x86, 0x1e);
const QColor PUPIL(0x1b, 0x15, 0x30);
const QColor WHITE(0xff, 0xff, 0xff);
const QColor BEAK(0xf2, 0x99, 0x3a);
const QColor BEAK_SHADOW(0xc9, 0x6e, 0x1e);
const QColor MOUTH(0x5c, 0x1a, 0x2a);
const QColor WING(0x57, 0x40, 0x8c);
const QColor BOW(0x2f, 0xa3, 0x9a);
const QColor BOW_SHADOW(0x1f, 0x7a, 0x73);
const QColor SLEEP(0x4a, 0x6f, 0xa5);

const QPointF MOUTH_AT(64, 78);

QPainterPath circle(QPointF centre, qreal rx, qreal ry)
{
    QPainterPath p;
    p.addEllipse(centre, rx, ry);
    return p;
}

QPainterPath tuft(int side)
{
    QPainterPath p;
    p.moveTo(64 + side * 28, 50);
    p.quadTo(64 + side * 30, 36, 64 + side * 27, 24);
    p.quadTo(64 + side * 18, 34, 64 + side * 10, 42);
    p.closeSubpath();
    return p;
}

void drawEye(QPainter& painter, QPointF centre, const Pose& pose)
{
    const float open = std::clamp(pose.eyeOpen, 0.0f, 1.0f);
    if (pose.glee > 0.5f) {
        QPainterPath happy;
        happy.moveTo(centre + QPointF(-8, 3));
        happy.quadTo(centre + QPointF(0, -8), centre + QPointF(8, 3));
        painter.strokePath(happy, QPen(OUTLINE, 2.4, Qt::SolidLine, Qt::RoundCap));
        return;
    }
    if (open < 0.12f) {
        // Shut: a contented curve across the face disc.
        QPainterPath shut;
        shut.moveTo(centre + QPointF(-8, -1));
        shut.quadTo(centre + QPointF(0, 6), centre + QPointF(8, -1));
        painter.strokePath(shut, QPen(OUTLINE, 2.2, Qt::SolidLine, Qt::RoundCap));
        return;
    }
    const QPainterPath iris = circle(centre, 9.5, 9.5);
    fillOutlined(painter, iris, IRIS, OUTLINE, 1.5);
    painter.save();
    painter.setClipPath(iris);
    shadeInside(painter, iris, QPointF(-2.5, -2.5), IRIS_DARK);
    // Wide eyes show as small pupils.
    const qreal pupilRadius = pose.eyeOpen > 1.05f ? 3.8 : 5.2;
    const QPointF pupil = centre + QPointF(pose.lookX * 3, pose.lookY * 3);
    painter.setPen(Qt::NoPen);
    painter.setBrush(PUPIL);
    painter.drawEllipse(pupil, pupilRadius, pupilRadius);
    painter.setBrush(WHITE);
    painter.drawEllipse(pupil + QPointF(-2, -2.2), 1.8, 1.8);
    painter.drawEllipse(pupil + QPointF(2, 2), 0.9, 0.9);
    if (open < 1) {
        // The lid comes down from the top with a curved edge.
        const qreal edge = centre.y() - 9.5 + 19 * (1 - open);
        const qreal sag = 4 * (1 - open);
        QPainterPath lid;
        lid.moveTo(centre.x() - 11, centre.y() - 11);
        lid.lineTo(centre.x() + 11, centre.y() - 11);
        lid.lineTo(centre.x() + 11, edge);
        lid.quadTo(centre.x(), edge + sag, centre.x() - 11, edge);
        lid.closeSubpath();
        painter.setBrush(FACE_RIM);
        painter.drawPath(lid);
        QPainterPath rim;
        rim.moveTo(centre.x() + 11, edge);
        rim.quadTo(centre.x(), edge + sag, centre.x() - 11, edge);
        painter.strokePath(rim, QPen(OUTLINE, 1.8, Qt::SolidLine, Qt::RoundCap));
    }
    painter.restore();
    painter.strokePath(iris, QPen(OUTLINE, 1.5));
}

void drawBrow(QPainter& painter, QPointF eye, int side, float brow)
{
    QPainterPath arc;
    arc.moveTo(eye.x() - side * 11, eye.y() - 11 - brow);
    arc.quadTo(eye.x(), eye.y() - 19 - 4 * brow, eye.x() + side * 10, eye.y() - 9 + brow);
    painter.strokePath(arc, QPen(BODY_SHADOW, 3.2, Qt::SolidLine, Qt::RoundCap));
}

void drawBeak(QPainter& painter, const Pose& pose)
{
    const QSizeF open = mouthOpening(pose.mouth);
    const QPen outline(OUTLINE, 1.5, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
    qreal tipY = 84;
    if (!open.isEmpty()) {
        // The lower half drops away from the upper one; the opening is dark inside.
        const qreal w = open.width() * 0.6;
        const qreal h = open.height();
        const qreal top = 74;
        QPainterPath lower;
        lower.moveTo(64 - w - 2, top);
        lower.cubicTo(64 - w - 2, top + h + 5, 64 + w + 2, top + h + 5, 64 + w + 2, top);
        lower.closeSubpath();
        fillOutlined(painter, lower, BEAK, OUTLINE, 1.5);
        QPainterPath inside;
        inside.moveTo(64 - w, top);
        inside.cubicTo(64 - w, top + h + 1, 64 + w, top + h + 1, 64 + w, top);
        inside.closeSubpath();
        painter.setPen(Qt::NoPen);
        painter.setBrush(MOUTH);
        painter.drawPath(inside);
        tipY = 79;
    }
    QPainterPath upper;
    upper.moveTo(57, 71);
    upper.quadTo(64, 67.5, 71, 71);
    upper.quadTo(70, tipY - 6, 64, tipY);
    upper.quadTo(58, tipY - 6, 57, 71);
    painter.setPen(Qt::NoPen);
    painter.setBrush(BEAK);
    painter.drawPath(upper);
    shadeInside(painter, upper, QPointF(-2.5, -1.5), BEAK_SHADOW);
    painter.strokePath(upper, outline);
    if (open.isEmpty() && pose.smile > 0.5f) {
        // A pleased owl's cheeks lift either side of the beak.
        painter.strokePath(
            circle(QPointF(64, tipY + 10), 7, 4).subtracted(circle(QPointF(64, tipY + 6), 9, 5)),
            QPen(FACE_RIM, 1.2));
    }
}

void drawWing(QPainter& painter, QPointF shoulder, float lift, float wave, int side)
{
    painter.save();
    painter.translate(shoulder);
    // Raised past this the wing would fold over her face.
    painter.rotate(-side * std::min(150.0f, raisedWave(lift, wave)));
    painter.scale(side, 1);
    QPainterPath wing;
    wing.moveTo(-2, 0);
    wing.cubicTo(9, 3, 11, 20, 3, 32);
    wing.cubicTo(-3, 27, -8, 14, -6, 4);
    wing.closeSubpath();
    painter.setPen(Qt::NoPen);
    painter.setBrush(WING);
    painter.drawPath(wing);
    shadeInside(painter, wing, QPointF(-2, -3), BODY_SHADOW);
    painter.strokePath(wing, QPen(OUTLINE, 2, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    painter.setPen(QPen(BODY_LIGHT, 1.3, Qt::SolidLine, Qt::RoundCap));
    painter.drawLine(QPointF(1, 15), QPointF(3, 25));
    painter.drawLine(QPointF(-2, 13), QPointF(-1, 22));
    painter.restore();
}

void drawFoot(QPainter& painter, qreal x)
{
    for (int toe = -1; toe <= 1; ++toe)
        fillOutlined(painter, circle(QPointF(x + 4 * toe, 118.5), 2.6, 2.8), BEAK, OUTLINE, 1.2);
}

void paintOlwen(QPainter& painter, const Pose& pose)
{
    painter.setTransform(bodyTransform(pose));

    for (int side : {-1, 1}) {
        const QPainterPath ear = tuft(side);
        fillOutlined(painter, ear, BODY, OUTLINE, 2);
        shadeInside(painter, ear, QPointF(-3, 3), BODY_SHADOW);
    }

    const QPainterPath body = circle(QPointF(64, 77), 34, 41);
    painter.setPen(Qt::NoPen);
    painter.setBrush(BODY);
    painter.drawPath(body);
    shadeInside(painter, body, QPointF(-6, -5), BODY_SHADOW);
    shadeInside(painter, body, QPointF(4, 4), BODY_LIGHT);

    const QPainterPath belly = circle(QPointF(64, 98), 23, 20).intersected(body);
    painter.setBrush(BELLY);
    painter.drawPath(belly);
    painter.setPen(QPen(SCALLOP, 1.3, Qt::SolidLine, Qt::RoundCap));
    painter.setBrush(Qt::NoBrush);
    for (const QPointF& at :
         {QPointF(55, 104), QPointF(61, 104), QPointF(67, 104), QPointF(73, 104), QPointF(58, 110),
          QPointF(64, 110), QPointF(70, 110)}) {
        QPainterPath scallop;
        scallop.moveTo(at + QPointF(-3, 0));
        scallop.quadTo(at + QPointF(0, 3.5), at + QPointF(3, 0));
        painter.drawPath(scallop);
    }
    painter.strokePath(body, QPen(OUTLINE, 2.5));

    QPainterPath bow;
    bow.moveTo(64, 95);
    bow.lineTo(55, 90);
    bow.quadTo(53, 95, 55, 100);
    bow.closeSubpath();
    bow.moveTo(64, 95);
    bow.lineTo(73, 90);
    bow.quadTo(75, 95, 73, 100);
    bow.closeSubpath();
    fillOutlined(painter, bow, BOW, OUTLINE, 1.4);
    shadeInside(painter, bow, QPointF(-1.5, -2), BOW_SHADOW);
    painter.strokePath(bow, QPen(OUTLINE, 1.4, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    fillOutlined(painter, circle(QPointF(64, 95), 2.8, 2.8), BOW, OUTLINE, 1.4);

    const QPointF leftEye(51, 63);
    const QPointF rightEye(77, 63);
    const QPainterPath face = circle(leftEye, 15, 15).united(circle(rightEye, 15, 15));
    fillOutlined(painter, face, FACE, FACE_RIM, 1.5);
    drawBrow(painter, leftEye, -1, pose.brow);
    drawBrow(painter, rightEye, 1, pose.brow);
    drawEye(painter, leftEye, pose);
    drawEye(painter, rightEye, pose);
    drawBeak(painter, pose);

    drawWing(painter, QPointF(37, 67), pose.armLeft + 20 * pose.ring, pose.wave, -1);
    drawWing(painter, QPointF(91, 67), pose.armRight + 20 * pose.ring, pose.wave, 1);
    drawFoot(painter, 55);
    drawFoot(painter, 73);

    painter.resetTransform();
    drawSleepMarks(painter, pose.snooze, QPointF(101, 54), SLEEP);
}

QPointF olwenMouth(const Pose& pose)
{
    return bodyTransform(pose).map(MOUTH_AT);
}

} // namespace

CharacterDesign olwenDesign()
{
    CharacterDesign d;
    d.fileName = QStringLiteral("olwen");
    d.name = QStringLiteral("Olwen");
    d.description = QStringLiteral(
        "A wise little owl in a teal bow who keeps watch over the hours, day and night.");
    d.guid = QUuid(0x2d94e7b3, 0x81c5, 0x4f60, 0xa4, 0x7e, 0x0b, 0x3f, 0x58, 0xc2, 0x9e, 0x02);
    for (const QColor& c :
         {OUTLINE, BODY, BODY_SHADOW, BODY_LIGHT, BELLY, SCALLOP, FACE, FACE_RIM, IRIS, IRIS_DARK,
          PUPIL, WHITE, BEAK, BEAK_SHADOW, MOUTH, WING, BOW, BOW_SHADOW, SLEEP})
        d.keyColours.append(c.rgb());
    d.paint = paintOlwen;
    d.mouthCentre = olwenMouth;
    d.iconArea = QRect(24, 22, 80, 80);
    d.mouthBox = QSize(26, 22);

    d.voice.engineId =
        QUuid(0xca141fd0, 0xac7f, 0x11d1, 0x97, 0xa3, 0x00, 0x60, 0x08, 0x27, 0x30, 0xff);
    d.voice.modeId =
        QUuid(0xca141fd0, 0xac7f, 0x11d1, 0x97, 0xa3, 0x00, 0x60, 0x08, 0x27, 0x30, 0x01);
    d.voice.speed = 165;
    d.voice.pitch = 210;
    d.voice.dialect = QStringLiteral("US English");
    d.voice.gender = 1;
    d.voice.age = 30;
    d.voice.style = QStringLiteral("Normal");

    d.balloon.lines = 3;
    d.balloon.charsPerLine = 28;
    d.balloon.textColor = 0x003D1F2A;
    d.balloon.fillColor = 0x00FBF0F5;
    d.balloon.borderColor = 0x00A34F6E;
    d.balloon.fontName = QStringLiteral("DejaVu Serif");
    d.balloon.fontHeight = -13;
    d.balloon.fontWeight = 400;

    // A descending door-chime melody, and a bright two-note twinkle on arrival.
    d.announceSound = chime({659.3, 523.3, 587.3, 392.0}, 0.22);
    d.showSound = chime({880.0, 1318.5}, 0.07);
    return d;
}

} // namespace hv::characters
