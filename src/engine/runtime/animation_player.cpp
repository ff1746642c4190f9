#include "engine/runtime/animation_player.h"

#include "engine/acs/acs_model.h"
#include "engine/runtime/frame_timer.h"

namespace engine::runtime {

namespace {

// Zero-length frames shown back to back before the player yields to the event loop; a loop
// made only of such frames must not spin the GUI thread.
constexpr int MAX_INSTANT_FRAMES = 64;
// The pause forced after that many, in ms.
constexpr int INSTANT_LOOP_PAUSE_MS = 10;

} // namespace

int nextFrame(const acs::Animation& animation, int frame, bool exiting, int roll)
{
    const auto& current = animation.frames.at(frame);
    const int count = int(animation.frames.size());
    if (exiting) {
        if (current.exitFrame == -1) {
            return -1;
        }
        if (current.exitFrame >= 0) {
            return current.exitFrame < count ? current.exitFrame : -1;
        }
        return frame + 1 < count ? frame + 1 : -1;
    }
    for (const auto& branch : current.branches) {
        if (roll <= branch.probability) {
            return branch.frameIndex < count ? branch.frameIndex : -1;
        }
        roll -= branch.probability;
    }
    return frame + 1 < count ? frame + 1 : -1;
}

AnimationPlayer::AnimationPlayer(const acs::CharacterFile& character, TimerSource& timers,
                                 quint32 seed, QObject* parent)
    : QObject(parent), m_character(character), m_timer(timers.createTimer([this] { advance(); })),
      m_random(seed)
{}

AnimationPlayer::~AnimationPlayer() = default;

void AnimationPlayer::play(int animationIndex)
{
    ++m_generation;
    m_animation = animationIndex;
    m_playing = true;
    m_exiting = false;
    m_exitSteps = 0;
    if (m_character.animations.at(animationIndex).frames.isEmpty()) {
        // Nothing to show; still end through the timer so callers never see finished()
        // inside play().
        m_frame = -1;
        m_timer->start(0);
        return;
    }
    const int ms = frameMs(0);
    // Armed before the frame is drawn, so drawing does not push the next frame back.
    m_timer->start(ms);
    show(0);
}

void AnimationPlayer::exit()
{
    if (!m_playing || m_exiting) {
        return;
    }
    m_exiting = true;
    // A frame that ends at once on exit need not wait out its duration.
    const auto& frames = m_character.animations.at(m_animation).frames;
    if (m_frame < 0 || frames.at(m_frame).exitFrame == -1) {
        m_timer->start(0);
    }
}

void AnimationPlayer::halt()
{
    ++m_generation;
    m_timer->stop();
    m_playing = false;
    m_exiting = false;
}

void AnimationPlayer::advance()
{
    if (!m_playing) {
        return;
    }
    const auto& animation = m_character.animations.at(m_animation);
    const quint64 generation = m_generation;
    int instantFrames = 0;
    for (;;) {
        const int count = int(animation.frames.size());
        int next = -1;
        if (m_frame >= 0) {
            std::uniform_int_distribution<int> percent(1, 100);
            next = nextFrame(animation, m_frame, m_exiting, percent(m_random));
        }
        if (m_exiting && ++m_exitSteps > count) {
            next = -1;
        }
        if (next < 0) {
            m_playing = false;
            m_exiting = false;
            emit finished(m_animation);
            return;
        }
        const int ms = frameMs(next);
        const bool pause = ms == 0 && ++instantFrames >= MAX_INSTANT_FRAMES;
        if (ms > 0 || pause) {
            m_timer->start(pause ? INSTANT_LOOP_PAUSE_MS : ms);
        }
        show(next);
        if (generation != m_generation || ms > 0 || pause) {
            return;
        }
    }
}

int AnimationPlayer::frameMs(int frame) const
{
    return m_character.animations.at(m_animation).frames.at(frame).duration * 10;
}

void AnimationPlayer::show(int frame)
{
    m_frame = frame;
    emit frameShown(m_animation, frame);
}

} // namespace engine::runtime
