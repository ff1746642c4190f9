#pragma once

#include <map>
#include <memory>

#include <QCache>
#include <QDateTime>
#include <QList>
#include <QPointer>

#include "engine/acs/acs_model.h"
#include "engine/control/agent_control.h"

namespace engine::speech {
class AudioMixer;
class Synthesizer;
} // namespace engine::speech

namespace engine::runtime {

class LoadedCharacter;
class TimerSource;

// Largest character file Load reads, in bytes; the biggest real characters are about 10 MB.
inline constexpr qint64 MAX_CHARACTER_FILE_BYTES = 64 * 1024 * 1024;

// The character engine behind the control surface: it loads .acs characters and runs each in
// a window of its own, with its animations, sounds, voice and balloon.
class AgentEngine final : public AgentControl, public AgentCharacters
{
    Q_OBJECT

public:
    // Real time, the default audio output (or a silent clock without one) and espeak-ng.
    explicit AgentEngine(QObject* parent = nullptr);
    // Runs on `timers`; null mixer or synthesizer: no sound, or speech paced without a voice.
    // `seed` makes branch and idle choices repeatable. None of these is owned.
    AgentEngine(TimerSource& timers, speech::AudioMixer* mixer, speech::Synthesizer* synthesizer,
                quint32 seed, QObject* parent = nullptr);
    ~AgentEngine() override;

    AgentCharacters& Characters() override { return *this; }

    void Load(const QString& characterId, const QString& path) override;
    void Unload(const QString& characterId) override;
    AgentCharacter* operator()(const QString& characterId) override;

    // The loaded character behind an identifier, for the windows it shows; null when none.
    [[nodiscard]] LoadedCharacter* character(const QString& characterId) const;

private:
    struct Owned;
    // A character file as read before, and what its file was like on disk then.
    struct Parsed
    {
        qint64 size = 0;
        QDateTime modified;
        acs::CharacterFile character;
    };

    // The program loads a character for every announcement: the file is read and parsed again
    // only when it has changed on disk. The least recently loaded character leaves the cache
    // first.
    [[nodiscard]] acs::CharacterFile readCached(const QString& path);

    std::unique_ptr<Owned> m_owned;
    TimerSource& m_timers;
    speech::AudioMixer* m_mixer = nullptr;
    speech::Synthesizer* m_synthesizer = nullptr;
    quint32 m_seed = 0;
    int m_loads = 0;
    bool m_toldNoVoice = false;
    int m_nextRequestId = 1;
    std::map<QString, LoadedCharacter*> m_characters;
    // Character files whose parsed form is kept; the program uses a few at most (the clock's
    // and the alarms' characters).
    QCache<QString, Parsed> m_parsed{4};
    // Unloaded characters waiting for deleteLater; they use the timers and the mixer, so they
    // must not outlive the engine.
    QList<QPointer<LoadedCharacter>> m_leaving;
};

} // namespace engine::runtime
