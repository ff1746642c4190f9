#include <cmath>

#include <QTest>
#include <QtEndian>

#include "agentctl/acs/wave.h"
#include "agentctl/speech/audio_mixer.h"

using namespace agentctl::speech;
using agentctl::acs::WaveEncoding;
using agentctl::acs::writeWave;

namespace {

// Offsets in a canonical 44-byte header: RIFF size, channels, byte rate, block size.
constexpr int RIFF_SIZE_AT = 4;
constexpr int CHANNELS_AT = 22;
constexpr int RATE_AT = 24;
constexpr int BYTE_RATE_AT = 28;
constexpr int BLOCK_AT = 32;

// `seconds` of a 500 Hz sine of the given peak.
QList<qint16> sine(int rate, double seconds, int peak)
{
    QList<qint16> out(qsizetype(rate * seconds));
    for (qsizetype i = 0; i < out.size(); ++i)
        out[i] = qint16(std::lround(peak * std::sin(2 * M_PI * 500 * double(i) / rate)));
    return out;
}

double rms(const Pcm& pcm)
{
    double sum = 0;
    for (const qint16 s : pcm)
        sum += double(s) * s;
    return pcm.isEmpty() ? 0 : std::sqrt(sum / double(pcm.size()));
}

template <typename T> QByteArray patched(QByteArray wav, int at, T value)
{
    qToLittleEndian(value, wav.data() + at);
    return wav;
}

} // namespace

class TestWavDecode final : public QObject
{
    Q_OBJECT

private slots:
    void decodesEveryCodecAtItsLengthAndLevel_data();
    void decodesEveryCodecAtItsLengthAndLevel();
    void convertsExactSamples_data();
    void convertsExactSamples();
    void rejectsWhatItCannotPlay_data();
    void rejectsWhatItCannotPlay();
    void neverFailsBadlyOnAnyTruncation();
};

// Half a second of sine, peak 16000 (RMS about 11314), in every codec characters use.
void TestWavDecode::decodesEveryCodecAtItsLengthAndLevel_data()
{
    QTest::addColumn<int>("encoding");
    QTest::addColumn<int>("rate");
    QTest::newRow("PCM 16-bit, 22050 Hz") << int(WaveEncoding::Pcm16) << 22050;
    QTest::newRow("PCM 8-bit, 11025 Hz") << int(WaveEncoding::Pcm8) << 11025;
    QTest::newRow("IMA ADPCM, 22050 Hz") << int(WaveEncoding::ImaAdpcm) << 22050;
    QTest::newRow("IMA ADPCM, 11025 Hz") << int(WaveEncoding::ImaAdpcm) << 11025;
    QTest::newRow("Microsoft ADPCM") << int(WaveEncoding::MsAdpcm) << 22050;
    QTest::newRow("mu-law, 8000 Hz") << int(WaveEncoding::MuLaw) << 8000;
    QTest::newRow("A-law, 44100 Hz") << int(WaveEncoding::ALaw) << 44100;
    QTest::newRow("GSM 6.10, 8000 Hz") << int(WaveEncoding::Gsm610) << 8000;
}

void TestWavDecode::decodesEveryCodecAtItsLengthAndLevel()
{
    QFETCH(int, encoding);
    QFETCH(int, rate);
    const DecodedWav decoded =
        decodeWav(writeWave(sine(rate, 0.5, 16000), rate, WaveEncoding(encoding)));
    QVERIFY2(decoded.ok(), qPrintable(decoded.error));
    // Block codecs end on a whole block: up to 80 ms more (GSM at 8 kHz); rounding a sample less.
    const qsizetype half = MIXER_SAMPLE_RATE / 2;
    QVERIFY2(decoded.pcm.size() >= half - 2 && decoded.pcm.size() <= half + MIXER_SAMPLE_RATE / 12,
             qPrintable(QString::number(decoded.pcm.size())));
    const double level = rms(decoded.pcm.first(half - 2));
    QVERIFY2(level > 16000 / M_SQRT2 * 0.9 && level < 16000 / M_SQRT2 * 1.1,
             qPrintable(QString::number(level)));
}

