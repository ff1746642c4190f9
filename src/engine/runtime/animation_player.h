#pragma once

#include <memory>
#include <random>

#include <QObject>

namespace engine::acs {
struct Animation;
struct CharacterFile;
} // namespace engine::acs

namespace engine::runtime {

class FrameTimer;
class TimerSource;

// Where an animation goes after `frame`: the next frame index, or -1 when it ends. `roll` is
// a draw from 1..100 that picks among the frame's branches; an exiting animation follows the
// frame's exit instead and never branches, so looping animations always come to an end.
[[nodiscard]] int nextFrame(const acs::Animation& animation, int frame, bool exiting, int roll);

// Plays one animation of a character at a time, frame by frame, on timers from a TimerSource.
// A frame stays for its duration in hundredths of a second; frames of zero duration are passed
// through at once (their sounds still start).
class AnimationPlayer final : public QObject
{
    Q_OBJECT

public:
    AnimationPlayer(const acs::CharacterFile& character, TimerSource& timers, quint32 seed,
                    QObject* parent = nullptr);
    ~AnimationPlayer() override;

    // Starts from the first frame, dropping whatever was playing without its exit path.
    void play(int animationIndex);
    // Asks the running animation to leave by its exit path; finished() follows.
    void exit();
    // Ends at once, with no exit path and no finished().
    void halt();

    [[nodiscard]] bool isPlaying() const { return m_playing; }
    // The animation and frame on display, or -1 before anything has played.
    [[nodiscard]] int animation() const { return m_animation; }
    [[nodiscard]] int frame() const { return m_frame; }

signals:
    void frameShown(int animationIndex, int frameIndex);
    void finished(int animationIndex);

private:
    void advance();
    [[nodiscard]] int frameMs(int frame) const;
    void show(int frame);

    const acs::CharacterFile& m_character;
    std::unique_ptr<FrameTimer> m_timer;
    std::mt19937 m_random;
    int m_animation = -1;
    int m_frame = -1;
    bool m_playing = false;
    bool m_exiting = false;
    // Frames taken since exit(); bounds exit paths that point back into themselves.
    int m_exitSteps = 0;
    // Bumped by play() and halt(), so a frame handler that restarts the player ends the
    // stepping loop it was called from.
    quint64 m_generation = 0;
};

} // namespace engine::runtime
