#pragma once

#include <algorithm>
#include <functional>
#include <memory>
#include <tuple>
#include <vector>

#include "engine/runtime/frame_timer.h"

// Time that moves only when a test says so. Timers due at the same moment fire in the order
// they were started, as Qt's do.
class ManualTimerSource final : public engine::runtime::TimerSource
{
public:
    std::unique_ptr<engine::runtime::FrameTimer>
    createTimer(std::function<void()> onTimeout) override
    {
        return std::make_unique<Timer>(*this, std::move(onTimeout));
    }

    // Fires everything due up to now + ms, in time order, including timers started meanwhile.
    void advance(qint64 ms)
    {
        const qint64 target = m_now + ms;
        for (;;) {
            Timer* next = nullptr;
            for (Timer* timer : m_timers) {
                if (timer->m_active && timer->m_deadline <= target &&
                    (!next || std::tie(timer->m_deadline, timer->m_order) <
                                  std::tie(next->m_deadline, next->m_order)))
                    next = timer;
            }
            if (!next)
                break;
            m_now = next->m_deadline;
            next->m_active = false;
            next->m_callback();
        }
        m_now = target;
    }

private:
    struct Timer final : engine::runtime::FrameTimer
    {
        Timer(ManualTimerSource& source, std::function<void()> callback)
            : m_source(source), m_callback(std::move(callback))
        {
            m_source.m_timers.push_back(this);
        }
        ~Timer() override
        {
            auto& timers = m_source.m_timers;
            timers.erase(std::find(timers.begin(), timers.end(), this));
        }
        void start(int ms) override
        {
            m_active = true;
            m_deadline = m_source.m_now + std::max(0, ms);
            m_order = m_source.m_started++;
        }
        void stop() override { m_active = false; }
        bool isActive() const override { return m_active; }

        ManualTimerSource& m_source;
        std::function<void()> m_callback;
        bool m_active = false;
        qint64 m_deadline = 0;
        quint64 m_order = 0;
    };

    qint64 m_now = 0;
    quint64 m_started = 0;
    std::vector<Timer*> m_timers;
};
