#include "engine/speech/espeak_synthesis.h"

#include <espeak-ng/speak_lib.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <mutex>

namespace engine::speech {

namespace {

// What one espeak_Synth call reports back; set while the engine lock is held.
struct Capture
{
    Pcm* pcm = nullptr;
    QList<espeak_EVENT> events;
    const CancelCheck* cancelled = nullptr;
};

// espeak-ng is one global engine: these belong to it and are only touched under s_engineLock.
// It is initialised once for the process and lives until the process ends.
std::mutex s_engineLock;
int s_sampleRate = 0;
QByteArray s_voiceName;
Capture* s_capture = nullptr;

int onSynth(short* wav, int sampleCount, espeak_EVENT* events)
{
    if (wav != nullptr && sampleCount > 0)
        s_capture->pcm->append(QList<qint16>(wav, wav + sampleCount));
    for (const espeak_EVENT* e = events; e->type != espeakEVENT_LIST_TERMINATED; ++e)
        s_capture->events.append(*e);
    return (*s_capture->cancelled && (*s_capture->cancelled)()) ? 1 : 0;
}

bool ensureEngine()
{
    if (s_sampleRate == 0) {
        s_sampleRate =
            espeak_Initialize(AUDIO_OUTPUT_SYNCHRONOUS, 0, nullptr,
                              espeakINITIALIZE_PHONEME_EVENTS | espeakINITIALIZE_DONT_EXIT);
        if (s_sampleRate > 0)
            espeak_SetSynthCallback(onSynth);
    }
    return s_sampleRate == MIXER_SAMPLE_RATE;
}

struct LanguageVoice
{
    int languageId;
    const char* voice;
};

// Full ids first; a dialect we do not know falls back on its primary language (low 10 bits).
constexpr LanguageVoice LANGUAGE_VOICES[] = {
    {0x0409, "en-us"}, {0x0809, "en"},     {0x0c09, "en"},    {0x1009, "en-us"}, {0x0407, "de"},
    {0x040c, "fr-fr"}, {0x0c0c, "fr-fr"},  {0x080c, "fr-be"}, {0x100c, "fr-ch"}, {0x0c0a, "es"},
    {0x040a, "es"},    {0x080a, "es-419"}, {0x0410, "it"},    {0x0413, "nl"},    {0x0416, "pt-br"},
    {0x0816, "pt"},    {0x0419, "ru"},     {0x0411, "ja"},    {0x0412, "ko"},    {0x0804, "cmn"},
    {0x0404, "cmn"},   {0x041d, "sv"},     {0x0406, "da"},    {0x0414, "nb"},    {0x040b, "fi"},
    {0x0415, "pl"},    {0x0405, "cs"},     {0x040e, "hu"},    {0x041f, "tr"},    {0x0408, "el"},
    {0x040d, "he"},    {0x0401, "ar"},
};

const char* languageVoice(int languageId)
{
    for (const LanguageVoice& lv : LANGUAGE_VOICES) {
        if (lv.languageId == languageId)
            return lv.voice;
    }
    for (const LanguageVoice& lv : LANGUAGE_VOICES) {
        if ((lv.languageId & 0x3ff) == (languageId & 0x3ff))
            return lv.voice;
    }
    return "en-us";
}

struct PhonemeMouth
{
    const char* phoneme;
    Mouth mouth;
};

// espeak's English mnemonics grouped as the mouth overlays are drawn: bilabials and silence
// closed; open vowels wide; rounded vowels narrow.
constexpr PhonemeMouth PHONEME_MOUTHS[] = {
    {"p", Mouth::Closed},   {"b", Mouth::Closed},  {"m", Mouth::Closed},  {"a", Mouth::Wide2},
    {"a#", Mouth::Wide2},   {"aa", Mouth::Wide2},  {"@", Mouth::Wide2},   {"@2", Mouth::Wide2},
    {"@5", Mouth::Wide2},   {"@L", Mouth::Wide2},  {"V", Mouth::Wide2},   {"3", Mouth::Wide2},
    {"3:", Mouth::Wide2},   {"A:", Mouth::Wide4},  {"A", Mouth::Wide4},   {"A@", Mouth::Wide4},
    {"E", Mouth::Wide3},    {"e", Mouth::Wide3},   {"eI", Mouth::Wide3},  {"e@", Mouth::Wide3},
    {"U", Mouth::Wide3},    {"aI", Mouth::Wide3},  {"aI@", Mouth::Wide3}, {"aI3", Mouth::Wide3},
    {"O:", Mouth::Medium},  {"O", Mouth::Medium},  {"0", Mouth::Medium},  {"O@", Mouth::Medium},
    {"o@", Mouth::Medium},  {"aU", Mouth::Medium}, {"i", Mouth::Medium},  {"i:", Mouth::Medium},
    {"I", Mouth::Medium},   {"I2", Mouth::Medium}, {"I#", Mouth::Medium}, {"i@", Mouth::Medium},
    {"i@3", Mouth::Medium}, {"j", Mouth::Medium},  {"w", Mouth::Narrow},  {"u:", Mouth::Narrow},
    {"U@", Mouth::Narrow},  {"oU", Mouth::Narrow}, {"OI", Mouth::Narrow}, {"o", Mouth::Narrow},
    {"u", Mouth::Narrow},
};

// espeak parameters: volume 0..200 (100 normal), pitch and range 0..100 (50 normal).
constexpr int NORMAL_VOLUME = 100;
constexpr int NORMAL_PITCH = 50;
constexpr int NORMAL_RANGE = 50;

// Measured on the English voices: the pitch parameter spans about one octave over 0..100, with
// a median voice pitch of about 106 Hz (male, neutral) or 195 Hz (female) at 50. Pitches past
// the ends are clamped: the engine cannot go further.
int pitchParameter(int hz, int gender)
{
    if (hz <= 0)
        return NORMAL_PITCH;
    const double reference = gender == 1 ? 195.0 : 106.0;
    const double p = NORMAL_PITCH + 100.0 * std::log2(hz / reference);
    return std::clamp(int(std::lround(p)), 0, 100);
}

void speakPiece(const SpeechPiece& piece, const VoiceSettings& voice, Utterance& out,
                const CancelCheck& cancelled)
{
    const QByteArray name = espeakVoiceName(voice.languageId, voice.gender, piece.style.character);
    if (name != s_voiceName) {
        if (espeak_SetVoiceByName(name.constData()) != EE_OK)
            espeak_SetVoiceByName("en-us");
        s_voiceName = name;
    }
    const SpeechStyle& style = piece.style;
    int rate = style.speedWpm > 0   ? style.speedWpm
               : voice.speedWpm > 0 ? voice.speedWpm
                                    : espeakRATE_NORMAL;
    int volume = style.volume >= 0 ? int(std::lround(NORMAL_VOLUME * style.volume / 65535.0))
                                   : NORMAL_VOLUME;
    int pitch = pitchParameter(style.pitchHz > 0 ? style.pitchHz : voice.pitchHz, voice.gender);
    if (style.emphasis) {
        rate = rate * 85 / 100;
        volume = volume * 5 / 4;
        pitch += 15;
    }
    espeak_SetParameter(espeakRATE, std::clamp(rate, espeakRATE_MINIMUM, espeakRATE_MAXIMUM), 0);
    espeak_SetParameter(espeakVOLUME, std::clamp(volume, 0, 200), 0);
    espeak_SetParameter(espeakPITCH, std::clamp(pitch, 0, 100), 0);
    espeak_SetParameter(espeakRANGE, style.character == VoiceCharacter::Monotone ? 0 : NORMAL_RANGE,
                        0);

    // Events count characters (code points) from 1; map them back to QString indexes.
    QList<int> indexOfCodePoint;
    for (int i = 0; i < piece.spoken.size(); ++i) {
        if (!piece.spoken[i].isLowSurrogate())
            indexOfCodePoint.append(i);
    }
    indexOfCodePoint.append(int(piece.spoken.size()));
    auto toIndex = [&](int codePoint) {
        return indexOfCodePoint[std::clamp(codePoint, 0, int(indexOfCodePoint.size()) - 1)];
    };

    const qint64 base = out.pcm.size();
    Capture capture;
    capture.pcm = &out.pcm;
    capture.cancelled = &cancelled;
    s_capture = &capture;
    const QByteArray utf8 = piece.spoken.toUtf8();
    espeak_Synth(utf8.constData(), size_t(utf8.size()) + 1, 0, POS_CHARACTER, 0, espeakCHARS_UTF8,
                 nullptr, nullptr);
    s_capture = nullptr;

    const qint64 end = out.pcm.size();
    auto at = [&](int sample) { return std::clamp(base + sample, base, end); };
    QList<SpokenWord> words;
    for (const espeak_EVENT& e : std::as_const(capture.events)) {
        if (e.type == espeakEVENT_PHONEME) {
            const auto phoneme = QByteArrayView(e.id.string, qstrnlen(e.id.string, 8));
            out.mouth.append({at(e.sample), mouthForPhoneme(phoneme)});
        } else if (e.type == espeakEVENT_WORD && e.text_position > 0 && e.length > 0) {
            words.append({toIndex(e.text_position - 1),
                          toIndex(e.text_position - 1 + std::max(e.length, 1)), at(e.sample)});
        }
    }
    markWords(out, piece, words);
}

} // namespace

Mouth mouthForPhoneme(QByteArrayView phoneme)
{
    if (phoneme.isEmpty() || phoneme.front() == '_')
        return Mouth::Closed;
    for (const PhonemeMouth& pm : PHONEME_MOUTHS) {
        if (phoneme == QByteArrayView(pm.phoneme))
            return pm.mouth;
    }
    // Other languages' phonemes: judge by the first letter; consonants get the small opening.
    switch (phoneme.front()) {
    case 'a':
        return Mouth::Wide2;
    case 'A':
        return Mouth::Wide4;
    case 'e':
    case 'E':
        return Mouth::Wide3;
    case 'i':
    case 'I':
    case 'y':
    case 'Y':
    case 'o':
    case 'O':
    case '0':
        return Mouth::Medium;
    case 'u':
    case 'U':
        return Mouth::Narrow;
    default:
        return Mouth::Wide1;
    }
}

QByteArray espeakVoiceName(int languageId, int gender, VoiceCharacter character)
{
    QByteArray name(languageVoice(languageId));
    const bool female = gender == 1;
    if (character == VoiceCharacter::Whisper)
        name += female ? "+whisperf" : "+whisper";
    else if (female)
        name += "+f3";
    return name;
}

bool isEnglish(int languageId)
{
    // Unknown languages are spoken by the US English voice, so they count as English.
    return QByteArrayView(languageVoice(languageId)).startsWith("en");
}

Utterance synthesizeScript(const SpeechScript& script, const VoiceSettings& voice,
                           const CancelCheck& cancelled)
{
    const std::lock_guard<std::mutex> lock(s_engineLock);
    if (!ensureEngine()) {
        Utterance out;
        out.shownText = script.shownText;
        out.error = QStringLiteral("The espeak-ng speech engine could not be started.");
        return out;
    }
    return speakScript(script, cancelled, [&](const SpeechPiece& piece, Utterance& out) {
        speakPiece(piece, voice, out, cancelled);
    });
}

} // namespace engine::speech
