#include "engine/speech/synthesis_worker.h"

#include "engine/speech/espeak_synthesis.h"
#include "engine/speech/flite_synthesis.h"

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
    const CancelCheck cancelled = [this, ticket] { return m_cancelled(ticket); };
    // flite speaks English far more clearly; espeak-ng speaks the other languages, and English
    // too when no flite voice can be loaded.
    std::optional<Utterance> spoken;
    if (isEnglish(spokenWith.languageId))
        spoken = synthesizeScriptWithFlite(script, spokenWith, cancelled);
    Utterance utterance =
        spoken ? *std::move(spoken) : synthesizeScript(script, spokenWith, cancelled);
    utterance.ticket = ticket;
    if (!m_cancelled(ticket))
        emit done(utterance);
}

} // namespace engine::speech
