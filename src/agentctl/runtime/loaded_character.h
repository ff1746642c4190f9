#pragma once

#include <functional>
#include <memory>
#include <optional>
#include <random>

#include <QHash>
#include <QList>
#include <QPoint>
#include <QSet>

#include "agentctl/acs/acs_model.h"
#include "agentctl/control/agent_control.h"
#include "agentctl/speech/synthesizer.h"

class QMenu;

namespace agentctl::runtime {

class AnimationPlayer;
class BalloonWindow;
class CharacterWindow;
class FrameCompositor;
class FrameTimer;
class SpeechSession;
class TimerSource;

// What a loaded character runs on. The engine owns all of it.
struct CharacterServices
{
    TimerSource* timers = nullptr;
    // Null: frame sounds are not played and Speak is paced without a voice.
    speech::AudioMixer* mixer = nullptr;
    // Null: Speak is paced without a voice.
    speech::Synthesizer* synthesizer = nullptr;
    quint32 seed = 0;
    // Hands out request identifiers, unique across the engine.
    std::function<int()> nextRequestId;
};

// One character loaded under an identifier: its window, balloon, animation player and
// request queue. Requests run one after another; every call returns at once, and whatever
// completes is reported later, from a timer, never from inside the call.
class LoadedCharacter final : public AgentCharacter
{
    Q_OBJECT

public:
    LoadedCharacter(acs::CharacterFile character, CharacterServices services);
    ~LoadedCharacter() override;

    int LanguageID() const override;
    void setLanguageID(int languageId) override;
    bool AutoPopupMenu() const override;
    void setAutoPopupMenu(bool on) override;
    int BalloonStyle() const override;
    void setBalloonStyle(int style) override;

    AgentRequest MoveTo(int x, int y) override;
    AgentRequest Show() override;
    AgentRequest Play(const QString& animation) override;
    AgentRequest Speak(const QString& text) override;
    void Stop() override;
    AgentRequest Hide() override;

    // Drops the character at once: windows hidden, queue, timers and sounds gone, and no
    // signal after this returns. Every later call raises AgentError.
    void unload();

    [[nodiscard]] CharacterWindow& window() const { return *m_window; }
    // Null until the first Speak that shows the balloon.
    [[nodiscard]] BalloonWindow* balloon() const { return m_balloon.get(); }
    // Null until AutoPopupMenu first pops it up.
    [[nodiscard]] QMenu* popupMenu() const { return m_menu.get(); }

signals:
    void requestComplete(int requestId);
    void clicked(int button, int modifiers, QPoint globalPosition);
    void doubleClicked(int button, int modifiers, QPoint globalPosition);

private:
    enum class Kind
    {
        Show,
        Hide,
        Play,
        Speak,
        MoveTo
    };
    struct Request
    {
        int id = 0;
        Kind kind = Kind::Play;
        int animation = -1;
        QString text;
        QPoint target;
        speech::Ticket ticket = 0;
        bool balloon = false;
    };

    AgentRequest enqueue(Request request);
    void ensureLoaded() const;
    void kick();
    void step();
    void begin(const Request& request);
    void complete();
    [[nodiscard]] bool playsReturnBefore(const Request* next);

    [[nodiscard]] int stateAnimation(const QString& state);
    void playAnimation(int index);
    void onFrameShown(int animation, int frame);
    void onAnimationFinished(int animation);
    void render();
    void playFrameSound(quint16 soundIndex);
    [[nodiscard]] bool frameHasMouths() const;

    void beginVoice();
    void startSession(std::unique_ptr<SpeechSession> session);
    void onUtteranceReady(const speech::Utterance& utterance);
    void onShownChanged(int length);
    void keepBalloonBeside(QPoint characterTopLeft);
    [[nodiscard]] QRect screenGeometry() const;
    void endSpeech();
    void hideBalloon();
    void onClicked(int button, int modifiers, QPoint globalPosition);

    void beginMove(QPoint target);
    void moveStep();

    void scheduleIdle();
    void playIdle();

    // Declared first: the player and compositor hold references into it.
    acs::CharacterFile m_file;
    CharacterServices m_services;
    std::unique_ptr<FrameCompositor> m_compositor;
    std::unique_ptr<AnimationPlayer> m_player;
    std::unique_ptr<CharacterWindow> m_window;
    std::unique_ptr<BalloonWindow> m_balloon;
    std::unique_ptr<QMenu> m_menu;
    std::unique_ptr<FrameTimer> m_stepTimer;
    std::unique_ptr<FrameTimer> m_idleTimer;
    std::unique_ptr<FrameTimer> m_moveTimer;
    std::unique_ptr<SpeechSession> m_session;
    std::mt19937 m_random;

    int m_languageId = 1033;
    bool m_autoPopupMenu = true;
    int m_balloonStyle = 0;

    QList<Request> m_queue;
    std::optional<Request> m_current;
    // The current request waits for its animation to finish, and for its other half (speech,
    // movement) to end.
    bool m_animating = false;
    bool m_busy = false;
    bool m_stopping = false;
    bool m_waitingForVoice = false;
    bool m_unloaded = false;

    // The animation that must play before anything else, after one that has a return.
    int m_pendingReturn = -1;
    std::optional<acs::MouthShape> m_mouth;
    // Idle animations played since the last request; picks the idle level.
    int m_idlePlays = 0;

    QPoint m_moveFrom;
    QPoint m_moveTo;
    int m_moveSteps = 0;
    int m_moveStep = 0;

    QHash<speech::Ticket, speech::Utterance> m_utterances;
    QHash<int, speech::Pcm> m_soundCache;
    QSet<speech::SourceId> m_sounds;
};

} // namespace agentctl::runtime
