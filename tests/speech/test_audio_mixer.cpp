#include <memory>
#include <numeric>

#include <QSignalSpy>
#include <QTest>
#include <QThread>

#include "engine/speech/audio_mixer.h"

using namespace engine::speech;

namespace {

constexpr qint64 PERIOD = qint64(MIXER_SAMPLE_RATE) * MIXER_PERIOD_MS / 1000;

// A device whose played count the test moves by hand. Like a real sink it holds one period.
class FakeOutput final : public AudioOutput
{
public:
    bool broken = false;
    qint64 played = 0;
    qint64 capacity = PERIOD;
    int rests = 0;
    Pcm written;

    bool start() override { return true; }
    bool failed() const override { return broken; }
    qint64 writableFrames() const override { return capacity - (written.size() - played); }
    qint64 write(const qint16* frames, qint64 count) override
    {
        written.append(QList<qint16>(frames, frames + count));
        return count;
    }
    qint64 playedFrames() const override { return played; }
    void rest() override
    {
        ++rests;
        played = written.size();
    }
};

} // namespace

class TestAudioMixer final : public QObject
{
    Q_OBJECT

    // Moves the device on as a real one would: it plays at most what was written.
    void playUpTo(qint64 frames)
    {
        while (m_out->played < frames) {
            const qint64 next =
                std::min({frames, m_out->played + PERIOD / 4, qint64(m_out->written.size())});
            if (next == m_out->played)
                return; // nothing more written: the mixer has gone idle
            m_out->played = next;
            m_mixer->pump();
        }
    }

    FakeOutput* m_out = nullptr;
    qint64 m_us = 0;
    std::unique_ptr<AudioMixer> m_mixer;
    std::unique_ptr<QSignalSpy> m_finished;

private slots:
    void init()
    {
        auto output = std::make_unique<FakeOutput>();
        m_out = output.get(); // owned by the mixer, which keeps it unless it fails
        m_mixer = std::make_unique<AudioMixer>(
            std::move(output), [this] { return m_us; }, Feeding::Caller);
        m_finished = std::make_unique<QSignalSpy>(m_mixer.get(), &AudioMixer::finished);
    }

    void mixesSourcesThatOverlap_data()
    {
        QTest::addColumn<qint16>("a");
        QTest::addColumn<qint16>("b");
        QTest::addColumn<int>("bStartsAt"); // frames heard before b is played
        QTest::addColumn<qint16>("sum");
        QTest::newRow("together") << qint16(1000) << qint16(2000) << 0 << qint16(3000);
        QTest::newRow("b joins later") << qint16(1000) << qint16(-300) << 3000 << qint16(700);
        QTest::newRow("clipped high") << qint16(30000) << qint16(30000) << 500 << qint16(32767);
    }

    void mixesSourcesThatOverlap()
    {
        QFETCH(qint16, a);
        QFETCH(qint16, b);
        QFETCH(int, bStartsAt);
        QFETCH(qint16, sum);
        const SourceId ida = m_mixer->play(Pcm(10'000, a));
        playUpTo(bStartsAt);
        const qsizetype bStart = m_out->written.size();
        const SourceId idb = m_mixer->play(Pcm(2'000, b));
        playUpTo(12'000);
        QCOMPARE(QList<QVariantList>(*m_finished), (QList<QVariantList>{{idb}, {ida}}));
        Pcm expected(10'000, a);
        std::fill_n(expected.begin() + bStart, 2'000, sum);
        QCOMPARE(m_out->written.first(10'000), expected);
    }

    void playsEverySampleInOrderAndFinishesWhenTheLastIsHeard()
    {
        m_out->capacity = 100'000; // everything is written at once
        Pcm ramp(22'050);
        std::iota(ramp.begin(), ramp.end(), qint16(-11'025));
        const SourceId id = m_mixer->play(ramp);
        QCOMPARE(m_out->written.first(22'050), ramp);
        m_out->played = 22'049; // the device still holds the last sample
        m_mixer->pump();
        QVERIFY(m_finished->isEmpty());
        QCOMPARE(m_mixer->positionUs(id), 22'049 * 1'000'000LL / MIXER_SAMPLE_RATE);
        m_out->played = 22'050;
        m_mixer->pump();
        QCOMPARE(m_finished->size(), 1);
        QCOMPARE(m_finished->at(0).at(0).value<SourceId>(), id);
    }

    void stopSilencesASourceWithinOnePeriodThenRests()
    {
        const SourceId voice = m_mixer->play(Pcm(50'000, 1000));
        const SourceId sound = m_mixer->play(Pcm(50'000, 7));
        playUpTo(5'000);
        m_mixer->stop(voice);
        const qsizetype writtenAtStop = m_out->written.size();
        QVERIFY(writtenAtStop - m_out->played <= PERIOD);
        playUpTo(20'000);
        const Pcm afterStop = m_out->written.sliced(writtenAtStop);
        QCOMPARE(afterStop.count(qint16(7)), afterStop.size());
        QCOMPARE(m_mixer->positionUs(voice), -1);

        m_mixer->stop(sound); // nothing left: silence flows for a while, then the output rests
        playUpTo(m_out->written.size() + 2 * PERIOD);
        QCOMPARE(m_out->written.last(PERIOD), Pcm(PERIOD, 0));
        QCOMPARE(m_out->rests, 0);
        m_us += MIXER_LINGER_MS * 1000LL;
        m_mixer->pump();
        QCOMPARE(m_out->rests, 1);
        QVERIFY(m_finished->isEmpty()); // stopped sources never finish
    }

    void keepsTimeOnASilentClockWhenTheDeviceFailsAndTriesItAgain()
    {
        const SourceId id = m_mixer->play(Pcm(MIXER_SAMPLE_RATE, 100)); // one second
        m_out->played = 2'205;
        m_mixer->pump();
        m_out->broken = true;
        m_mixer->pump();
        QVERIFY(m_mixer->isSilent());
        const qint64 before = m_mixer->positionUs(id);
        for (int step = 1; step <= 110; ++step) {
            m_us += 10'000;
            m_mixer->pump();
            if (step == 50)
                QVERIFY(std::abs(m_mixer->positionUs(id) - before - 490'000) <= 10'000 &&
                        m_finished->isEmpty());
        }
        QCOMPARE(m_finished->size(), 1);
        // The sound server is back: the next sound goes to the device again. The device takes it
        // but never plays it, so it is given up on again and the sound still ends.
        m_out->broken = false;
        [[maybe_unused]] const SourceId next = m_mixer->play(Pcm(2'205, 100));
        QVERIFY(!m_mixer->isSilent());
        for (int step = 0; step < 60 && m_finished->size() < 2; ++step, m_us += 100'000)
            m_mixer->pump();
        QVERIFY(m_mixer->isSilent() && m_finished->size() == 2 && m_us > MIXER_STALL_MS * 1000LL);
    }

    // Blocks, as what it measures is a blocked owner. Silence is heard only as far as it was fed.
    void keepsTheOutputFedWhileItsOwnerIsBlocked()
    {
        AudioMixer mixer(nullptr, steadyClock());
        const SourceId id = mixer.play(Pcm(MIXER_SAMPLE_RATE, 1000));
        QThread::msleep(200);
        // Fed from this thread it would have heard one period; a loaded machine may lose a few.
        QVERIFY(mixer.positionUs(id) >= 200'000 - 2 * MIXER_PERIOD_MS * 1000);
    }
};

QTEST_GUILESS_MAIN(TestAudioMixer)
#include "test_audio_mixer.moc"
