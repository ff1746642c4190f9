#include "choreography.h"

#include <cmath>
#include <utility>

namespace hv::characters {
namespace {

using engine::acs::Transition;

template <typename Change> Pose varied(Pose base, Change change)
{
    change(base);
    return base;
}

// How different two poses look, roughly in pixels of movement.
float difference(const Pose& a, const Pose& b)
{
    const auto d = [](float x, float y, float weight) { return std::abs(x - y) * weight; };
    return d(a.dx, b.dx, 1) + d(a.dy, b.dy, 1) + d(a.scale, b.scale, 60) +
           d(a.squash, b.squash, 60) + d(a.tilt, b.tilt, 1) + d(a.eyeOpen, b.eyeOpen, 8) +
           d(a.lookX, b.lookX, 3) + d(a.lookY, b.lookY, 3) + d(a.brow, b.brow, 3) +
           d(a.armLeft, b.armLeft, 0.3f) + d(a.armRight, b.armRight, 0.3f) +
           d(a.wave, b.wave, 0.3f) + d(a.smile, b.smile, 3) + d(a.ring, b.ring, 4) +
           d(a.glee, b.glee, 8) + d(a.snooze, b.snooze, 6) + (a.mouth == b.mouth ? 0.0f : 4.0f);
}

// Writes one animation frame by frame, tweening between poses at ten frames a second.
class Script final
{
public:
    Script(QString name, Transition transition, QString returnAnimation = {})
    {
        m_animation.name = std::move(name);
        m_animation.transition = transition;
        m_animation.returnAnimation = returnAnimation.toUpper();
    }

    Script& start(const Pose& pose)
    {
        FrameScript frame;
        frame.pose = pose;
        m_animation.frames.append(frame);
        return *this;
    }

    // `steps` frames easing from the last pose into `pose`, the last of them exactly `pose`.
    Script& to(const Pose& pose, int steps)
    {
        const Pose from = m_animation.frames.back().pose;
        for (int i = 1; i <= steps; ++i) {
            const float t = float(i) / float(steps);
            start(lerp(from, pose, t * t * (3 - 2 * t)));
        }
        return *this;
    }

    Script& hold(quint16 duration)
    {
        m_animation.frames.back().duration = duration;
        return *this;
    }

    Script& sound(Sound sound)
    {
        m_animation.frames.back().sound = sound;
        return *this;
    }

    Script& speak()
    {
        m_animation.frames.back().speakable = true;
        return *this;
    }

    // From the last frame, go back to frame `target` this often (percent) to repeat a passage.
    Script& repeatFrom(int target, quint16 percent)
    {
        m_animation.frames.back().branches.append(engine::acs::Branch{quint16(target), percent});
        return *this;
    }

    Script& vanish()
    {
        FrameScript frame;
        frame.hidden = true;
        m_animation.frames.append(frame);
        return *this;
    }

    // The frames from here on bring the character back to rest; asked to stop earlier, it
    // jumps here.
    Script& returning()
    {
        m_returnStart = int(m_animation.frames.size());
        return *this;
    }

    [[nodiscard]] int next() const { return int(m_animation.frames.size()); }

    [[nodiscard]] AnimationScript done()
    {
        auto& frames = m_animation.frames;
        for (int i = 0; i < frames.size(); ++i) {
            switch (m_animation.transition) {
            case Transition::ReturnAnimation:
                frames[i].exitFrame = -1;
                break;
            case Transition::ExitBranches:
                Q_ASSERT(m_returnStart >= 0);
                frames[i].exitFrame = i < m_returnStart ? exitFor(frames[i].pose) : qint16(-2);
                break;
            case Transition::None:
                frames[i].exitFrame = -2;
                break;
            }
        }
        if (!frames.back().hidden && frames.back().pose == restPose())
            frames.back().speakable = true;
        return m_animation;
    }

private:
    // Asked to stop, a frame already at rest ends there; any other joins the closing passage
    // at the frame that looks most like it, so the character does not jump.
    [[nodiscard]] qint16 exitFor(const Pose& pose) const
    {
        if (pose == restPose())
            return -1;
        const auto& frames = m_animation.frames;
        int best = m_returnStart;
        for (int j = m_returnStart; j < frames.size(); ++j) {
            if (difference(pose, frames[j].pose) < difference(pose, frames[best].pose))
                best = j;
        }
        return qint16(best);
    }

