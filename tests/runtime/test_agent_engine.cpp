#include <QFile>
#include <QFileInfo>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include "engine/runtime/agent_engine.h"
#include "engine/runtime/animation_player.h"
#include "engine/runtime/balloon_layout.h"
#include "engine/runtime/balloon_window.h"
#include "engine/runtime/character_window.h"
#include "engine/runtime/loaded_character.h"
#include "engine/runtime/speech_session.h"
#include "engine/speech/audio_mixer.h"
#include "fixture_character.h"
#include "manual_timer_source.h"

using namespace engine;
using namespace hv::runtime_test;
using speech::Mouth;

namespace {

const QString ID = QStringLiteral("CharacterID");
// Long enough for any queue of the test character to run out.
constexpr int LONG_MS = 20'000;
// The pixel frameTag() reads: opaque in every frame, clear of the mouth.
constexpr QPoint PROBE(20, 4);

bool writeFile(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

QList<int> ids(const QSignalSpy& spy)
{
    QList<int> result;
    for (const auto& arguments : spy)
        result.append(arguments.at(0).value<AgentRequest>().ID);
    return result;
}

// Counts the non-silent samples the mixer sends out.
struct CountingOutput final : speech::AudioOutput
{
    explicit CountingOutput(qint64& loud) : m_loud(loud) {}
    bool start() override { return true; }
    bool failed() const override { return false; }
    qint64 writableFrames() const override { return 4096; }
    qint64 write(const qint16* frames, qint64 count) override
    {
        m_loud += std::count_if(frames, frames + count, [](qint16 sample) { return sample != 0; });
        return count;
    }
    qint64 playedFrames() const override { return 0; }
    void rest() override {}
    qint64& m_loud;
};

} // namespace

class TestAgentEngine final : public QObject
{
    Q_OBJECT

    QTemporaryDir m_folder;
    QString m_path;
    qint64 m_loud = 0;
    std::unique_ptr<ManualTimerSource> m_timers;
    std::unique_ptr<speech::AudioMixer> m_mixer;
    std::unique_ptr<runtime::AgentEngine> m_engine;
    std::unique_ptr<QSignalSpy> m_completed;

    AgentCharacter& agent() { return *m_engine->Characters()(ID); }
    runtime::LoadedCharacter& loaded() { return *m_engine->character(ID); }
    runtime::CharacterWindow& window() { return loaded().window(); }
    int tagAt(QPoint at) { return frameTag(window().grab().toImage().pixel(at)); }
    // Advances in steps, noting each frame tag that comes on screen and each x the window takes.
    QList<int> watch(int ms, int stepMs = 10, QSet<int>* xs = nullptr)
    {
        QList<int> seen;
        for (int elapsed = 0; elapsed < ms; elapsed += stepMs) {
            m_timers->advance(stepMs);
            if (xs)
                xs->insert(window().x());
            const int tag = window().isVisible() ? tagAt(PROBE) : -1;
            if (seen.isEmpty() || seen.last() != tag)
                seen.append(tag);
        }
        return seen;
    }
    void showAndSettle(QPoint at = QPoint(200, 100))
    {
        agent().MoveTo(at.x(), at.y());
        agent().Show();
        m_timers->advance(1000);
        m_completed->clear();
    }

private slots:
    void initTestCase()
    {
        qRegisterMetaType<AgentRequest>();
        m_path = m_folder.filePath(QStringLiteral("Tester.acs"));
        QVERIFY(writeFile(m_path, acs::writeCharacterFile(testCharacter())));
    }

    void init()
    {
        m_loud = 0;
        m_timers = std::make_unique<ManualTimerSource>();
        m_mixer = std::make_unique<speech::AudioMixer>(
            std::make_unique<CountingOutput>(m_loud), [] { return qint64(0); },
            speech::Feeding::Caller);
        m_engine = std::make_unique<runtime::AgentEngine>(*m_timers, m_mixer.get(), nullptr, 7);
        m_completed = std::make_unique<QSignalSpy>(m_engine.get(), &AgentControl::RequestComplete);
        m_engine->Load(ID, m_path);
    }

    void cleanup()
    {
        m_completed.reset();
        m_engine.reset();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        m_mixer.reset();
        m_timers.reset();
    }

    void loadReadsTheFileAgainOnlyOnceItHasChanged()
    {
        const QString path = m_folder.filePath(QStringLiteral("Changing.acs"));
        QVERIFY(writeFile(path, acs::writeCharacterFile(testCharacter())));
        m_engine->Unload(ID);
        m_engine->Load(ID, path);
        auto changed = testCharacter();
        changed.info.palette[SHOW_TAGS[1]] = changed.info.palette.at(REST_TAG);
        const QDateTime written = QFileInfo(path).lastModified();
        QVERIFY(writeFile(path, acs::writeCharacterFile(changed)));
        QFile file(path);
        QVERIFY(file.open(QIODevice::ReadWrite));
        // Same size and date: what was read before stands; a later date: it is read again.
        for (const int laterSecs : {0, 60}) {
            QVERIFY(
                file.setFileTime(written.addSecs(laterSecs), QFileDevice::FileModificationTime));
            m_engine->Unload(ID);
            m_engine->Load(ID, path);
            showAndSettle();
            QCOMPARE(tagAt(PROBE), laterSecs == 0 ? SHOW_TAGS[1] : REST_TAG);
        }
    }

