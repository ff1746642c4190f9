#include <QSignalSpy>
#include <QTest>

#include "agentctl/runtime/speech_session.h"
#include "manual_timer_source.h"

using namespace agentctl;
using runtime::SpeechSession;
using speech::Mouth;

Q_DECLARE_METATYPE(agentctl::speech::Mouth)

namespace {

// What the character was last told, and whether the speech is over.
struct Observed
{
    int shown = -1;
    Mouth mouth = Mouth::Closed;
    int finished = 0;
};

void observe(SpeechSession& session, Observed& observed)
{
    QObject::connect(&session, &SpeechSession::shownChanged,
                     [&observed](int length) { observed.shown = length; });
    QObject::connect(&session, &SpeechSession::mouthChanged,
                     [&observed](Mouth mouth) { observed.mouth = mouth; });
    QObject::connect(&session, &SpeechSession::finished, [&observed] { ++observed.finished; });
}

} // namespace

class TestSpeechSession final : public QObject
{
    Q_OBJECT

private slots:
    void followsTheHeardPositionOfTheVoice_data();
    void followsTheHeardPositionOfTheVoice();
    void pacesWordsWithoutAVoice_data();
    void pacesWordsWithoutAVoice();
    void stoppedVoiceIsSilencedAndNeverFinishes();
};

void TestSpeechSession::followsTheHeardPositionOfTheVoice_data()
{
    QTest::addColumn<int>("heardMs");
    QTest::addColumn<int>("shown");
    QTest::addColumn<Mouth>("mouth");
    QTest::addColumn<bool>("finished");

    // One second of voice: "The" from 0 ms, "time" from 500 ms; mouth Wide1, Medium from
    // 250 ms, closed from 750 ms.
    QTest::newRow("first word") << 90 << 3 << Mouth::Wide1 << false;
    QTest::newRow("mouth changes within a word") << 300 << 3 << Mouth::Medium << false;
    QTest::newRow("second word") << 600 << 8 << Mouth::Medium << false;
    QTest::newRow("closing cue") << 810 << 8 << Mouth::Closed << false;
    QTest::newRow("heard to the end") << 1110 << 8 << Mouth::Closed << true;
}

void TestSpeechSession::followsTheHeardPositionOfTheVoice()
{
    QFETCH(int, heardMs);
    QFETCH(int, shown);
    QFETCH(Mouth, mouth);
    QFETCH(bool, finished);

    qint64 clockUs = 0;
    speech::AudioMixer mixer(nullptr, [&clockUs] { return clockUs; });
    ManualTimerSource timers;
    speech::Utterance utterance;
    utterance.shownText = QStringLiteral("The time");
    utterance.pcm = speech::Pcm(speech::MIXER_SAMPLE_RATE, 1000);
    utterance.words = {{0, 0, 3}, {11025, 4, 4}};
    utterance.mouth = {{0, Mouth::Wide1}, {5512, Mouth::Medium}, {16537, Mouth::Closed}};
    SpeechSession session(timers, mixer, utterance);
    Observed observed;
    observe(session, observed);

    session.start();
    // The mixer's own timer tops the output up every few ms; do the same.
    for (int ms = 0; ms < heardMs; ms += 5) {
        clockUs += 5'000;
        mixer.pump();
        timers.advance(5);
    }
    QCOMPARE(observed.shown, shown);
    QCOMPARE(observed.mouth, mouth);
    QCOMPARE(observed.finished, finished ? 1 : 0);
}

void TestSpeechSession::pacesWordsWithoutAVoice_data()
{
    QTest::addColumn<int>("elapsedMs");
    QTest::addColumn<int>("shown");
    QTest::addColumn<bool>("mouthOpen");
    QTest::addColumn<bool>("finished");

    // 120 words per minute: a word each 500 ms, the mouth moving for the first 375 ms of it.
    QTest::newRow("at once") << 0 << 3 << true << false;
    QTest::newRow("gap after the first word") << 400 << 3 << false << false;
    QTest::newRow("second word") << 500 << 7 << true << false;
    QTest::newRow("last word, still speaking") << 1400 << 13 << false << false;
    QTest::newRow("after the last word") << 1500 << 13 << false << true;
}

void TestSpeechSession::pacesWordsWithoutAVoice()
{
    QFETCH(int, elapsedMs);
    QFETCH(int, shown);
    QFETCH(bool, mouthOpen);
    QFETCH(bool, finished);

    ManualTimerSource timers;
    SpeechSession session(timers, QStringLiteral("one two three"), 120);
    Observed observed;
    observe(session, observed);

    session.start();
    timers.advance(elapsedMs);
    QCOMPARE(observed.shown, shown);
    QCOMPARE(observed.mouth != Mouth::Closed, mouthOpen);
    QCOMPARE(observed.finished, finished ? 1 : 0);
}

void TestSpeechSession::stoppedVoiceIsSilencedAndNeverFinishes()
{
    qint64 clockUs = 0;
    speech::AudioMixer mixer(nullptr, [&clockUs] { return clockUs; });
    ManualTimerSource timers;
    speech::Utterance utterance;
    utterance.shownText = QStringLiteral("Hello");
    utterance.pcm = speech::Pcm(speech::MIXER_SAMPLE_RATE / 2, 1000);
    utterance.words = {{0, 0, 5}};
    QSignalSpy mixerFinished(&mixer, &speech::AudioMixer::finished);
    Observed observed;
    {
        SpeechSession session(timers, mixer, utterance);
        observe(session, observed);
        session.start();
        clockUs += 100'000;
        mixer.pump();
        timers.advance(100);
        session.stop();
    }
    clockUs += 2'000'000;
    mixer.pump();
    timers.advance(2000);
    QCOMPARE(observed.finished, 0);
    QCOMPARE(mixerFinished.count(), 0);
    QCOMPARE(timers.activeTimers(), 0);
}

QTEST_GUILESS_MAIN(TestSpeechSession)
#include "test_speech_session.moc"
