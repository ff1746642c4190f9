#include "engine/speech/flite_synthesis.h"

#include <algorithm>
#include <cmath>
#include <mutex>
#include <numeric>
#include <vector>

extern "C" {
#include <flite.h>
cst_voice* register_cmu_us_slt(const char* voxdir);
cst_voice* register_cmu_us_awb(const char* voxdir);
}

namespace engine::speech {

namespace {

// A voice and the mean pitches it is held to. Over 20 random times each, the recogniser of the
// understanding benchmark heard 19 or 20 exactly from slt at every mean from 80 to 420 Hz and
// 20 from awb from 35 to 320 Hz; awb at 400 Hz and slt at 60 Hz got 18. `naturalHz` is the
// median pitch of its output when no mean is asked for.
struct VoiceRange
{
    const char* name;
    cst_voice* (*load)(const char*);
    double lowestHz;
    double highestHz;
    double naturalHz;
};
constexpr VoiceRange FEMALE = {"slt", register_cmu_us_slt, 80, 420, 165};
constexpr VoiceRange MALE = {"awb", register_cmu_us_awb, 50, 320, 135};
// A neutral character with a baseline at least this high gets the female voice.
constexpr int NEUTRAL_FEMALE_FROM_HZ = 165;
// The voices' own rate in words per minute, on the scale character files are made for (espeak-ng's:
// a passage flite reads in 14.6 s takes espeak-ng 15.2 s at 175), and the stretches that stay
// understood (awb at 0.6 was heard right 18 times of 20, at 0.5 15 times).
constexpr double NATURAL_WPM = 180;
constexpr double FASTEST_STRETCH = 0.75;
constexpr double SLOWEST_STRETCH = 2.0;

// Silence kept before and after each chunk, in seconds.
constexpr double KEPT_LEAD_S = 0.05;
constexpr double KEPT_TAIL_S = 0.1;

// Longest text handed to flite at once: a long text is spoken in chunks so that a cancelled
// request stops soon and no single call runs for long.
constexpr int CHUNK_CHARS = 200;

// flite's voices and features belong to the process: only touched under s_fliteLock.
std::mutex s_fliteLock;

cst_voice* loadedVoice(const VoiceRange& range)
{
    static bool initialised = false;
    static cst_voice* female = nullptr;
    static cst_voice* male = nullptr;
    if (!initialised) {
        flite_init();
        initialised = true;
    }
    cst_voice*& voice = &range == &FEMALE ? female : male;
    if (voice == nullptr)
        voice = range.load(nullptr);
    return voice;
}

const VoiceRange& rangeFor(const VoiceSettings& voice)
{
    if (voice.gender == 1 || (voice.gender == 0 && voice.pitchHz >= NEUTRAL_FEMALE_FROM_HZ))
        return FEMALE;
    return MALE;
}

// flite reads plain ASCII; every other character becomes its base letter or a blank, one for
// one, so that positions in the result are positions in the text.
QByteArray asciiFor(QStringView text)
{
    QByteArray ascii(text.size(), ' ');
    for (qsizetype i = 0; i < text.size(); ++i) {
        QChar c = text[i];
        if (c.unicode() >= 128 && !c.decomposition().isEmpty())
            c = c.decomposition().front();
        if (c.unicode() >= 32 && c.unicode() < 127)
            ascii[i] = char(c.unicode());
    }
    return ascii;
}

// Ends of the chunks of `text`: each sentence alone, a long one cut at a blank.
QList<qsizetype> chunkEnds(const QByteArray& text)
{
    QList<qsizetype> ends;
    qsizetype start = 0;
    for (qsizetype i = 1; i <= text.size(); ++i) {
        if (i == text.size() || (text[i] == ' ' && QByteArrayView(".!?;").contains(text[i - 1]))) {
            ends.append(i);
            start = i;
        } else if (i - start >= CHUNK_CHARS) {
            const qsizetype blank = text.lastIndexOf(' ', i);
            start = blank > start ? blank : i;
            ends.append(start);
        }
    }
    return ends;
}

// Breath instead of voice: each short frame is rebuilt as noise through the frame's own
// spectral envelope (linear prediction), with the frame's energy. Overlapping Hann frames at
// half a frame apart add back up to the original level.
void whisper(std::vector<float>& samples, int sampleRate)
{
    const int frame = sampleRate / 50;
    const int hop = frame / 2;
    constexpr int ORDER = 18;
    constexpr double WHISPER_WIDENING = 0.94;
    std::vector<float> out(samples.size() + frame, 0.0F);
    std::vector<double> window(frame);
    for (int i = 0; i < frame; ++i)
        window[i] = 0.5 - 0.5 * std::cos(2 * M_PI * i / frame);
    quint32 noiseState = 12345;
    auto noise = [&] {
        noiseState = noiseState * 1664525U + 1013904223U;
        return double(noiseState >> 8) / double(1U << 24) * 2.0 - 1.0;
    };
    std::vector<double> x(frame), r(ORDER + 1), a(ORDER + 1), y(frame);
    for (size_t start = 0; start < samples.size(); start += hop) {
        double energy = 0;
        for (int i = 0; i < frame; ++i) {
            x[i] = (start + i < samples.size() ? samples[start + i] : 0.0) * window[i];
            energy += x[i] * x[i];
        }
        if (energy < 1e-3)
            continue;
        for (int k = 0; k <= ORDER; ++k) {
            r[k] = 0;
            for (int i = k; i < frame; ++i)
                r[k] += x[i] * x[i - k];
        }
        // Levinson-Durbin: a[1..ORDER] predict a sample from the ones before it.
        std::fill(a.begin(), a.end(), 0.0);
        double error = r[0] * (1 + 1e-9);
        for (int i = 1; i <= ORDER && error > 0; ++i) {
            double k = r[i];
            for (int j = 1; j < i; ++j)
                k -= a[j] * r[i - j];
            k /= error;
            std::vector<double> previous(a.begin(), a.end());
            a[i] = k;
            for (int j = 1; j < i; ++j)
                a[j] = previous[j] - k * previous[i - j];
            error *= 1 - k * k;
        }
        // Wider formants, as breath has them: a pure noise through sharp resonances would
        // still ring like a voice.
        double widening = 1;
        for (int j = 1; j <= ORDER; ++j) {
            widening *= WHISPER_WIDENING;
            a[j] *= widening;
        }
        double made = 0;
        for (int i = 0; i < frame; ++i) {
            double v = noise();
            for (int j = 1; j <= ORDER && j <= i; ++j)
                v += a[j] * y[i - j];
            y[i] = v;
            made += (v * window[i]) * (v * window[i]);
        }
        const double gain = made > 0 ? std::sqrt(energy / made) : 0;
        for (int i = 0; i < frame; ++i)
            out[start + i] += float(y[i] * window[i] * window[i] * gain);
    }
    out.resize(samples.size());
    samples = std::move(out);
}

// Band-limited resampling (windowed sinc) from the voice's rate to the mixer's. The rates are
// in a small ratio (16000:22050 is 320:441), so each output sample falls on one of `up` phases
// whose weights are worked out once.
void appendResampled(const std::vector<float>& in, int fromRate, float gain, Pcm& out)
{
    constexpr int HALF_TAPS = 8;
    const int common = std::gcd(fromRate, MIXER_SAMPLE_RATE);
    const qint64 up = MIXER_SAMPLE_RATE / common;
    const qint64 down = fromRate / common;
    std::vector<double> weights(size_t(up) * 2 * HALF_TAPS);
    for (qint64 phase = 0; phase < up; ++phase) {
        for (int j = 0; j < 2 * HALF_TAPS; ++j) {
            const double d = double(phase) / double(up) + HALF_TAPS - 1 - j;
            const double sinc = d == 0 ? 1.0 : std::sin(M_PI * d) / (M_PI * d);
            weights[size_t(phase * 2 * HALF_TAPS + j)] =
                sinc * (0.5 + 0.5 * std::cos(M_PI * d / HALF_TAPS));
        }
    }
    const qint64 count = qint64(in.size()) * up / down;
    out.reserve(out.size() + count);
    for (qint64 n = 0; n < count; ++n) {
        const qint64 first = n * down / up - HALF_TAPS + 1;
        const double* w = &weights[size_t((n * down % up) * 2 * HALF_TAPS)];
        double sum = 0;
        for (int j = 0; j < 2 * HALF_TAPS; ++j) {
            const qint64 k = first + j;
            if (k >= 0 && k < qint64(in.size()))
                sum += in[size_t(k)] * w[j];
        }
        out.append(qint16(std::clamp(sum * gain, -32768.0, 32767.0)));
    }
}

void speakPiece(const SpeechPiece& piece, const VoiceSettings& voice, cst_voice* flite,
                Utterance& out, const CancelCheck& cancelled)
{
    const SpeechStyle& style = piece.style;
    const FliteVoiceChoice choice =
        chooseFliteVoice(voice, style.pitchHz > 0 ? style.pitchHz : voice.pitchHz,
                         style.speedWpm > 0 ? style.speedWpm : voice.speedWpm);
    double pitch = choice.pitchHz;
    double stretch = choice.durationStretch;
    float gain = style.volume >= 0 ? float(style.volume) / 65535.0F : 1.0F;
    if (style.emphasis) {
        pitch *= 1.15;
        stretch /= 0.85;
        gain *= 1.25F;
    }
    if (style.character == VoiceCharacter::Whisper)
        gain *= 0.7F;
    feat_set_float(flite->features, "int_f0_target_mean", float(pitch));
    feat_set_float(flite->features, "duration_stretch", float(stretch));
    // A monotone voice keeps its mean pitch and loses the melody around it.
    if (style.character == VoiceCharacter::Monotone)
        feat_set_float(flite->features, "int_f0_target_stddev", 0.0F);
    else
        feat_remove(flite->features, "int_f0_target_stddev");

    const QByteArray text = asciiFor(piece.spoken);
    QList<SpokenWord> words;
    qsizetype chunkStart = 0;
    for (const qsizetype chunkEnd : chunkEnds(text)) {
        if (cancelled && cancelled())
            break;
        const QByteArray chunk = text.mid(chunkStart, chunkEnd - chunkStart);
        const qsizetype offset = chunkStart;
        chunkStart = chunkEnd;
        if (chunk.trimmed().isEmpty())
            continue;
        cst_utterance* utt = flite_synth_text(chunk.constData(), flite);
        const cst_wave* wave = utt ? utt_wave(utt) : nullptr;
        if (wave == nullptr || wave->num_samples <= 0 || wave->sample_rate <= 0) {
            if (utt)
                delete_utterance(utt);
            continue;
        }
        // flite pads each chunk with silence at both ends; a little of it is kept, so that
        // pieces and pauses follow each other as the text has them.
        cst_relation* segments = utt_relation(utt, "Segment");
        const cst_item* first = relation_head(segments);
        const cst_item* last = relation_tail(segments);
        const double total = double(wave->num_samples) / wave->sample_rate;
        double keepFrom = 0;
        double keepTo = total;
        if (first && QByteArrayView(item_feat_string(first, "name")) == "pau")
            keepFrom = std::max(0.0, item_feat_float(first, "end") - KEPT_LEAD_S);
        if (last && item_prev(last) && QByteArrayView(item_feat_string(last, "name")) == "pau")
            keepTo =
                std::clamp(item_feat_float(item_prev(last), "end") + KEPT_TAIL_S, keepFrom, total);
        const qint64 base = out.pcm.size();
        std::vector<float> samples(wave->samples + qint64(keepFrom * wave->sample_rate),
                                   wave->samples + qint64(keepTo * wave->sample_rate));
        if (style.character == VoiceCharacter::Whisper)
            whisper(samples, wave->sample_rate);
        appendResampled(samples, wave->sample_rate, gain, out.pcm);
        const qint64 end = out.pcm.size();
        auto at = [&](double seconds) {
            const auto sample = qint64(std::lround((seconds - keepFrom) * MIXER_SAMPLE_RATE));
            return std::clamp(base + sample, base, end);
        };

        // Each phone shapes the mouth from the end of the one before it.
        double phoneStart = 0;
        for (const cst_item* s = first; s; s = item_next(s)) {
            out.mouth.append({at(phoneStart), mouthForFlitePhone(item_feat_string(s, "name"))});
            phoneStart = item_feat_float(s, "end");
        }
        // A word is shown once the phone before its first one has ended: the silence before
        // it, or the previous word's last phone.
        qsizetype cursor = 0;
        for (const cst_item* t = relation_head(utt_relation(utt, "Token")); t; t = item_next(t)) {
            const cst_item* firstWord = item_daughter(t);
            const QByteArray name(item_feat_string(t, "name"));
            const qsizetype found = name.isEmpty() ? -1 : chunk.indexOf(name, cursor);
            if (firstWord == nullptr || found < 0)
                continue;
            cursor = found + name.size();
            const double startsAt =
                ffeature_float(firstWord, "R:SylStructure.daughter1.daughter1.R:Segment.p.end");
            words.append({int(offset + found), int(offset + cursor), at(startsAt)});
        }
        delete_utterance(utt);
    }
    markWords(out, piece, words);
}

struct PhoneMouth
{
    const char* phone;
    Mouth mouth;
};

// The US English phones grouped as the mouth overlays are drawn: lips together closed, open
// vowels wide, rounded ones narrow, other consonants barely open.
constexpr PhoneMouth PHONE_MOUTHS[] = {
    {"pau", Mouth::Closed}, {"p", Mouth::Closed},  {"b", Mouth::Closed},  {"m", Mouth::Closed},
    {"ae", Mouth::Wide2},   {"ah", Mouth::Wide2},  {"ax", Mouth::Wide2},  {"er", Mouth::Wide2},
    {"aa", Mouth::Wide4},   {"eh", Mouth::Wide3},  {"ey", Mouth::Wide3},  {"ay", Mouth::Wide3},
    {"uh", Mouth::Wide3},   {"ao", Mouth::Medium}, {"aw", Mouth::Medium}, {"ih", Mouth::Medium},
    {"iy", Mouth::Medium},  {"y", Mouth::Medium},  {"w", Mouth::Narrow},  {"uw", Mouth::Narrow},
    {"ow", Mouth::Narrow},  {"oy", Mouth::Narrow},
};

} // namespace

FliteVoiceChoice chooseFliteVoice(const VoiceSettings& voice, int pitchHz, int speedWpm)
{
    const VoiceRange& range = rangeFor(voice);
    FliteVoiceChoice choice;
    choice.name = range.name;
    choice.pitchHz = pitchHz > 0 ? std::clamp(double(pitchHz), range.lowestHz, range.highestHz)
                                 : range.naturalHz;
    if (speedWpm > 0)
        choice.durationStretch =
            std::clamp(NATURAL_WPM / speedWpm, FASTEST_STRETCH, SLOWEST_STRETCH);
    return choice;
}

std::optional<Utterance> synthesizeScriptWithFlite(const SpeechScript& script,
                                                   const VoiceSettings& voice,
                                                   const CancelCheck& cancelled)
{
    const std::lock_guard<std::mutex> lock(s_fliteLock);
    cst_voice* flite = loadedVoice(rangeFor(voice));
    if (flite == nullptr)
        return std::nullopt;
    return speakScript(script, cancelled, [&](const SpeechPiece& piece, Utterance& out) {
        speakPiece(piece, voice, flite, out, cancelled);
    });
}

Mouth mouthForFlitePhone(QByteArrayView phone)
{
    for (const PhoneMouth& pm : PHONE_MOUTHS) {
        if (phone == QByteArrayView(pm.phone))
            return pm.mouth;
    }
    return phone.isEmpty() ? Mouth::Closed : Mouth::Wide1;
}

} // namespace engine::speech
