#pragma once

#include <functional>

#include <QList>

#include "engine/speech/speech_text.h"
#include "engine/speech/synthesizer.h"

// What both speech engines share: a script is spoken piece by piece into one utterance, and the
// words an engine reports are turned into the balloon's marks and the text's bookmarks.
namespace engine::speech {

// Returns true to abandon the synthesis at the next chunk.
using CancelCheck = std::function<bool()>;

// Appends the speech of one piece (never a pause) to the utterance: samples, mouth cues, and
// through markWords() its words.
using PieceSpeaker = std::function<void(const SpeechPiece& piece, Utterance& out)>;

// Speaks the pieces in order with `speak`, pauses as silence, until `cancelled` says so. The
// mouth cues come out in time order, each a change, closed at the end. The ticket is left 0.
[[nodiscard]] Utterance speakScript(const SpeechScript& script, const CancelCheck& cancelled,
                                    const PieceSpeaker& speak);

// A word as the engine heard it: spoken[first, last) of the piece, starting at `sample` of the
// utterance.
struct SpokenWord
{
    int first = 0;
    int last = 0;
    qint64 sample = 0;
};

// Adds the balloon's word marks for `words` (in time order) and places the piece's bookmarks on
// the word that follows each; a mark after the last word is reached at the end of the audio.
void markWords(Utterance& out, const SpeechPiece& piece, const QList<SpokenWord>& words);

} // namespace engine::speech