    void speaksOneOfTheAlternatives()
    {
        showAndSettle();
        agent().setBalloonStyle(BALLOON_ON | BALLOON_AUTO_PACE);
        QSet<QString> shown;
        for (int run = 0; run < 40; ++run) {
            agent().Speak(QStringLiteral("alpha|beta gamma|delta"));
            m_timers->advance(5000);
            shown.insert(loaded().balloon()->visibleLines().join(QLatin1Char(' ')));
        }
        QCOMPARE(shown, QSet<QString>({"alpha", "beta gamma", "delta"}));
    }

    void completesEachRequestOnceInOrder()
    {
        const QList<int> queued = {agent().MoveTo(40, 50).ID,
                                   agent().Show().ID,
                                   agent().Play(QStringLiteral("Explain")).ID,
                                   agent().Play(QStringLiteral("WAVE")).ID,
                                   agent().Speak(QStringLiteral("The time is, 2:30.")).ID,
                                   agent().MoveTo(10, 50).ID,
                                   agent().Hide().ID};
        QList<int> tagsAtCompletion;
        connect(m_engine.get(), &AgentControl::RequestComplete, this,
                [&] { tagsAtCompletion.append(window().isVisible() ? tagAt(PROBE) : -1); });
        QSet<int> xs;
        const QList<int> seen = watch(LONG_MS, 10, &xs);
        QCOMPARE(ids(*m_completed), queued);
        // Show and Hide complete once their animations have played to the end.
        QCOMPARE(tagsAtCompletion.at(1), SHOW_TAGS[1]);
        // A return animation plays before the next request.
        QCOMPARE(seen.mid(seen.indexOf(EXPLAIN_TAGS[0]), 5),
                 QList<int>({EXPLAIN_TAGS[0], EXPLAIN_TAGS[1], EXPLAIN_RETURN_TAG, WAVE_TAGS[0],
                             WAVE_TAGS[1]}));
        QCOMPARE(tagsAtCompletion.last(), -1);
        // Shown, the character walks to its place rather than jumping there.
        QCOMPARE(window().pos(), QPoint(10, 50));
        QVERIFY(xs.size() > 2 && seen.contains(MOVE_LEFT_TAG));
    }

    void stopLeavesByTheExitPathAndDropsTheRest()
    {
        showAndSettle();
        const AgentRequest loop = agent().Play(QStringLiteral("Loop"));
        agent().Play(QStringLiteral("Wave"));
        agent().Hide();
        m_timers->advance(23 * FRAME_MS);
        agent().Stop();
        const QList<int> seen = watch(4 * FRAME_MS);
        QCOMPARE(seen.mid(seen.size() - 2), QList<int>({LOOP_EXIT_TAGS[0], LOOP_EXIT_TAGS[1]}));
        QCOMPARE(ids(*m_completed), QList<int>({loop.ID}));
        // Nothing dropped ever runs: no wave, no hide.
        QVERIFY(!watch(LONG_MS, 50).contains(WAVE_TAGS[0]));
        QVERIFY(window().isVisible());
    }

    void frameSoundsPlayOnlyWhileShown()
    {
        // Hidden, the wave's sound stays silent; the showing animation's first frame is heard.
        agent().Play(QStringLiteral("Wave"));
        agent().Show();
        for (const bool loud : {false, true}) {
            m_timers->advance(FRAME_MS);
            m_mixer->pump();
            QCOMPARE(m_loud > 0, loud);
        }
    }

    void balloonFollowsTheStyleBit_data()
    {
        QTest::addColumn<int>("style");
        QTest::addColumn<bool>("staysAfter");
        QTest::addRow("auto-hide") << (BALLOON_ON | BALLOON_AUTO_HIDE | BALLOON_AUTO_PACE) << false;
        QTest::addRow("auto-hide off") << (BALLOON_ON | BALLOON_AUTO_PACE) << true;
    }
    void balloonFollowsTheStyleBit()
    {
        QFETCH(int, style);
        QFETCH(bool, staysAfter);
        showAndSettle(QPoint(300, 300));
        agent().setBalloonStyle(style);
        const AgentRequest spoken = agent().Speak(QStringLiteral("\\Pit=202\\The time is, 2:30."));
        // The style at the time of the call counts, not a later change.
        agent().setBalloonStyle(style ^ BALLOON_ON);
        QStringList shownFirst;
        QStringList shownLast;
        QSet<int> mouths;
        for (int ms = 0; m_completed->isEmpty() && ms < LONG_MS; ms += 10) {
            m_timers->advance(10);
            mouths.insert(tagAt(MOUTH_RECT.center()) - MOUTH_TAG);
            if (const auto* balloon = loaded().balloon(); balloon && balloon->isVisible()) {
                shownFirst = shownFirst.isEmpty() ? balloon->visibleLines() : shownFirst;
                shownLast = balloon->visibleLines();
            }
        }
        QCOMPARE(ids(*m_completed), QList<int>({spoken.ID}));
        // Words appear as they are spoken, without the tags.
        QCOMPARE(shownFirst, QStringList({"The"}));
        QCOMPARE(shownLast, QStringList({"The time is, 2:30."}));
        // Beside the rest pose, the mouth shows three shapes or more and closes at the end.
        QVERIFY2(mouths.size() > 3, "the mouth hardly moved");
        QCOMPARE(tagAt(MOUTH_RECT.center()), REST_TAG);
        QCOMPARE(loaded().balloon()->isVisible(), staysAfter);
    }

