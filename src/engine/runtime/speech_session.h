#pragma once

#include <memory>

#include <QList>
#include <QObject>
#include <QString>

#include "engine/speech/synthesizer.h"

namespace engine::runtime {

class FrameTimer;
class TimerSource;

// One Speak in progress: it tells the character how much of the text the balloon shows and
// which mouth to draw, and when the speech is over.
//
// With a voice, the synthesized audio plays through the mixer and everything follows the
// position the listener has heard, so the mouth and the balloon match the sound even when the
// output runs late; it ends once the last sample has been heard. Without one, the words are
// paced at a reading speed and the mouth moves through the open shapes while a word lasts.
class SpeechSession final : public QObject
{
    Q_OBJECT

public:
    SpeechSession(TimerSource& timers, speech::AudioMixer& mixer, speech::Utterance utterance);
    SpeechSession(TimerSource& timers, QString shownText, int wordsPerMinute);
    ~SpeechSession() override;

    void start();
    // Silences the voice at once; finished() is not emitted.
    void stop();

    [[nodiscard]] const QString& shownText() const { return m_shownText; }

signals:
    // The balloon shows shownText().left(length).
    void shownChanged(int length);
    void mouthChanged(engine::speech::Mouth mouth);
    void finished();

private:
    void tick();
    void follow(qint64 sample);
    void report(int shownLength, speech::Mouth mouth);
    void finish();

    std::unique_ptr<FrameTimer> m_timer;
    speech::AudioMixer* m_mixer = nullptr;
    speech::SourceId m_source = 0;
    QString m_shownText;
    QList<speech::WordMark> m_words;
    QList<speech::MouthCue> m_cues;
    speech::Pcm m_pcm;
    // Paced speech: ms per word and the time spoken so far.
    int m_wordMs = 0;
    qint64 m_elapsedMs = 0;
    int m_shownLength = -1;
    speech::Mouth m_mouth = speech::Mouth::Closed;
    bool m_running = false;
};

} // namespace engine::runtime
