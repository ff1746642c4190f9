#pragma once

#include <memory>

#include <QObject>
#include <QPoint>

class QWidget;

namespace engine::runtime {

class FrameTimer;
class TimerSource;

// The state whose animation walks a character by `delta`: MOVINGLEFT, MOVINGRIGHT, MOVINGUP
// or MOVINGDOWN, by the larger of its two parts.
[[nodiscard]] QString movingState(QPoint delta);

// A MoveTo on screen: the window glides to its target at a steady speed, in small steps.
class CharacterGlide final : public QObject
{
    Q_OBJECT

public:
    CharacterGlide(TimerSource& timers, QWidget& window);
    ~CharacterGlide() override;

    void start(QPoint target);
    // Stays where it is; arrived() does not follow.
    void stop();

signals:
    void moved(QPoint topLeft);
    void arrived();

private:
    void takeStep();

    std::unique_ptr<FrameTimer> m_timer;
    QWidget& m_window;
    QPoint m_from;
    QPoint m_to;
    int m_steps = 0;
    int m_step = 0;
};

} // namespace engine::runtime
