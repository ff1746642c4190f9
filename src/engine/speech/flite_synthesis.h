#pragma once

#include <optional>

#include <QByteArrayView>

#include "engine/speech/script_speaking.h"

// The flite side of the synthesizer, for English: its voices are far easier to understand than
// espeak-ng's. These run on the calling thread behind one lock, since flite's voices are shared
// by the whole process.
namespace engine::speech {

// The flite voice a character speaks with, and where its pitch and rate are held: past these
// ends the recogniser of the understanding benchmark stops hearing the time right.
struct FliteVoiceChoice
{
    const char* name = nullptr; // "slt" (female) or "awb" (male)
    double pitchHz = 0;         // mean pitch
    double durationStretch = 1; // 1 is the voice's own rate, 2 twice as slow
};

// The voice, mean pitch and rate for a character's voice block; tags (\Pit\ \Spd\) override the
// block's pitch and speed and are held to the same range.
[[nodiscard]] FliteVoiceChoice chooseFliteVoice(const VoiceSettings& voice, int pitchHz,
                                                int speedWpm);

// Speaks every piece of `script` like synthesizeScript(); nothing when the flite voice cannot
// be loaded, so that the caller can fall back on espeak-ng.
[[nodiscard]] std::optional<Utterance> synthesizeScriptWithFlite(const SpeechScript& script,
                                                                 const VoiceSettings& voice,
                                                                 const CancelCheck& cancelled = {});

// The mouth shape for a flite phone name (the US English phone set: "aa", "m", "pau", ...).
[[nodiscard]] Mouth mouthForFlitePhone(QByteArrayView phone);

} // namespace engine::speech