    void idlesDeeperAsTimeGoesBy()
    {
        showAndSettle();
        const QList<int> seen = watch(10 * 60'000, 50);
        const QList<qsizetype> firstSeen = {seen.indexOf(IDLE_TAGS[0]), seen.indexOf(IDLE_TAGS[1]),
                                            seen.indexOf(IDLE_TAGS[2])};
        QVERIFY2(firstSeen[0] >= 0 && firstSeen[0] < firstSeen[1] && firstSeen[1] < firstSeen[2],
                 qPrintable(QString::number(seen.size())));
    }

    void branchesByTheRoll()
    {
        // Branchy frame 0: 1..30 -> 2, 31..80 -> 3, 81..100 -> next frame.
        const acs::CharacterFile character = testCharacter();
        QCOMPARE(
            runtime::nextFrame(*character.findAnimation(QStringLiteral("Branchy")), 0, false, 30),
            2);
    }

    void speechFollowsTheHeardVoice()
    {
        qint64 clockUs = 0;
        speech::AudioMixer mixer(
            nullptr, [&clockUs] { return clockUs; }, speech::Feeding::Caller);
        ManualTimerSource timers;
        // One second of voice: "The" from 0 ms, "time" from 500 ms; mouth Wide1, Medium from
        // 250 ms on, with no closing cue: the end of the voice closes it.
        speech::Utterance utterance;
        utterance.shownText = QStringLiteral("The time");
        utterance.pcm = speech::Pcm(speech::MIXER_SAMPLE_RATE, 1000);
        utterance.words = {{0, 0, 3}, {11025, 4, 4}};
        utterance.mouth = {{0, Mouth::Wide1}, {5512, Mouth::Medium}};
        runtime::SpeechSession session(timers, mixer, std::move(utterance));
        int lastShown = -1;
        Mouth lastMouth = Mouth::Closed;
        QSignalSpy done(&session, &runtime::SpeechSession::finished);
        connect(&session, &runtime::SpeechSession::shownChanged, this,
                [&](int length) { lastShown = length; });
        connect(&session, &runtime::SpeechSession::mouthChanged, this,
                [&](Mouth now) { lastMouth = now; });
        session.start();
        // Heard so far: the length of text shown, the mouth, whether the speech has ended.
        const std::tuple<int, int, Mouth, bool> heard[] = {{90, 3, Mouth::Wide1, false},
                                                           {600, 8, Mouth::Medium, false},
                                                           {1110, 8, Mouth::Closed, true}};
        int ms = 0;
        for (const auto& [heardMs, shown, mouth, finished] : heard) {
            // The mixer's own timer tops the output up every few ms; do the same.
            for (; ms < heardMs; ms += 5) {
                clockUs += 5'000;
                mixer.pump();
                timers.advance(5);
            }
            QCOMPARE(lastShown, shown);
            QCOMPARE(lastMouth, mouth);
            QCOMPARE(done.count(), finished ? 1 : 0);
        }
    }

    void wrapsWordsWithinTheWidth_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("fullLine");
        QTest::addColumn<QStringList>("lines");
        // The width is that of fullLine.
        QTest::newRow("exactly full")
            << QString("abcd efg") << QString("abcd efg") << QStringList{"abcd efg"};
        QTest::newRow("wide letters") << QString("WWWW WWWW WWWW") << QString("WWWW WWWW")
                                      << QStringList{"WWWW WWWW", "WWWW"};
    }
    void wrapsWordsWithinTheWidth()
    {
        QFETCH(QString, text);
        QFETCH(QString, fullLine);
        QFETCH(QStringList, lines);
        acs::BalloonInfo look;
        look.fontName = QStringLiteral("DejaVu Sans");
        const QFontMetrics metrics(runtime::balloonFont(look));
        QCOMPARE(runtime::wrapWords(text.split(' '), metrics, metrics.horizontalAdvance(fullLine)),
                 lines);
    }
};

QTEST_MAIN(TestAgentEngine)
#include "test_agent_engine.moc"
