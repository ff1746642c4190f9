#pragma once

#include <memory>

#include <QHash>
#include <QObject>
#include <QPoint>
#include <QRect>
#include <QSet>

#include "engine/speech/synthesizer.h"

namespace engine::acs {
struct CharacterFile;
}

namespace engine::runtime {

class BalloonWindow;
class CharacterWindow;
class SpeechSession;
class TimerSource;
struct CharacterServices;

// The character's voice block as the synthesizer takes it, speaking `languageId`.
[[nodiscard]] speech::VoiceSettings voiceSettings(const acs::CharacterFile& character,
                                                  int languageId);

// What a character says: the voice synthesized for each Speak, the speech session that plays it
// (or paces it without a voice) when its turn comes, and the balloon showing the words as they
// are heard.
class CharacterVoice final : public QObject
{
    Q_OBJECT

public:
    CharacterVoice(const acs::CharacterFile& character, const CharacterServices& services,
                   const CharacterWindow& window);
    ~CharacterVoice() override;

    // Starts synthesis at once, so the voice is ready when the request's turn comes. 0 when
    // there is no voice to synthesize.
    [[nodiscard]] speech::Ticket prepare(const QString& text, int languageId);
    // The request of `ticket` was dropped before its turn.
    void cancel(speech::Ticket ticket);
    // Speaks the text of a prepared request; `balloonStyle` is the style it was made with.
    // finished() follows once it has been heard.
    void speak(const QString& text, speech::Ticket ticket, int balloonStyle);
    // Silences the speech at once; finished() does not follow.
    void stop();

    void hideBalloon();
    // Keeps the balloon beside a character that has moved to `characterTopLeft`.
    void keepBalloonBeside(QPoint characterTopLeft);
    // Null until the first Speak that shows the balloon.
    [[nodiscard]] BalloonWindow* balloon() const { return m_balloon.get(); }

signals:
    void mouthChanged(engine::speech::Mouth mouth);
    void finished();

private:
    void onUtteranceReady(const speech::Utterance& utterance);
    void startSession(std::unique_ptr<SpeechSession> session);
    void onShownChanged(int length);
    [[nodiscard]] QRect screenGeometry() const;

    const acs::CharacterFile& m_character;
    speech::AudioMixer* m_mixer = nullptr;
    speech::Synthesizer* m_synthesizer = nullptr;
    TimerSource& m_timers;
    const CharacterWindow& m_window;
    std::unique_ptr<BalloonWindow> m_balloon;
    std::unique_ptr<SpeechSession> m_session;

    // Tickets of requests not yet spoken nor dropped, and the voices that came back for them.
    QSet<speech::Ticket> m_expected;
    QHash<speech::Ticket, speech::Utterance> m_utterances;
    // The speech in progress; m_waiting while its voice is still being synthesized.
    QString m_text;
    speech::Ticket m_ticket = 0;
    int m_balloonStyle = 0;
    bool m_waiting = false;
};

} // namespace engine::runtime
