#include "engine/speech/synthesis_worker.h"

#include "engine/speech/espeak_synthesis.h"

namespace engine::speech {

SynthesisWorker::SynthesisWorker(std::function<bool(Ticket)> cancelled)
    : m_cancelled(std::move(cancelled))
{}

void SynthesisWorker::synthesize(Ticket ticket, const QString& text, const VoiceSettings& voice)
{
    if (m_cancelled(ticket))
        return;
    SpeechScript script = parseSpeechText(text, isEnglish(voice.languageId));
    VoiceSettings spokenWith = voice;
    if (script.repeatLast) {
        // Repeated with its tags but without its bookmarks.
        script = m_lastScript;
        spokenWith = m_lastVoice;
        for (SpeechPiece& piece : script.pieces)
            piece.marks.clear();
    } else {
        m_lastScript = script;
        m_lastVoice = voice;
    }
    Utterance utterance =
        synthesizeScript(script, spokenWith, [this, ticket] { return m_cancelled(ticket); });
    utterance.ticket = ticket;
    if (!m_cancelled(ticket))
        emit done(utterance);
}

} // namespace engine::speech
