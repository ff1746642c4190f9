#pragma once

#include <functional>

#include <QByteArray>
#include <QPointF>
#include <QRect>
#include <QRgb>
#include <QSize>
#include <QString>
#include <QTransform>
#include <QUuid>
#include <QVector>

#include "engine/acs/acs_model.h"

class QPainter;

namespace hv::characters {

struct Pose;

// Every bundled character stands in a frame of this size, with its feet on FEET_Y.
inline constexpr int FRAME_WIDTH = 128;
inline constexpr int FRAME_HEIGHT = 128;
inline constexpr float FEET_X = 64;
inline constexpr float FEET_Y = 121;

// Everything that makes one character itself: its drawing, colours, voice and words.
struct CharacterDesign
{
    // File name without ".acs", lower case as the program lists it.
    QString fileName;
    QString name;
    QString description;
    QUuid guid;
    // Every colour the drawing uses on purpose; the palette is built around them.
    QVector<QRgb> keyColours;
    // Draws the character in frame coordinates onto a transparent picture.
    std::function<void(QPainter& painter, const Pose& pose)> paint;
    // Centre of the mouth in frame coordinates, and the box around it that holds every mouth
    // shape and lies wholly on the face.
    std::function<QPointF(const Pose& pose)> mouthCentre;
    QSize mouthBox;
    // The square of the rest pose that the 16 x 16 tray icon shows, in frame coordinates.
    QRect iconArea;
    engine::acs::VoiceInfo voice;
    engine::acs::BalloonInfo balloon;
    // Complete RIFF/WAVE files: the flourish of "Announce" and the pop of "Show".
    QByteArray announceSound;
    QByteArray showSound;
};

[[nodiscard]] CharacterDesign tockDesign();
[[nodiscard]] CharacterDesign olwenDesign();
[[nodiscard]] CharacterDesign pimDesign();

// The pose's lean, squash and scale about the point between the feet.
[[nodiscard]] QTransform bodyTransform(const Pose& pose);

} // namespace hv::characters
