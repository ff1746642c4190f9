#include <cmath>
#include <memory>

#include <QAudioDevice>
#include <QElapsedTimer>
#include <QMediaDevices>
#include <QSignalSpy>
#include <QTest>

#include "agentctl/speech/audio_mixer.h"

using namespace agentctl::speech;

// Plays through the real default output. In CI a PulseAudio null sink runs, so a missing
// device there is a failure, not a reason to skip.
class TestAudioDevice final : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void playsEverySourceToItsEnd_data();
    void playsEverySourceToItsEnd();
    void stoppedSourceNeverFinishes();

private:
    // One for all tests: a new stream on the null sink first waits out the sink's long period.
    std::unique_ptr<AudioMixer> m_mixer;
};

void TestAudioDevice::initTestCase()
{
    if (QMediaDevices::audioOutputs().isEmpty()) {
        if (qEnvironmentVariable("CI") == QLatin1String("true"))
            QFAIL("CI=true but there is no audio output (is the PulseAudio null sink running?)");
        QSKIP("no audio output device");
    }
    m_mixer = std::make_unique<AudioMixer>();
    QVERIFY2(!m_mixer->isSilent(), "the default device did not open");
}

void TestAudioDevice::playsEverySourceToItsEnd_data()
{
    QTest::addColumn<int>("firstMs");
    QTest::addColumn<int>("secondMs"); // 0 for one source

    QTest::newRow("one source") << 600 << 0;
    QTest::newRow("two overlapping sources") << 700 << 300;
}

void TestAudioDevice::playsEverySourceToItsEnd()
{
    QFETCH(int, firstMs);
    QFETCH(int, secondMs);

    AudioMixer& mixer = *m_mixer;
    QSignalSpy finished(&mixer, &AudioMixer::finished);

    auto tone = [](int ms, double hz) {
        Pcm pcm(qsizetype(ms) * MIXER_SAMPLE_RATE / 1000);
        for (qsizetype i = 0; i < pcm.size(); ++i)
            pcm[i] = qint16(8000 * std::sin(2 * M_PI * hz * double(i) / MIXER_SAMPLE_RATE));
        return pcm;
    };
    QElapsedTimer wall;
    wall.start();
    const SourceId first = mixer.play(tone(firstMs, 440));
    if (secondMs > 0)
        QVERIFY(mixer.play(tone(secondMs, 660)) != first);

    // The heard position only moves forward and never beyond the source.
    qint64 last = 0;
    while (mixer.isPlaying(first) && wall.elapsed() < 10'000) {
        const qint64 now = mixer.positionUs(first);
        QVERIFY(now >= last && now <= firstMs * 1000LL);
        last = now;
        QTest::qWait(5);
    }
    QTRY_COMPARE_WITH_TIMEOUT(finished.size(), secondMs > 0 ? 2 : 1, 10'000);
    QCOMPARE(finished.last().at(0).value<SourceId>(), first);
    // Heard, not merely handed over: the device took at least the source's own time.
    QVERIFY2(wall.elapsed() >= firstMs - 50, qPrintable(QString::number(wall.elapsed())));
}

void TestAudioDevice::stoppedSourceNeverFinishes()
{
    AudioMixer& mixer = *m_mixer;
    QSignalSpy finished(&mixer, &AudioMixer::finished);
    const SourceId voice = mixer.play(Pcm(MIXER_SAMPLE_RATE * 2, 3000));
    const SourceId sound = mixer.play(Pcm(MIXER_SAMPLE_RATE / 2, 1000));
    QTRY_VERIFY_WITH_TIMEOUT(mixer.positionUs(voice) > 100'000, 10'000);
    mixer.stop(voice);
    QCOMPARE(mixer.positionUs(voice), -1);
    QTRY_COMPARE_WITH_TIMEOUT(finished.size(), 1, 10'000);
    QCOMPARE(finished.at(0).at(0).value<SourceId>(), sound);
}

QTEST_GUILESS_MAIN(TestAudioDevice)
#include "test_audio_device.moc"
