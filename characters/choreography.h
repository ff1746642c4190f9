#pragma once

#include <QString>
#include <QVector>

#include "engine/acs/acs_model.h"
#include "pose.h"

// What every bundled character does, as poses over time. Each character draws the poses its own
// way, so the one script gives both the same repertoire with their own looks.
namespace hv::characters {

enum class Sound
{
    None,
    Announce,
    Show,
};

struct FrameScript
{
    Pose pose;
    // Hundredths of a second.
    quint16 duration = 10;
    // Nothing drawn: the last frame of "Hide".
    bool hidden = false;
    Sound sound = Sound::None;
    // A frame the character may be left on while it speaks; it carries the mouth overlays.
    bool speakable = false;
    qint16 exitFrame = -1;
    QVector<engine::acs::Branch> branches;
};

struct AnimationScript
{
    QString name;
    engine::acs::Transition transition = engine::acs::Transition::None;
    QString returnAnimation;
    QVector<FrameScript> frames;
};

// The pose every animation starts from and comes back to.
[[nodiscard]] Pose restPose();
[[nodiscard]] QVector<AnimationScript> choreography();
// The runtime's states and the animations it picks from for each, names in upper case.
[[nodiscard]] QVector<engine::acs::State> stateTable();

} // namespace hv::characters
