#pragma once

#include <functional>

#include <QObject>

#include "engine/speech/speech_text.h"
#include "engine/speech/synthesizer.h"

namespace engine::speech {

// Lives on the synthesizer's thread and owns the use of the engine there.
class SynthesisWorker final : public QObject
{
    Q_OBJECT

public:
    // `cancelled` is asked from the worker thread; it must be thread-safe.
    explicit SynthesisWorker(std::function<bool(Ticket)> cancelled);

    // Runs on the worker thread (queued from Synthesizer::request).
    void synthesize(engine::speech::Ticket ticket, const QString& text,
                    const engine::speech::VoiceSettings& voice);

signals:
    void done(const engine::speech::Utterance& utterance);

private:
    std::function<bool(Ticket)> m_cancelled;
    // For \Lst\: the previous text, its tags and voice.
    SpeechScript m_lastScript;
    VoiceSettings m_lastVoice;
};

} // namespace engine::speech
