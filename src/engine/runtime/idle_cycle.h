#pragma once

#include <functional>
#include <memory>
#include <random>

#include <QString>

namespace engine::runtime {

class FrameTimer;
class TimerSource;

// A shown character left alone idles: after a random pause, an animation of its idling state,
// one level deeper each IDLE_PLAYS_PER_LEVEL plays.
class IdleCycle final
{
public:
    // `playState` plays an animation of the named state and says whether there was one.
    IdleCycle(TimerSource& timers, quint32 seed, std::function<bool(const QString&)> playState);
    ~IdleCycle();

    // Starts the pause before the next idle animation, unless one is already running.
    void schedule();
    // The character has something to do: no idling, and the next starts at the first level.
    void reset();

private:
    void playNext();

    std::unique_ptr<FrameTimer> m_timer;
    std::mt19937 m_random;
    std::function<bool(const QString&)> m_playState;
    // Idle animations played since the last reset; picks the level.
    int m_plays = 0;
};

} // namespace engine::runtime