void TestWavDecode::convertsExactSamples_data()
{
    QTest::addColumn<QByteArray>("wav");
    QTest::addColumn<int>("frames");
    QTest::addColumn<int>("value"); // every output sample

    const QByteArray mono = writeWave(QList<qint16>(4410, -1234), 22050);
    QTest::newRow("16-bit as it is") << mono << 4410 << -1234;
    QTest::newRow("8-bit, 11025 Hz")
        << writeWave(QList<qint16>(1000, 16384), 11025, WaveEncoding::Pcm8) << 2000 << 16384;
    QTest::newRow("8000 Hz at full scale")
        << writeWave(QList<qint16>(800, 32767), 8000) << 2205 << 32767;
    // Alternating samples read as the two channels of half as many frames at 44100 Hz.
    QList<qint16> pairs;
    for (int i = 0; i < 4410; ++i)
        pairs << 1000 << 3000;
    QByteArray stereo = writeWave(pairs, 44100);
    stereo =
        patched(patched(patched(stereo, CHANNELS_AT, quint16(2)), BYTE_RATE_AT, quint32(176400)),
                BLOCK_AT, quint16(4));
    QTest::newRow("stereo mixed down") << stereo << 2205 << 2000;
    QTest::newRow("RIFF size wrong")
        << patched(mono, RIFF_SIZE_AT, quint32(0xFFFF)) << 4410 << -1234;
    QTest::newRow("data cut short by the blob") << mono.first(44 + 2 * 100) << 100 << -1234;
}

void TestWavDecode::convertsExactSamples()
{
    QFETCH(QByteArray, wav);
    QFETCH(int, frames);
    QFETCH(int, value);
    const DecodedWav decoded = decodeWav(wav);
    QVERIFY2(decoded.ok(), qPrintable(decoded.error));
    QCOMPARE(decoded.pcm.size(), frames);
    for (const qint16 s : decoded.pcm)
        QCOMPARE(int(s), value);
}

void TestWavDecode::rejectsWhatItCannotPlay_data()
{
    QTest::addColumn<QByteArray>("wav");
    const QByteArray good = writeWave(QList<qint16>(100, 5), 22050);
    QTest::newRow("empty") << QByteArray();
    QTest::newRow("not RIFF") << QByteArray(good).replace(0, 4, "RIFX");
    QTest::newRow("not WAVE") << QByteArray(good).replace(8, 4, "AVI ");
    QTest::newRow("no channels") << patched(good, CHANNELS_AT, quint16(0));
    QTest::newRow("rate under 4 kHz") << patched(good, RATE_AT, quint32(3999));
    QTest::newRow("rate over 192 kHz") << patched(good, RATE_AT, quint32(192'001));
}

void TestWavDecode::rejectsWhatItCannotPlay()
{
    QFETCH(QByteArray, wav);
    const DecodedWav decoded = decodeWav(wav);
    QVERIFY(!decoded.ok());
    QVERIFY(decoded.pcm.isEmpty());
}

// Whatever arrived of the data plays; a header cut short plays nothing.
void TestWavDecode::neverFailsBadlyOnAnyTruncation()
{
    const QByteArray wav = writeWave(QList<qint16>(100, 77), 22050);
    for (qsizetype n = 0; n <= wav.size(); ++n) {
        const DecodedWav decoded = decodeWav(QByteArrayView(wav).first(n));
        QCOMPARE(decoded.pcm.size(), std::max<qsizetype>(0, (n - 44) / 2));
        QVERIFY(decoded.ok() || decoded.pcm.isEmpty());
        for (const qint16 s : decoded.pcm)
            QCOMPARE(s, qint16(77));
    }
}

QTEST_GUILESS_MAIN(TestWavDecode)
#include "test_wav_decode.moc"
