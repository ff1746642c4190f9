#include <QTest>
#include <QtEndian>

#include "engine/acs/wave.h"
#include "engine/speech/audio_mixer.h"

using namespace engine::speech;
using engine::acs::WaveEncoding;
using engine::acs::writeWave;

namespace {

// A copy of a canonical 44-byte file with the header field at `at` set to `value`.
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
    // -1 frames: the file is refused and nothing plays.
    void convertsExactSamples_data()
    {
        QTest::addColumn<QByteArray>("wav");
        QTest::addColumn<int>("frames");
        QTest::addColumn<int>("value"); // every output sample

        const QByteArray mono = writeWave(QList<qint16>(4410, -1234), 22050);
        QTest::newRow("16-bit as it is") << mono << 4410 << -1234;
        QTest::newRow("8-bit, 11025 Hz")
            << writeWave(QList<qint16>(1000, 16384), 11025, WaveEncoding::Pcm8) << 2000 << 16384;
        // Alternating samples read as the two channels of half as many frames at 44100 Hz.
        QList<qint16> pairs;
        for (int i = 0; i < 4410; ++i)
            pairs << 1000 << 3000;
        const QByteArray stereo =
            patched(patched(patched(writeWave(pairs, 44100), 22, quint16(2)), 28, quint32(176400)),
                    32, quint16(4));
        QTest::newRow("stereo mixed down") << stereo << 2205 << 2000;
        QTest::newRow("RIFF size wrong") << patched(mono, 4, quint32(0xFFFF)) << 4410 << -1234;
        QTest::newRow("empty") << QByteArray() << -1 << 0;
        QTest::newRow("rate under 4 kHz") << patched(mono, 24, quint32(3999)) << -1 << 0;
    }

    void convertsExactSamples()
    {
        QFETCH(QByteArray, wav);
        QFETCH(int, frames);
        QFETCH(int, value);
        const DecodedWav decoded = decodeWav(wav);
        QCOMPARE(decoded.ok(), frames >= 0);
        QCOMPARE(decoded.pcm, Pcm(std::max(frames, 0), qint16(value)));
    }

    // Whatever arrived of the data plays; a header cut short plays nothing.
    void neverFailsBadlyOnAnyTruncation()
    {
        const QByteArray wav = writeWave(QList<qint16>(100, 77), 22050);
        for (qsizetype n = 0; n <= wav.size(); ++n) {
            const DecodedWav decoded = decodeWav(QByteArrayView(wav).first(n));
            QCOMPARE(decoded.pcm, Pcm(std::max<qsizetype>(0, (n - 44) / 2), 77));
        }
    }
};

QTEST_GUILESS_MAIN(TestWavDecode)
#include "test_wav_decode.moc"
