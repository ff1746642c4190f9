#include <memory>
#include <numeric>

#include <QSignalSpy>
#include <QTest>

#include "agentctl/speech/audio_mixer.h"

using namespace agentctl::speech;

namespace {

constexpr qint64 PERIOD = qint64(MIXER_SAMPLE_RATE) * MIXER_PERIOD_MS / 1000;

// A device whose played count the test moves by hand. Like a real sink it holds one period.
struct FakeDevice
{
    bool opens = true;
    bool failed = false;
    qint64 played = 0;
    qint64 capacity = PERIOD;
    int rests = 0;
    std::vector<qint16> written;
};

class FakeOutput final : public AudioOutput
{
public:
    explicit FakeOutput(std::shared_ptr<FakeDevice> device) : m_device(std::move(device)) {}

    bool start() override { return m_device->opens; }
    bool failed() const override { return m_device->failed; }
    qint64 writableFrames() const override
    {
        return m_device->capacity - (qint64(m_device->written.size()) - m_device->played);
    }
    qint64 write(const qint16* frames, qint64 count) override
    {
        m_device->written.insert(m_device->written.end(), frames, frames + count);
        return count;
    }
    qint64 playedFrames() const override { return m_device->played; }
    void rest() override
    {
        ++m_device->rests;
        m_device->played = qint64(m_device->written.size());
    }

private:
    std::shared_ptr<FakeDevice> m_device;
};

Pcm constant(qint16 value, qsizetype frames)
{
    return Pcm(frames, value);
}

// Moves the device on as a real one would: it plays at most what was written.
void playUpTo(AudioMixer& mixer, FakeDevice& device, qint64 frames, qint64 step = PERIOD / 4)
{
    while (device.played < frames) {
        const qint64 next = std::min({frames, device.played + step, qint64(device.written.size())});
        if (next == device.played)
            return; // nothing more written: the mixer has gone idle
        device.played = next;
        mixer.pump();
    }
}

struct FakeClock
{
    qint64 us = 1'000'000;
    MonotonicClock clock()
    {
        return [this] { return us; };
    }
};

} // namespace

class TestAudioMixer final : public QObject
{
    Q_OBJECT

private slots:
    void mixesSourcesThatOverlap_data();
    void mixesSourcesThatOverlap();
    void stopSilencesASourceWithinOnePeriod();
    void emptySourceFinishesAfterPlayReturns();
    void finishesOnlyWhenTheLastSampleIsHeard_data();
    void finishesOnlyWhenTheLastSampleIsHeard();
    void newSourceAfterAnIdleDeviceStartsAtZero();
    void keepsTimeOnASilentClockWithoutADevice_data();
    void keepsTimeOnASilentClockWithoutADevice();
};

void TestAudioMixer::mixesSourcesThatOverlap_data()
{
    QTest::addColumn<qint16>("a");
    QTest::addColumn<qint16>("b");
    QTest::addColumn<int>("bStartsAt"); // frames heard before b is played
    QTest::addColumn<qint16>("sum");

    QTest::newRow("together") << qint16(1000) << qint16(2000) << 0 << qint16(3000);
    QTest::newRow("b joins later") << qint16(1000) << qint16(-300) << 3000 << qint16(700);
    QTest::newRow("clipped high") << qint16(30000) << qint16(30000) << 500 << qint16(32767);
    QTest::newRow("clipped low") << qint16(-30000) << qint16(-30000) << 0 << qint16(-32768);
}

