#pragma once

#include <memory>
#include <optional>
#include <random>

#include <QHash>
#include <QList>
#include <QPoint>
#include <QSet>

#include "engine/acs/acs_model.h"
#include "engine/control/agent_control.h"
#include "engine/runtime/character_services.h"
#include "engine/speech/synthesizer.h"

class QMenu;

namespace engine::runtime {

class AnimationPlayer;
class BalloonWindow;
class CharacterGlide;
class CharacterVoice;
class CharacterWindow;
class FrameCache;
class FrameTimer;
class IdleCycle;

// One character loaded under an identifier: its window, animation player and request queue,
// with its voice, its glides and its idling. Requests run one after another; every call returns
// at once, and whatever completes is reported later, from a timer, never from inside the call.
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
    [[nodiscard]] BalloonWindow* balloon() const;
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
    // Where a request stands. Queued until its turn; then it waits for its animation
    // (Animating), the end of its glide (Moving, with the walking animation alongside) or of
    // its speech (Speaking); Stopping: Stop cut it short and its animation leaves by its exit
    // path; Done: it is reported complete on the next run of the queue.
    enum class Stage
    {
        Queued,
        Animating,
        Moving,
        Speaking,
        Stopping,
        Done
    };
    struct Request
    {
        int id = 0;
        Kind kind = Kind::Play;
        Stage stage = Stage::Queued;
        int animation = -1;
        QString text;
        QPoint target;
        speech::Ticket ticket = 0;
        // Balloon.Style when Speak was called.
        int balloonStyle = 0;
    };

    AgentRequest enqueue(Request request);
    void throwIfUnloaded() const;
    void runQueueSoon();
    void runQueue();
    [[nodiscard]] bool playsReturnBefore(const Request* next);
    void start(Request& request);
    void startMove(Request& request);
    void completeCurrent();
    // "|" separates alternatives in a Speak text: one of them, picked at random, is said and
    // shown.
    [[nodiscard]] QString chooseAlternative(const QString& text);

    [[nodiscard]] int stateAnimation(const QString& state);
    void playAnimation(int index);
    void onFrameShown(int animation, int frame);
    void onAnimationFinished(int animation);
    void onArrived();
    void onSpeechFinished();
    void render();
    void setMouth(std::optional<acs::MouthShape> mouth);
    void playFrameSound(quint16 soundIndex);
    [[nodiscard]] bool frameHasMouths() const;
    void onClicked(int button, int modifiers, QPoint globalPosition);

    // Declared first: the parts below hold references into it.
    acs::CharacterFile m_file;
    CharacterServices m_services;
    std::unique_ptr<FrameCache> m_frames;
    std::unique_ptr<AnimationPlayer> m_player;
    std::unique_ptr<CharacterWindow> m_window;
    std::unique_ptr<CharacterVoice> m_voice;
    std::unique_ptr<CharacterGlide> m_glide;
    std::unique_ptr<IdleCycle> m_idle;
    std::unique_ptr<QMenu> m_menu;
    std::unique_ptr<FrameTimer> m_queueTimer;
    std::mt19937 m_random;

    int m_languageId = 1033;
    bool m_autoPopupMenu = true;
    int m_balloonStyle = 0;
    bool m_unloaded = false;

    QList<Request> m_queue;
    std::optional<Request> m_current;
    // The animation that must play before anything else, after one that has a return.
    int m_pendingReturn = -1;
    std::optional<acs::MouthShape> m_mouth;

    QHash<int, speech::Pcm> m_soundCache;
    QSet<speech::SourceId> m_sounds;
};

} // namespace engine::runtime