    AnimationScript m_animation;
    int m_returnStart = -1;
};

Pose looking(float side)
{
    return varied(restPose(), [side](Pose& p) {
        p.lookX = side;
        p.tilt = 5 * side;
        p.dx = 2 * side;
        p.brow = 0.2f;
    });
}

AnimationScript look(const QString& name, float side)
{
    return Script(name, Transition::ReturnAnimation, name + QStringLiteral("Return"))
        .start(restPose())
        .to(looking(side), 3)
        .speak()
        .done();
}

AnimationScript lookBack(const QString& name, float side)
{
    return Script(name, Transition::None).start(looking(side)).to(restPose(), 3).done();
}

// Hopping while the window slides; the lean and the look show the direction.
AnimationScript move(const QString& name, Pose lean)
{
    const Pose up = varied(lean, [](Pose& p) {
        p.dy -= 5;
        p.squash = -0.06f;
    });
    const Pose down = varied(lean, [](Pose& p) { p.squash = 0.04f; });
    Script s(name, Transition::ReturnAnimation, name + QStringLiteral("Return"));
    s.start(restPose()).to(lean, 2);
    // Hops for as long as the move lasts: the engine stops the animation on arrival.
    const int hop = s.next();
    s.to(up, 1).to(down, 1).to(lean, 1).repeatFrom(hop, 100);
    return s.done();
}

AnimationScript moveBack(const QString& name, const Pose& lean)
{
    return Script(name, Transition::None).start(lean).to(restPose(), 2).done();
}

} // namespace

Pose restPose()
{
    Pose rest;
    rest.smile = 0.3f;
    return rest;
}

QVector<AnimationScript> choreography()
{
    const Pose rest = restPose();
    QVector<AnimationScript> all;

    all.append(Script(QStringLiteral("RestPose"), Transition::None).start(rest).done());

    // Pops up out of nothing with a little overshoot.
    all.append(Script(QStringLiteral("Show"), Transition::None)
                   .start(varied(rest,
                                 [](Pose& p) {
                                     p.scale = 0.2f;
                                     p.squash = -0.1f;
                                     p.eyeOpen = 0;
                                 }))
                   .sound(Sound::Show)
                   .to(varied(rest,
                              [](Pose& p) {
                                  p.scale = 0.65f;
                                  p.squash = -0.12f;
                                  p.dy = -3;
                              }),
                       1)
                   .to(varied(rest,
                              [](Pose& p) {
                                  p.scale = 1.04f;
                                  p.squash = -0.1f;
                                  p.dy = -5;
                                  p.brow = 0.5f;
                              }),
                       1)
                   .to(varied(rest, [](Pose& p) { p.squash = 0.1f; }), 1)
                   .to(varied(rest, [](Pose& p) { p.squash = -0.03f; }), 1)
                   .to(rest, 1)
                   .done());

    all.append(Script(QStringLiteral("Hide"), Transition::None)
                   .start(rest)
                   .to(varied(rest,
                              [](Pose& p) {
                                  p.squash = 0.12f;
                                  p.eyeOpen = 0.3f;
                              }),
                       1)
                   .to(varied(rest,
                              [](Pose& p) {
                                  p.squash = -0.12f;
                                  p.dy = -4;
                                  p.scale = 0.9f;
                                  p.eyeOpen = 0;
                              }),
                       1)
                   .to(varied(rest,
                              [](Pose& p) {
                                  p.squash = -0.1f;
                                  p.scale = 0.2f;
                                  p.eyeOpen = 0;
                              }),
                       2)
                   .vanish()
                   .done());

    const Pose explaining = varied(rest, [](Pose& p) {
        p.armRight = 100;
        p.wave = -15;
        p.armLeft = 15;
        p.tilt = 3;
        p.lookX = 0.25f;
        p.brow = 0.35f;
        p.smile = 0.5f;
    });
    all.append(Script(QStringLiteral("Explain"), Transition::ReturnAnimation,
                      QStringLiteral("ExplainReturn"))
                   .start(rest)
                   .to(explaining, 4)
                   .speak()
                   .done());
    all.append(Script(QStringLiteral("ExplainReturn"), Transition::None)
                   .start(explaining)
                   .to(rest, 3)
                   .done());

    {
        const Pose left = varied(rest, [](Pose& p) {
            p.lookX = -1;
            p.lookY = -0.2f;
        });
        const Pose right = varied(rest, [](Pose& p) {
            p.lookX = 1;
            p.lookY = -0.2f;
        });
        Script s(QStringLiteral("Idle1_1"), Transition::ExitBranches);
        s.start(rest).to(left, 2).hold(90).to(right, 3).hold(90).returning().to(rest, 2);
        s.to(varied(rest, [](Pose& p) { p.eyeOpen = 0; }), 1).hold(8).to(rest, 1);
        all.append(s.done());
    }
    {
        // Humming to itself, swaying from side to side.
        const auto sway = [&rest](float side) {
            return varied(rest, [side](Pose& p) {
                p.tilt = 5 * side;
                p.lookX = 0.3f * side;
                p.smile = 0.7f;
                p.eyeOpen = 0.6f;
            });
        };
        Script s(QStringLiteral("Idle1_2"), Transition::ExitBranches);
        s.start(rest).to(sway(-1), 2);
        const int first = s.next() - 1;
        s.to(sway(1), 3).to(sway(-1), 3).repeatFrom(first + 1, 40).returning().to(rest, 2);
        all.append(s.done());
    }
    {
        const Pose stretch = varied(rest, [](Pose& p) {
            p.armLeft = 150;
            p.armRight = 150;
            p.squash = -0.1f;
            p.dy = -2;
            p.eyeOpen = 0.1f;
            p.brow = 0.4f;
            p.mouth = 4;
        });
        all.append(Script(QStringLiteral("Idle2_1"), Transition::ExitBranches)
                       .start(rest)
                       .to(stretch, 4)
                       .hold(80)
                       .returning()
                       .to(varied(rest, [](Pose& p) { p.eyeOpen = 0.5f; }), 3)
                       .to(rest, 1)
                       .done());
    }
    {
        const Pose drowsy = varied(rest, [](Pose& p) {
            p.eyeOpen = 0.4f;
            p.lookY = 0.5f;
            p.tilt = 4;
            p.brow = -0.5f;
            p.smile = 0.1f;
        });
        const auto asleep = [](float snooze, float breath) {
            Pose p = restPose();
            p.eyeOpen = 0;
            p.tilt = 6;
            p.dy = 1;
            p.brow = -0.5f;
            p.smile = 0.1f;
            p.squash = breath;
            p.snooze = snooze;
            return p;
        };
        Script s(QStringLiteral("Idle3_1"), Transition::ExitBranches);
        s.start(rest).to(drowsy, 3).hold(40).to(asleep(0, 0.05f), 2);
        const int dozing = s.next();
        s.to(asleep(0.34f, 0.02f), 1).hold(40).to(asleep(0.67f, 0.05f), 1).hold(40);
        s.to(asleep(1, 0.02f), 1).hold(40).repeatFrom(dozing, 70);
        s.returning()
            .to(varied(rest,
                       [](Pose& p) {
                           p.eyeOpen = 1.15f;
                           p.brow = 1;
                           p.squash = -0.05f;
                       }),
                2)
            .to(rest, 2);
        all.append(s.done());
    }
    {
        const Pose startled = varied(rest, [](Pose& p) {
            p.eyeOpen = 1.2f;
            p.brow = 1;
            p.armLeft = 70;
            p.armRight = 70;
            p.mouth = 6;
            p.smile = 0;
        });
        all.append(Script(QStringLiteral("Surprised"), Transition::ExitBranches)
                       .start(rest)
                       .to(varied(rest,
                                  [](Pose& p) {
                                      p.squash = 0.12f;
                                      p.eyeOpen = 0.8f;
                                  }),
                           1)
                       .to(varied(startled,
                                  [](Pose& p) {
                                      p.dy = -6;
                                      p.squash = -0.1f;
                                  }),
                           2)
                       .to(varied(startled, [](Pose& p) { p.squash = 0.06f; }), 1)
                       .to(startled, 1)
                       .hold(60)
                       .returning()
                       .to(rest, 3)
                       .done());
    }
    {
        const Pose raised = varied(rest, [](Pose& p) {
            p.armRight = 130;
            p.smile = 0.8f;
            p.brow = 0.3f;
            p.tilt = -3;
        });
        const auto swing = [&raised](float wave) {
            return varied(raised, [wave](Pose& p) { p.wave = wave; });
        };
        Script s(QStringLiteral("Wave"), Transition::ExitBranches);
        s.start(rest).to(raised, 3);
        const int waving = s.next();
        s.to(swing(25), 1).to(swing(-25), 1).to(swing(25), 1).to(swing(-25), 1);
        s.repeatFrom(waving, 50).returning().to(raised, 1).to(rest, 3);
        all.append(s.done());
    }
    {
        const Pose proud = varied(rest, [](Pose& p) {
            p.armLeft = 45;
            p.armRight = 45;
            p.brow = 0.6f;
            p.eyeOpen = 1.1f;
            p.dy = -3;
            p.squash = -0.06f;
            p.mouth = 2;
        });
        Script s(QStringLiteral("Announce"), Transition::ExitBranches);
        s.start(rest).to(proud, 2);
        for (int i = 0; i < 6; ++i) {
            s.to(varied(proud, [i](Pose& p) { p.ring = i % 2 == 0 ? 1.0f : -1.0f; }), 1);
            if (i == 0)
                s.sound(Sound::Announce);
        }
        s.to(proud, 1).hold(40).returning().to(rest, 3);
        all.append(s.done());
    }
    {
        const Pose happy = varied(rest, [](Pose& p) {
            p.glee = 1;
            p.smile = 1;
            p.armLeft = 30;
            p.armRight = 30;
        });
        const auto bounce = [&happy](float dy, float squash) {
            return varied(happy, [dy, squash](Pose& p) {
                p.dy = dy;
                p.squash = squash;
            });
        };
        all.append(Script(QStringLiteral("Pleased"), Transition::ExitBranches)
                       .start(rest)
                       .to(bounce(0, 0.08f), 2)
                       .to(bounce(-5, -0.06f), 1)
                       .to(bounce(0, 0.06f), 1)
                       .to(bounce(-4, -0.05f), 1)
                       .to(bounce(0, 0.03f), 1)
                       .to(happy, 1)
                       .hold(50)
                       .returning()
                       .to(rest, 3)
                       .done());
    }
    all.append(Script(QStringLiteral("Blink"), Transition::None)
                   .start(rest)
                   .hold(5)
                   .to(varied(rest, [](Pose& p) { p.eyeOpen = 0.4f; }), 1)
                   .hold(5)
                   .to(varied(rest, [](Pose& p) { p.eyeOpen = 0; }), 1)
                   .hold(6)
                   .to(varied(rest, [](Pose& p) { p.eyeOpen = 0.5f; }), 1)
                   .hold(5)
                   .to(rest, 1)
                   .done());
    all.append(Script(QStringLiteral("Alert"), Transition::ExitBranches)
                   .start(rest)
                   .to(varied(rest,
                              [](Pose& p) {
                                  p.brow = 0.7f;
                                  p.eyeOpen = 1.1f;
                                  p.lookY = -0.3f;
                                  p.squash = -0.06f;
                                  p.dy = -2;
                                  p.armLeft = 25;
                                  p.armRight = 25;
                                  p.smile = 0;
                              }),
                       2)
                   .hold(100)
                   .returning()
                   .to(rest, 2)
                   .done());

    all.append(look(QStringLiteral("LookLeft"), -1));
    all.append(lookBack(QStringLiteral("LookLeftReturn"), -1));
    all.append(look(QStringLiteral("LookRight"), 1));
    all.append(lookBack(QStringLiteral("LookRightReturn"), 1));

    const auto sideways = [&rest](float side) {
        return varied(rest, [side](Pose& p) {
            p.tilt = 8 * side;
            p.lookX = side;
            p.armLeft = side < 0 ? 40 : 20;
            p.armRight = side < 0 ? 20 : 40;
        });
    };
    const Pose upwards = varied(rest, [](Pose& p) {
        p.lookY = -1;
        p.squash = -0.08f;
        p.armLeft = 60;
        p.armRight = 60;
        p.brow = 0.5f;
    });
    const Pose downwards = varied(rest, [](Pose& p) {
        p.lookY = 1;
        p.squash = 0.08f;
        p.armLeft = 30;
        p.armRight = 30;
        p.brow = -0.3f;
    });
    const std::pair<QString, Pose> moves[] = {{QStringLiteral("MoveLeft"), sideways(-1)},
                                              {QStringLiteral("MoveRight"), sideways(1)},
                                              {QStringLiteral("MoveUp"), upwards},
                                              {QStringLiteral("MoveDown"), downwards}};
    for (const auto& [name, lean] : moves) {
        all.append(move(name, lean));
        all.append(moveBack(name + QStringLiteral("Return"), lean));
    }
    return all;
}

QVector<engine::acs::State> stateTable()
{
    const auto state = [](const char* name, QStringList animations) {
        return engine::acs::State{QString::fromLatin1(name), animations};
    };
    return {
        state("SHOWING", {QStringLiteral("SHOW")}),
        state("HIDING", {QStringLiteral("HIDE")}),
        state("SPEAKING", {QStringLiteral("RESTPOSE")}),
        state("LISTENING", {QStringLiteral("ALERT")}),
        state("IDLINGLEVEL1",
              {QStringLiteral("BLINK"), QStringLiteral("IDLE1_1"), QStringLiteral("IDLE1_2")}),
        state("IDLINGLEVEL2", {QStringLiteral("IDLE2_1"), QStringLiteral("IDLE1_2")}),
        state("IDLINGLEVEL3", {QStringLiteral("IDLE3_1")}),
        state("MOVINGLEFT", {QStringLiteral("MOVELEFT")}),
        state("MOVINGRIGHT", {QStringLiteral("MOVERIGHT")}),
        state("MOVINGUP", {QStringLiteral("MOVEUP")}),
        state("MOVINGDOWN", {QStringLiteral("MOVEDOWN")}),
    };
}

} // namespace hv::characters
