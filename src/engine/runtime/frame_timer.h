#pragma once

#include <functional>
#include <memory>

namespace engine::runtime {

// A one-shot timer. The engine never reads the wall clock itself: every frame, word and
// movement step waits on one of these, so tests can drive the whole engine by hand.
class FrameTimer
{
public:
    virtual ~FrameTimer() = default;

    // Fires once after ms milliseconds; starting again replaces the pending deadline.
    virtual void start(int ms) = 0;
    virtual void stop() = 0;
    [[nodiscard]] virtual bool isActive() const = 0;
};

class TimerSource
{
public:
    virtual ~TimerSource() = default;

    // The callback runs on the GUI thread and must not destroy the timer that called it.
    [[nodiscard]] virtual std::unique_ptr<FrameTimer>
    createTimer(std::function<void()> onTimeout) = 0;
};

// Real time: precise QTimers, since coarse ones drift by up to 5 % of a frame.
class QtTimerSource final : public TimerSource
{
public:
    [[nodiscard]] std::unique_ptr<FrameTimer> createTimer(std::function<void()> onTimeout) override;
};

} // namespace engine::runtime
