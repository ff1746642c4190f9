#include "engine/speech/audio_mixer.h"

#include <algorithm>

#include "engine/acs/wave.h"

namespace engine::speech {

namespace {

// Linear interpolation to the mixer rate; good enough for short character sound effects.
Pcm resample(const QList<qint16>& in, int rate)
{
    if (in.isEmpty())
        return {};
    const qsizetype outFrames = qsizetype(qint64(in.size()) * MIXER_SAMPLE_RATE / rate);
    Pcm out(outFrames);
    for (qsizetype i = 0; i < outFrames; ++i) {
        const qint64 num = qint64(i) * rate; // position in input frames, times MIXER_SAMPLE_RATE
        const qsizetype j = qsizetype(num / MIXER_SAMPLE_RATE);
        const qint64 frac = num % MIXER_SAMPLE_RATE;
        const qint32 a = in[j];
        const qint32 b = j + 1 < in.size() ? in[j + 1] : a;
        out[i] = qint16(std::clamp<qint64>(a + (b - a) * frac / MIXER_SAMPLE_RATE, -32768, 32767));
    }
    return out;
}

} // namespace

DecodedWav decodeWav(QByteArrayView wav)
{
    const acs::Result<acs::Sound> sound = acs::readWave(wav);
    DecodedWav result;
    if (!sound) {
        result.error = sound.error().what;
        return result;
    }
    result.pcm = resample(sound.value().samples, sound.value().sampleRate);
    return result;
}

} // namespace engine::speech
