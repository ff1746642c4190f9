#pragma once

#include <QByteArray>
#include <QByteArrayView>

#include "engine/speech/script_speaking.h"

// The espeak-ng side of the synthesizer. These run on the calling thread; the engine is one
// state for the whole process, so calls are serialised behind one lock.
namespace engine::speech {

// Speaks every piece of `script` with `voice` and collects PCM, word marks, mouth cues and
// bookmarks. The ticket of the result is left 0.
[[nodiscard]] Utterance synthesizeScript(const SpeechScript& script, const VoiceSettings& voice,
                                         const CancelCheck& cancelled = {});

// The mouth shape for an espeak phoneme name (its own mnemonics, not IPA).
[[nodiscard]] Mouth mouthForPhoneme(QByteArrayView phoneme);

// The espeak voice for a language id, gender and voice character, e.g. "en-us+whisper".
[[nodiscard]] QByteArray espeakVoiceName(int languageId, int gender, VoiceCharacter character);

// True when the language id is spoken by an English voice (clock times are spelled out).
[[nodiscard]] bool isEnglish(int languageId);

} // namespace engine::speech
