#include "engine/runtime/idle_cycle.h"

#include <algorithm>

#include "engine/runtime/frame_timer.h"

namespace engine::runtime {

namespace {

// The pause between idle animations, in ms.
constexpr int IDLE_GAP_MIN_MS = 2000;
constexpr int IDLE_GAP_MAX_MS = 5000;
// Idle animations of one level before the character drifts into the next.
constexpr int IDLE_PLAYS_PER_LEVEL = 6;
constexpr int DEEPEST_LEVEL = 3;

} // namespace

IdleCycle::IdleCycle(TimerSource& timers, quint32 seed,
                     std::function<bool(const QString&)> playState)
    : m_timer(timers.createTimer([this] { playNext(); })), m_random(seed),
      m_playState(std::move(playState))
{}

IdleCycle::~IdleCycle() = default;

void IdleCycle::schedule()
{
    if (!m_timer->isActive()) {
        std::uniform_int_distribution<int> gap(IDLE_GAP_MIN_MS, IDLE_GAP_MAX_MS);
        m_timer->start(gap(m_random));
    }
}

void IdleCycle::reset()
{
    m_timer->stop();
    m_plays = 0;
}

void IdleCycle::playNext()
{
    const int level = std::min(DEEPEST_LEVEL, 1 + m_plays / IDLE_PLAYS_PER_LEVEL);
    ++m_plays;
    // A character may leave out the deeper levels; it then idles at the last one it has.
    for (int tried = level; tried >= 1; --tried) {
        if (m_playState(QStringLiteral("IDLINGLEVEL%1").arg(tried))) {
            return;
        }
    }
}

} // namespace engine::runtime