void TestAudioMixer::mixesSourcesThatOverlap()
{
    QFETCH(qint16, a);
    QFETCH(qint16, b);
    QFETCH(int, bStartsAt);
    QFETCH(qint16, sum);

    auto device = std::make_shared<FakeDevice>();
    FakeClock clock;
    AudioMixer mixer(std::make_unique<FakeOutput>(device), clock.clock());
    QSignalSpy finished(&mixer, &AudioMixer::finished);
    QVERIFY(!mixer.isSilent());

    const SourceId ida = mixer.play(constant(a, 10'000));
    playUpTo(mixer, *device, bStartsAt);
    const qint64 bStart = qint64(device->written.size());
    const SourceId idb = mixer.play(constant(b, 2'000));
    QVERIFY(ida != idb);
    playUpTo(mixer, *device, 12'000);

    QCOMPARE(finished.size(), 2);
    QCOMPARE(finished.at(0).at(0).value<SourceId>(), idb);
    QCOMPARE(finished.at(1).at(0).value<SourceId>(), ida);
    for (qint64 i = 0; i < 10'000; ++i) {
        const bool both = i >= bStart && i < bStart + 2'000;
        const qint16 expected = both ? sum : a;
        if (device->written[size_t(i)] != expected)
            QFAIL(qPrintable(QStringLiteral("frame %1 is %2, not %3")
                                 .arg(i)
                                 .arg(device->written[size_t(i)])
                                 .arg(expected)));
    }
}

void TestAudioMixer::stopSilencesASourceWithinOnePeriod()
{
    auto device = std::make_shared<FakeDevice>();
    FakeClock clock;
    AudioMixer mixer(std::make_unique<FakeOutput>(device), clock.clock());
    QSignalSpy finished(&mixer, &AudioMixer::finished);

    const SourceId voice = mixer.play(constant(1000, 50'000));
    const SourceId sound = mixer.play(constant(7, 50'000));
    playUpTo(mixer, *device, 5'000);
    mixer.stop(voice);
    const qint64 heardAtStop = device->played;
    const qint64 writtenAtStop = qint64(device->written.size());
    playUpTo(mixer, *device, 20'000);

    QVERIFY(writtenAtStop - heardAtStop <= PERIOD);
    QVERIFY(qint64(device->written.size()) > writtenAtStop);
    for (size_t i = size_t(writtenAtStop); i < device->written.size(); ++i)
        QCOMPARE(device->written[i], qint16(7));
    QCOMPARE(mixer.positionUs(voice), -1);
    QVERIFY(mixer.isPlaying(sound));
    QCOMPARE(device->rests, 0);
    QCOMPARE(finished.size(), 0);

    // With nothing left, silence flows for a while, then the output rests.
    mixer.stop(sound);
    const qint64 writtenAtLastStop = qint64(device->written.size());
    QCOMPARE(mixer.positionUs(sound), -1);
    playUpTo(mixer, *device, writtenAtLastStop + 2 * PERIOD);
    QVERIFY(qint64(device->written.size()) > writtenAtLastStop + PERIOD);
    for (size_t i = size_t(writtenAtLastStop); i < device->written.size(); ++i)
        QCOMPARE(device->written[i], qint16(0));
    QCOMPARE(device->rests, 0);
    clock.us += MIXER_LINGER_MS * 1000LL;
    mixer.pump();
    QCOMPARE(device->rests, 1);
    QCOMPARE(finished.size(), 0);
}

void TestAudioMixer::emptySourceFinishesAfterPlayReturns()
{
    auto device = std::make_shared<FakeDevice>();
    FakeClock clock;
    AudioMixer mixer(std::make_unique<FakeOutput>(device), clock.clock());
    QSignalSpy finished(&mixer, &AudioMixer::finished);
    const SourceId id = mixer.play({});
    QVERIFY(finished.isEmpty());
    QVERIFY(finished.wait(1'000));
    QCOMPARE(finished.at(0).at(0).value<SourceId>(), id);
}

void TestAudioMixer::finishesOnlyWhenTheLastSampleIsHeard_data()
{
    QTest::addColumn<int>("latency"); // frames the device holds back at the end

    QTest::newRow("no latency") << 0;
    QTest::newRow("one frame") << 1;
    // Qt's sink goes Idle with about 150 ms still to be heard.
    QTest::newRow("idle before the tail") << 3308;
}

void TestAudioMixer::finishesOnlyWhenTheLastSampleIsHeard()
{
    QFETCH(int, latency);

    auto device = std::make_shared<FakeDevice>();
    device->capacity = 100'000; // everything is written at once
    FakeClock clock;
    AudioMixer mixer(std::make_unique<FakeOutput>(device), clock.clock());
    QSignalSpy finished(&mixer, &AudioMixer::finished);

    Pcm ramp(22'050);
    std::iota(ramp.begin(), ramp.end(), qint16(-11'025));
    const SourceId id = mixer.play(ramp);
    QVERIFY(device->written.size() >= 22'050);
    // Every sample goes out once, in order.
    QVERIFY(std::equal(ramp.begin(), ramp.end(), device->written.begin()));
    device->played = 22'050 - latency;
    mixer.pump();
    QCOMPARE(finished.size(), latency == 0 ? 1 : 0);
    if (latency > 0) {
        QCOMPARE(mixer.positionUs(id), (22'050 - latency) * 1'000'000LL / MIXER_SAMPLE_RATE);
        device->played = 22'049;
        mixer.pump();
        QCOMPARE(finished.size(), 0);
        device->played = 22'050;
        mixer.pump();
        QCOMPARE(finished.size(), 1);
    }
    QCOMPARE(finished.at(0).at(0).value<SourceId>(), id);
    QVERIFY(!mixer.isPlaying(id));
}

void TestAudioMixer::newSourceAfterAnIdleDeviceStartsAtZero()
{
    auto device = std::make_shared<FakeDevice>();
    FakeClock clock;
    AudioMixer mixer(std::make_unique<FakeOutput>(device), clock.clock());
    QSignalSpy finished(&mixer, &AudioMixer::finished);
    const SourceId first = mixer.play(constant(1, 1'000));
    playUpTo(mixer, *device, 1'000 + PERIOD);
    QCOMPARE(finished.at(0).at(0).value<SourceId>(), first);
    clock.us += MIXER_LINGER_MS * 1000LL;
    mixer.pump();
    QCOMPARE(device->rests, 1);
    // A drained stream may count on while nothing is written.
    device->played = qint64(device->written.size()) + 5'000;
    device->capacity += 5'000;

    const SourceId id = mixer.play(constant(2, 2'000));
    QCOMPARE(mixer.positionUs(id), 0);
    device->played += 1'000;
    mixer.pump();
    QCOMPARE(mixer.positionUs(id), 1'000 * 1'000'000LL / MIXER_SAMPLE_RATE);
    QCOMPARE(finished.size(), 1);
}

void TestAudioMixer::keepsTimeOnASilentClockWithoutADevice_data()
{
    QTest::addColumn<int>("how");

    QTest::newRow("no output at all") << 0;
    QTest::newRow("device does not open") << 1;
    QTest::newRow("device fails while playing") << 2;
}

void TestAudioMixer::keepsTimeOnASilentClockWithoutADevice()
{
    QFETCH(int, how);

    auto device = std::make_shared<FakeDevice>();
    device->opens = how != 1;
    FakeClock clock;
    AudioMixer mixer(how == 0 ? nullptr : std::make_unique<FakeOutput>(device), clock.clock());
    QSignalSpy finished(&mixer, &AudioMixer::finished);
    QCOMPARE(mixer.isSilent(), how != 2);

    const SourceId id = mixer.play(constant(100, MIXER_SAMPLE_RATE)); // one second
    if (how == 2) {
        device->played = 2'205;
        mixer.pump();
        device->failed = true;
        mixer.pump();
        QVERIFY(mixer.isSilent());
    }
    const qint64 before = mixer.positionUs(id);
    for (int ms = 10; ms <= 500; ms += 10) {
        clock.us += 10'000;
        mixer.pump();
    }
    QVERIFY(finished.isEmpty());
    const qint64 advanced = mixer.positionUs(id) - before;
    QVERIFY2(advanced >= 480'000 && advanced <= 500'000, qPrintable(QString::number(advanced)));
    for (int ms = 10; ms <= 600; ms += 10) {
        clock.us += 10'000;
        mixer.pump();
    }
    QCOMPARE(finished.size(), 1);
}

QTEST_GUILESS_MAIN(TestAudioMixer)
#include "test_audio_mixer.moc"
