#include "engine/runtime/character_glide.h"

#include <algorithm>
#include <cmath>

#include <QWidget>

#include "engine/runtime/frame_timer.h"

namespace engine::runtime {

namespace {

// The gliding speed, reached in steps of STEP_MS.
constexpr int PIXELS_PER_SECOND = 600;
constexpr int STEP_MS = 20;

} // namespace

QString movingState(QPoint delta)
{
    if (std::abs(delta.x()) >= std::abs(delta.y())) {
        return QString::fromLatin1(delta.x() < 0 ? "MOVINGLEFT" : "MOVINGRIGHT");
    }
    return QString::fromLatin1(delta.y() < 0 ? "MOVINGUP" : "MOVINGDOWN");
}

CharacterGlide::CharacterGlide(TimerSource& timers, QWidget& window)
    : m_timer(timers.createTimer([this] { takeStep(); })), m_window(window)
{}

CharacterGlide::~CharacterGlide() = default;

void CharacterGlide::start(QPoint target)
{
    m_from = m_window.pos();
    m_to = target;
    const QPoint delta = m_to - m_from;
    const double distance = std::hypot(delta.x(), delta.y());
    m_step = 0;
    m_steps = std::max(1, int(std::ceil(distance * 1000 / PIXELS_PER_SECOND / STEP_MS)));
    m_timer->start(STEP_MS);
}

void CharacterGlide::stop()
{
    m_timer->stop();
}

void CharacterGlide::takeStep()
{
    ++m_step;
    const QPoint position = m_from + (m_to - m_from) * m_step / m_steps;
    m_window.move(position);
    emit moved(position);
    if (m_step < m_steps) {
        m_timer->start(STEP_MS);
        return;
    }
    emit arrived();
}

} // namespace engine::runtime
