#include <QTest>
#include <QtEndian>

#include "agentctl/speech/audio_mixer.h"

using namespace agentctl::speech;

namespace {

void putU16(QByteArray& b, quint16 v)
{
    char le[2];
    qToLittleEndian(v, le);
    b.append(le, 2);
}

void putU32(QByteArray& b, quint32 v)
{
    char le[4];
    qToLittleEndian(v, le);
    b.append(le, 4);
}

QByteArray chunk(const char* id, const QByteArray& body, qint64 declaredSize = -1)
{
    QByteArray c(id, 4);
    putU32(c, quint32(declaredSize < 0 ? body.size() : declaredSize));
    c += body;
    if (body.size() % 2 != 0)
        c += '\0';
    return c;
}

QByteArray fmtBody(quint16 tag, quint16 channels, quint32 rate, quint16 bits)
{
    QByteArray f;
    putU16(f, tag);
    putU16(f, channels);
    putU32(f, rate);
    putU32(f, rate * channels * bits / 8);
    putU16(f, quint16(channels * bits / 8));
    putU16(f, bits);
    return f;
}

QByteArray riff(const QByteArray& chunks)
{
    QByteArray w("RIFF");
    putU32(w, quint32(4 + chunks.size()));
    return w + "WAVE" + chunks;
}

// `frames` frames in which every channel holds `values[channel]`.
QByteArray samples(int bits, const QList<int>& values, int frames)
{
    QByteArray d;
    for (int i = 0; i < frames; ++i) {
        for (const int v : values) {
            if (bits == 8)
                d += char(quint8(v));
            else
                putU16(d, quint16(qint16(v)));
        }
    }
    return d;
}

QByteArray pcmWav(int bits, int rate, const QList<int>& values, int frames)
{
    return riff(chunk("fmt ", fmtBody(1, quint16(values.size()), quint32(rate), quint16(bits))) +
                chunk("data", samples(bits, values, frames)));
}

} // namespace

class TestWavDecode final : public QObject
{
    Q_OBJECT

private slots:
    void convertsToTheMixerFormat_data();
    void convertsToTheMixerFormat();
    void rejectsWhatItCannotPlay_data();
    void rejectsWhatItCannotPlay();
    void neverFailsBadlyOnAnyTruncation();
};

void TestWavDecode::convertsToTheMixerFormat_data()
{
    QTest::addColumn<QByteArray>("wav");
    QTest::addColumn<int>("frames");
    QTest::addColumn<int>("value"); // every output sample

    QTest::newRow("8-bit mono 11025") << pcmWav(8, 11025, {0xC0}, 1000) << 2000 << 16384;
    QTest::newRow("8-bit silence") << pcmWav(8, 22050, {0x80}, 500) << 500 << 0;
    QTest::newRow("8-bit stereo") << pcmWav(8, 22050, {0x00, 0xFF}, 300) << 300 << -128;
    QTest::newRow("16-bit mono 22050") << pcmWav(16, 22050, {-1234}, 700) << 700 << -1234;
    QTest::newRow("16-bit stereo 44100") << pcmWav(16, 44100, {1000, 3000}, 4410) << 2205 << 2000;
    QTest::newRow("16-bit mono 8000") << pcmWav(16, 8000, {32767}, 800) << 2205 << 32767;
    QTest::newRow("16-bit extremes") << pcmWav(16, 22050, {-32768, -32768}, 10) << 10 << -32768;

    QByteArray extensible = fmtBody(0xFFFE, 1, 22050, 16);
    putU16(extensible, 22);
    putU16(extensible, 16);
    putU32(extensible, 4);
    extensible += QByteArray::fromHex("0100000000001000800000aa00389b71");
    QTest::newRow("extensible PCM")
        << riff(chunk("fmt ", extensible) + chunk("data", samples(16, {77}, 100))) << 100 << 77;
    QTest::newRow("odd chunk before format")
        << riff(chunk("LIST", "abc") + chunk("fmt ", fmtBody(1, 1, 22050, 16)) +
                chunk("data", samples(16, {5}, 40)))
        << 40 << 5;
    QTest::newRow("data cut short by the blob")
        << riff(chunk("fmt ", fmtBody(1, 1, 22050, 16)) +
                chunk("data", samples(16, {9}, 50), 100'000))
        << 50 << 9;
    QTest::newRow("riff size wrong")
        << pcmWav(16, 22050, {3}, 60).replace(4, 4, QByteArray("\xff\xff\0\0", 4)) << 60 << 3;
    QTest::newRow("half a frame at the end")
        << riff(chunk("fmt ", fmtBody(1, 2, 22050, 16)) + chunk("data", samples(16, {4}, 21))) << 10
        << 4;
}

void TestWavDecode::convertsToTheMixerFormat()
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

    QTest::newRow("empty") << QByteArray();
    QTest::newRow("not RIFF") << QByteArray("RIFX\x10\0\0\0WAVEfmt ", 16);
    QTest::newRow("not WAVE") << riff("").replace(8, 4, "AVI ");
    QTest::newRow("ADPCM") << riff(chunk("fmt ", fmtBody(2, 1, 22050, 4)) +
                                   chunk("data", QByteArray(100, '\0')));
    QTest::newRow("24-bit") << riff(chunk("fmt ", fmtBody(1, 1, 22050, 24)) +
                                    chunk("data", QByteArray(99, '\0')));
    QTest::newRow("no channels") << riff(chunk("fmt ", fmtBody(1, 0, 22050, 16)) +
                                         chunk("data", QByteArray(100, '\0')));
    QTest::newRow("absurd rate") << pcmWav(16, 1, {0}, 10);
    QTest::newRow("format too short")
        << riff(chunk("fmt ", fmtBody(1, 1, 22050, 16).left(12)) + chunk("data", "\0\0"));
    QTest::newRow("data before format")
        << riff(chunk("data", samples(16, {1}, 10)) + chunk("fmt ", fmtBody(1, 1, 22050, 16)));
    QTest::newRow("no data") << riff(chunk("fmt ", fmtBody(1, 1, 22050, 16)));
    QTest::newRow("block size lies")
        << riff(chunk("fmt ", fmtBody(1, 1, 22050, 16)).replace(20 + 12, 2, "\x07\x00", 2) +
                chunk("data", samples(16, {1}, 10)));
}

void TestWavDecode::rejectsWhatItCannotPlay()
{
    QFETCH(QByteArray, wav);
    const DecodedWav decoded = decodeWav(wav);
    QVERIFY(!decoded.ok());
    QVERIFY(decoded.pcm.isEmpty());
}

void TestWavDecode::neverFailsBadlyOnAnyTruncation()
{
    const QByteArray wav = pcmWav(16, 11025, {100, 300}, 64);
    const qsizetype headerEnd = wav.indexOf("data") + 8;
    for (qsizetype n = 0; n <= wav.size(); ++n) {
        const DecodedWav decoded = decodeWav(QByteArrayView(wav).first(n));
        // Before the data chunk starts nothing can play; after it, whatever arrived plays.
        QCOMPARE(decoded.ok(), n >= headerEnd);
        if (decoded.ok()) {
            QCOMPARE(decoded.pcm.size(), (n - headerEnd) / 4 * 2);
            for (const qint16 s : decoded.pcm)
                QCOMPARE(s, qint16(200));
        }
    }
}

QTEST_GUILESS_MAIN(TestWavDecode)
#include "test_wav_decode.moc"
