#include "engine/runtime/speech_session.h"

#include <algorithm>
#include <array>

#include "engine/runtime/frame_timer.h"

namespace engine::runtime {

namespace {

// How often the mouth and balloon follow the voice, in ms: about one frame of a smooth
// animation, and shorter than any mouth shape lasts.
constexpr int FOLLOW_MS = 30;
// Paced speech changes the mouth this often, in ms.
constexpr int PACED_MOUTH_MS = 100;
// The open shapes paced speech cycles through.
constexpr std::array<speech::Mouth, 4> PACED_MOUTHS = {speech::Mouth::Wide1, speech::Mouth::Medium,
                                                       speech::Mouth::Wide3, speech::Mouth::Narrow};
// The share of a paced word during which the mouth moves; the rest is the gap between words.
constexpr int PACED_OPEN_PERCENT = 75;
// Reading speeds paced speech accepts, in words per minute.
constexpr int MIN_PACED_WPM = 30;
constexpr int MAX_PACED_WPM = 600;

// Words of `text` as ranges, for pacing speech that has no voice.
QList<speech::WordMark> paceWords(const QString& text, int wordMs)
{
    QList<speech::WordMark> words;
    int i = 0;
    while (i < text.size()) {
        while (i < text.size() && text.at(i).isSpace()) {
            ++i;
        }
        const int start = i;
        while (i < text.size() && !text.at(i).isSpace()) {
            ++i;
        }
        if (i > start) {
            // The sample field holds ms here: paced speech has no samples.
            words.append({qint64(words.size()) * wordMs, start, i - start});
        }
    }
    return words;
}

} // namespace

SpeechSession::SpeechSession(TimerSource& timers, speech::AudioMixer& mixer,
                             speech::Utterance utterance)
    : m_timer(timers.createTimer([this] { tick(); })), m_mixer(&mixer),
      m_shownText(std::move(utterance.shownText)), m_words(std::move(utterance.words)),
      m_cues(std::move(utterance.mouth)), m_pcm(std::move(utterance.pcm))
{
    connect(m_mixer, &speech::AudioMixer::finished, this, [this](speech::SourceId id) {
        if (m_running && id == m_source) {
            finish();
        }
    });
}

SpeechSession::SpeechSession(TimerSource& timers, QString shownText, int wordsPerMinute)
    : m_timer(timers.createTimer([this] { tick(); })), m_shownText(std::move(shownText)),
      m_wordMs(60'000 / std::clamp(wordsPerMinute, MIN_PACED_WPM, MAX_PACED_WPM))
{
    m_words = paceWords(m_shownText, m_wordMs);
}

SpeechSession::~SpeechSession()
{
    stop();
}

void SpeechSession::start()
{
    m_running = true;
    if (m_mixer) {
        m_source = m_mixer->play(m_pcm);
        m_timer->start(FOLLOW_MS);
        return;
    }
    m_timer->start(0);
}

void SpeechSession::stop()
{
    if (!m_running) {
        return;
    }
    m_running = false;
    m_timer->stop();
    if (m_mixer) {
        m_mixer->stop(m_source);
    }
}

void SpeechSession::tick()
{
    if (!m_running) {
        return;
    }
    if (m_mixer) {
        // -1 once the source is over; the mixer's finished() ends the session then.
        const qint64 us = m_mixer->positionUs(m_source);
        if (us >= 0) {
            follow(us * speech::MIXER_SAMPLE_RATE / 1'000'000);
        }
        m_timer->start(FOLLOW_MS);
        return;
    }
    const qint64 total = qint64(m_words.size()) * m_wordMs;
    if (m_elapsedMs >= total) {
        finish();
        return;
    }
    follow(m_elapsedMs);
    m_elapsedMs += PACED_MOUTH_MS;
    m_timer->start(PACED_MOUTH_MS);
}

void SpeechSession::follow(qint64 sample)
{
    int shown = std::max(m_shownLength, 0);
    for (const auto& word : std::as_const(m_words)) {
        if (word.sample <= sample) {
            shown = std::max(shown, word.shownStart + word.shownLength);
        }
    }
    speech::Mouth mouth = speech::Mouth::Closed;
    if (m_mixer) {
        for (const auto& cue : std::as_const(m_cues)) {
            if (cue.sample > sample) {
                break;
            }
            mouth = cue.mouth;
        }
    } else if (sample % m_wordMs < m_wordMs * PACED_OPEN_PERCENT / 100) {
        mouth = PACED_MOUTHS.at(size_t(sample / PACED_MOUTH_MS) % PACED_MOUTHS.size());
    }
    report(shown, mouth);
}

void SpeechSession::report(int shownLength, speech::Mouth mouth)
{
    if (shownLength != m_shownLength) {
        m_shownLength = shownLength;
        emit shownChanged(shownLength);
    }
    if (mouth != m_mouth) {
        m_mouth = mouth;
        emit mouthChanged(mouth);
    }
}

void SpeechSession::finish()
{
    m_running = false;
    m_timer->stop();
    report(int(m_shownText.size()), speech::Mouth::Closed);
    emit finished();
}

} // namespace engine::runtime
