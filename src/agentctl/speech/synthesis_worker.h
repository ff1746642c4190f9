#pragma once

#include <functional>

#include <QObject>

#include "agentctl/speech/speech_text.h"
#include "agentctl/speech/synthesizer.h"

namespace agentctl::speech {

// Lives on the synthesizer's thread and owns the use of the engine there.
class SynthesisWorker final : public QObject
{
    Q_OBJECT

public:
    // `cancelled` is asked from the worker thread; it must be thread-safe.
    explicit SynthesisWorker(std::function<bool(Ticket)> cancelled);

    // Runs on the worker thread (queued from Synthesizer::request).
    void synthesize(agentctl::speech::Ticket ticket, const QString& text,
                    const agentctl::speech::VoiceSettings& voice);

signals:
    void done(const agentctl::speech::Utterance& utterance);

private:
    std::function<bool(Ticket)> m_cancelled;
    // For \Lst\: the previous text, its tags and voice.
    SpeechScript m_lastScript;
    VoiceSettings m_lastVoice;
};

} // namespace agentctl::speech
