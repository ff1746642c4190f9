#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QList>

#include "engine/acs/acs_model.h"

// The RIFF/WAVE sounds a character carries, read and written through libsndfile, so every
// codec real characters use plays: PCM, IMA ADPCM, ADPCM (WAVE format 2), µ-law, A-law and
// GSM 6.10.
namespace engine::acs {

// How the samples of a written WAVE file are stored.
enum class WaveEncoding
{
    Pcm8,
    Pcm16,
    ImaAdpcm,
    MsAdpcm,
    MuLaw,
    ALaw,
    Gsm610,
};

// One sound mixed down to mono, signed 16-bit samples.
struct Sound
{
    int sampleRate = 0; // Hz
    QList<qint16> samples;
};

// Any WAVE blob as stored in a character. The blob's own RIFF size is not trusted; a data chunk
// cut short by the end of the blob plays what is there. Anything else, or a rate outside what a
// character would carry, gives an error, never a crash.
[[nodiscard]] Result<Sound> readWave(QByteArrayView wave);
// A complete mono WAVE file. The same samples always give the same bytes.
[[nodiscard]] QByteArray writeWave(const QList<qint16>& samples, int sampleRate,
                                   WaveEncoding encoding = WaveEncoding::Pcm16);

} // namespace engine::acs
