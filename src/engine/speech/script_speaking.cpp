#include "engine/speech/script_speaking.h"

#include <algorithm>
#include <climits>

namespace engine::speech {

namespace {

// Time order, no repeats, closed at the end.
void tidyMouth(Utterance& out)
{
    std::stable_sort(out.mouth.begin(), out.mouth.end(),
                     [](const MouthCue& a, const MouthCue& b) { return a.sample < b.sample; });
    QList<MouthCue> cues;
    for (const MouthCue& cue : std::as_const(out.mouth)) {
        if (!cues.isEmpty() && cues.last().sample == cue.sample)
            cues.last().mouth = cue.mouth;
        else if (cues.isEmpty() || cues.last().mouth != cue.mouth)
            cues.append(cue);
    }
    if (cues.isEmpty() || cues.last().mouth != Mouth::Closed)
        cues.append({out.pcm.size(), Mouth::Closed});
    out.mouth = cues;
}

} // namespace

Utterance speakScript(const SpeechScript& script, const CancelCheck& cancelled,
                      const PieceSpeaker& speak)
{
    Utterance out;
    out.shownText = script.shownText;
    for (const SpeechPiece& piece : script.pieces) {
        if (cancelled && cancelled())
            break;
        if (piece.pauseMs > 0) {
            out.mouth.append({out.pcm.size(), Mouth::Closed});
            out.pcm.resize(out.pcm.size() + qsizetype(piece.pauseMs) * MIXER_SAMPLE_RATE / 1000);
            continue;
        }
        speak(piece, out);
    }
    tidyMouth(out);
    return out;
}

void markWords(Utterance& out, const SpeechPiece& piece, const QList<SpokenWord>& words)
{
    for (const SpokenWord& word : words) {
        // The engine's word can stop short of what the reader sees as one ("Don" of "Don't");
        // the balloon shows up to the next blank, punctuation included.
        int last = std::max(word.last, word.first + 1);
        while (last < piece.spoken.size() && !piece.spoken[last].isSpace())
            ++last;
        int shownStart = INT_MAX;
        int shownEnd = -1;
        for (int i = word.first; i < last && i < piece.shownOf.size(); ++i) {
            shownStart = std::min(shownStart, piece.shownOf[i].start);
            shownEnd = std::max(shownEnd, piece.shownOf[i].start + piece.shownOf[i].length);
        }
        if (shownEnd < 0)
            continue;
        // The words of one shown unit ("nine oh five" for "9:05") grow a single mark.
        if (!out.words.isEmpty() && out.words.last().shownStart <= shownStart &&
            shownStart < out.words.last().shownStart + out.words.last().shownLength) {
            WordMark& previous = out.words.last();
            previous.shownLength = std::max(previous.shownLength, shownEnd - previous.shownStart);
            continue;
        }
        out.words.append({word.sample, shownStart, shownEnd - shownStart});
    }
    for (const SpokenMark& m : piece.marks) {
        const auto next = std::find_if(words.begin(), words.end(), [&](const SpokenWord& w) {
            return w.first >= m.spokenOffset;
        });
        out.bookmarks.append({next == words.end() ? out.pcm.size() : next->sample, m.id});
    }
}

} // namespace engine::speech
