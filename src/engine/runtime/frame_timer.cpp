#include "engine/runtime/frame_timer.h"

#include <QTimer>

namespace engine::runtime {

namespace {

class QtFrameTimer final : public FrameTimer
{
public:
    explicit QtFrameTimer(std::function<void()> onTimeout)
    {
        m_timer.setSingleShot(true);
        m_timer.setTimerType(Qt::PreciseTimer);
        QObject::connect(&m_timer, &QTimer::timeout, std::move(onTimeout));
    }

    void start(int ms) override { m_timer.start(ms); }
    void stop() override { m_timer.stop(); }
    bool isActive() const override { return m_timer.isActive(); }

private:
    QTimer m_timer;
};

} // namespace

std::unique_ptr<FrameTimer> QtTimerSource::createTimer(std::function<void()> onTimeout)
{
    return std::make_unique<QtFrameTimer>(std::move(onTimeout));
}

} // namespace engine::runtime
