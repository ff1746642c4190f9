#include <QApplication>
#include <QFile>
#include <QFileInfo>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include "agentctl/runtime/agent_engine.h"
#include "agentctl/runtime/balloon_window.h"
#include "agentctl/runtime/character_window.h"
#include "agentctl/runtime/loaded_character.h"
#include "agentctl/speech/audio_mixer.h"
#include "fixture_character.h"
#include "manual_timer_source.h"

using namespace agentctl;
using namespace hv::runtime_test;

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
    for (const auto& arguments : spy) {
        result.append(arguments.at(0).value<AgentRequest>().ID);
    }
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
    // Advances in steps, noting each frame tag that comes on screen.
    QList<int> watch(int ms, int stepMs = 10)
    {
        QList<int> seen;
        for (int elapsed = 0; elapsed < ms; elapsed += stepMs) {
            m_timers->advance(stepMs);
            const int tag = window().isVisible() ? tagAt(PROBE) : -1;
            if (seen.isEmpty() || seen.last() != tag) {
                seen.append(tag);
            }
        }
        return seen;
    }
    void showAndSettle(QPoint at = QPoint(200, 100))
    {
        agent().MoveTo(at.x(), at.y());
        const AgentRequest shown = agent().Show();
        m_timers->advance(1000);
        QCOMPARE(ids(*m_completed).last(), shown.ID);
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
        m_mixer = std::make_unique<speech::AudioMixer>(std::make_unique<CountingOutput>(m_loud),
                                                       [] { return qint64(0); });
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

    void loadRejectsWhatIsNotACharacter_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        const QByteArray valid = acs::writeCharacterFile(testCharacter());
        auto huge = testCharacter();
        huge.info.width = 40000;
        QTest::newRow("missing") << QByteArray();
        QTest::newRow("text") << QByteArray("The time is 2:30.\n");
        QTest::newRow("truncated") << valid.left(valid.size() / 2);
        QTest::newRow("frame size out of range") << acs::writeCharacterFile(huge);
    }
    void loadRejectsWhatIsNotACharacter()
    {
        QFETCH(QByteArray, bytes);
        const QString path = m_folder.filePath(QTest::currentDataTag() + QStringLiteral(".acs"));
        QVERIFY(bytes.isEmpty() || writeFile(path, bytes));
        QVERIFY_THROWS_EXCEPTION(AgentError, m_engine->Load(QStringLiteral("Other"), path));
        QVERIFY_THROWS_EXCEPTION(AgentError, m_engine->Characters()(QStringLiteral("Other")));
        QVERIFY(m_engine->character(ID));
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
        // A name the character lacks raises at once and leaves the queue going.
        QVERIFY_THROWS_EXCEPTION(AgentError, agent().Play(QStringLiteral("Nope")));
        const QList<int> queued = {agent().MoveTo(40, 50).ID,
                                   agent().Show().ID,
                                   agent().Play(QStringLiteral("WAVE")).ID,
                                   agent().Speak(QStringLiteral("The time is, 2:30.")).ID,
                                   agent().Play(QStringLiteral("explain")).ID,
                                   agent().Play(QStringLiteral("dangling")).ID,
                                   agent().MoveTo(10, 50).ID,
                                   agent().Hide().ID};
        // Every call returns at once, before anything has happened.
        QCOMPARE(m_completed->count(), 0);
        QList<int> tagsAtCompletion;
        connect(m_engine.get(), &AgentControl::RequestComplete, this,
                [&] { tagsAtCompletion.append(window().isVisible() ? tagAt(PROBE) : -1); });
        QCOMPARE(QSet<int>(queued.begin(), queued.end()).size(), queued.size());
        m_timers->advance(LONG_MS);
        QCOMPARE(ids(*m_completed), queued);
        // Show and Hide complete once their animations have played to the end.
        QCOMPARE(tagsAtCompletion.at(1), SHOW_TAGS[1]);
        QCOMPARE(tagsAtCompletion.last(), -1);
        QCOMPARE(window().pos(), QPoint(10, 50));
    }

    void stopLeavesByTheExitPathAndDropsTheRest_data()
    {
        QTest::addColumn<int>("loopedMs");
        QTest::addRow("on the first frame") << 0;
        QTest::addRow("after many rounds") << 23 * FRAME_MS;
    }
    void stopLeavesByTheExitPathAndDropsTheRest()
    {
        QFETCH(int, loopedMs);
        showAndSettle();
        const AgentRequest loop = agent().Play(QStringLiteral("Loop"));
        agent().Play(QStringLiteral("Wave"));
        agent().Speak(QStringLiteral("Never said"));
        agent().Hide();
        m_timers->advance(loopedMs);
        agent().Stop();
        // Stop drops the queue but completes nothing inside the call.
        QCOMPARE(m_completed->count(), 0);
        const QList<int> seen = watch(4 * FRAME_MS);
        QCOMPARE(seen.mid(seen.size() - 2), QList<int>({LOOP_EXIT_TAGS[0], LOOP_EXIT_TAGS[1]}));
        QCOMPARE(ids(*m_completed), QList<int>({loop.ID}));
        // Nothing dropped ever runs: no wave, no hide.
        QVERIFY(!watch(LONG_MS, 50).contains(WAVE_TAGS[0]));
        QVERIFY(window().isVisible());
        QCOMPARE(ids(*m_completed), QList<int>({loop.ID}));
    }

    void unloadLeavesNothingBehind_data()
    {
        QTest::addColumn<bool>("fromCompletion");
        QTest::addRow("mid-queue") << false;
        QTest::addRow("from the hide's own completion") << true;
    }
    void unloadLeavesNothingBehind()
    {
        QFETCH(bool, fromCompletion);
        const AgentRequest show = agent().Show();
        const AgentRequest wave = agent().Play(QStringLiteral("Wave"));
        const AgentRequest hide = agent().Hide();
        agent().Speak(QStringLiteral("After the hide"));
        agent().Show();
        QList<int> expected = {show.ID};
        if (fromCompletion) {
            // As the program does: the hide's completion releases the character.
            connect(m_engine.get(), &AgentControl::RequestComplete, this,
                    [&](const AgentRequest& request) {
                        if (request == hide) {
                            m_engine->Unload(ID);
                        }
                    });
            m_timers->advance(LONG_MS);
            expected += {wave.ID, hide.ID};
        } else {
            m_timers->advance(3 * FRAME_MS);
            m_engine->Unload(ID);
        }
        // Nothing of the character is left running, even before it is deleted.
        QCOMPARE(m_timers->activeTimers(), 0);
        QVERIFY_THROWS_EXCEPTION(AgentError, m_engine->Characters()(ID));
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        m_timers->advance(LONG_MS);
        QCOMPARE(ids(*m_completed), expected);
        QVERIFY(QApplication::topLevelWidgets().isEmpty());
    }

    void clicksCountOnlyOnTheCharacter_data()
    {
        QTest::addColumn<QPoint>("at");
        QTest::addColumn<bool>("counts");
        QTest::addRow("on the figure") << QPoint(20, 16) << true;
        QTest::addRow("on its edge") << QPoint(8, 0) << true;
        QTest::addRow("just beside its edge, see-through") << QPoint(7, 31) << false;
    }
    void clicksCountOnlyOnTheCharacter()
    {
        QFETCH(QPoint, at);
        QFETCH(bool, counts);
        showAndSettle();
        QSignalSpy clicks(m_engine.get(), &AgentControl::Click);
        QSignalSpy doubleClicks(m_engine.get(), &AgentControl::DblClick);
        QTest::mouseClick(&window(), Qt::LeftButton, Qt::ShiftModifier, at);
        QTest::mouseDClick(&window(), Qt::RightButton, Qt::NoModifier, at);
        QCOMPARE(window().mask().contains(at), counts);
        QCOMPARE(doubleClicks.count(), counts ? 1 : 0);
        const QVariantList expected = {ID, int(Qt::LeftButton), int(Qt::ShiftModifier),
                                       200 + at.x(), 100 + at.y()};
        QCOMPARE(clicks, counts ? QList<QVariantList>{expected} : QList<QVariantList>());
    }

    void frameSoundStartsWithItsFrame_data()
    {
        QTest::addColumn<QString>("animation");
        QTest::addColumn<bool>("shownFirst");
        QTest::addColumn<int>("soundFrame");
        QTest::addRow("on a shown character") << "Wave" << true << 1;
        QTest::addRow("hidden: silent") << "Wave" << false << -1;
        QTest::addRow("the first frame of showing") << "Show" << false << 0;
    }
    void frameSoundStartsWithItsFrame()
    {
        QFETCH(QString, animation);
        QFETCH(bool, shownFirst);
        QFETCH(int, soundFrame);
        if (shownFirst) {
            showAndSettle();
            m_mixer->pump();
            m_loud = 0;
        }
        animation == "Show" ? agent().Show() : agent().Play(animation);
        for (int frame = 0; frame < 2; ++frame) {
            m_timers->advance(frame == 0 ? 0 : FRAME_MS);
            m_mixer->pump();
            QVERIFY2((m_loud > 0) == (soundFrame >= 0 && frame >= soundFrame),
                     qPrintable(QString::number(frame)));
        }
    }

    void balloonFollowsTheStyleBit_data()
    {
        QTest::addColumn<int>("style");
        QTest::addColumn<QStringList>("firstLines");
        QTest::addColumn<bool>("staysAfter");
        const QStringList first = {"The"};
        QTest::addRow("on") << (BALLOON_ON | BALLOON_AUTO_HIDE | BALLOON_AUTO_PACE) << first
                            << false;
        QTest::addRow("off") << (BALLOON_AUTO_HIDE | BALLOON_AUTO_PACE) << QStringList() << false;
        QTest::addRow("auto-hide off") << (BALLOON_ON | BALLOON_AUTO_PACE) << first << true;
        QTest::addRow("auto-pace off")
            << (BALLOON_ON | BALLOON_AUTO_HIDE) << QStringList{"The time is, 2:30."} << false;
    }
    void balloonFollowsTheStyleBit()
    {
        QFETCH(int, style);
        QFETCH(QStringList, firstLines);
        QFETCH(bool, staysAfter);
        showAndSettle(QPoint(300, 300));
        agent().setBalloonStyle(style);
        const AgentRequest spoken = agent().Speak(QStringLiteral("\\Pit=202\\The time is, 2:30."));
        // The style at the time of the call counts, not a later change.
        agent().setBalloonStyle(style ^ BALLOON_ON);
        QStringList shownFirst;
        QStringList shownLast;
        QSet<int> mouths;
        while (m_completed->isEmpty() && m_timers->now() < LONG_MS) {
            m_timers->advance(10);
            mouths.insert(tagAt(MOUTH_RECT.center()) - MOUTH_TAG);
            if (const auto* balloon = loaded().balloon(); balloon && balloon->isVisible()) {
                shownFirst = shownFirst.isEmpty() ? balloon->visibleLines() : shownFirst;
                shownLast = balloon->visibleLines();
            }
        }
        QCOMPARE(ids(*m_completed), QList<int>({spoken.ID}));
        // Words appear as they are spoken, without the tags.
        QCOMPARE(shownFirst, firstLines);
        QCOMPARE(shownLast,
                 firstLines.isEmpty() ? QStringList() : QStringList({"The time is, 2:30."}));
        // The mouth moves through its shapes and closes at the end, as the rest pose has it.
        QVERIFY2(std::count_if(mouths.begin(), mouths.end(), [](int m) { return m >= 0; }) >= 3,
                 "the mouth hardly moved");
        QCOMPARE(tagAt(MOUTH_RECT.center()), REST_TAG);
        const auto* balloon = loaded().balloon();
        QCOMPARE(balloon && balloon->isVisible(), staysAfter);
        agent().Hide();
        m_timers->advance(LONG_MS);
        QVERIFY(!balloon || !balloon->isVisible());
    }

    void returnAnimationPlaysBeforeTheNextRequest_data()
    {
        QTest::addColumn<QString>("first");
        QTest::addColumn<QString>("next");
        QTest::addColumn<QList<int>>("tags");
        QTest::addRow("another animation")
            << "Explain"
            << "Wave"
            << QList<int>{EXPLAIN_TAGS[0], EXPLAIN_TAGS[1], EXPLAIN_RETURN_TAG, WAVE_TAGS[0],
                          WAVE_TAGS[1]};
        QTest::addRow("its own return, played once")
            << "Explain"
            << "ExplainReturn" << QList<int>{EXPLAIN_TAGS[0], EXPLAIN_TAGS[1], EXPLAIN_RETURN_TAG};
        QTest::addRow("a return that is missing")
            << "Dangling"
            << "Wave" << QList<int>{DANGLING_TAG, WAVE_TAGS[0], WAVE_TAGS[1]};
    }
    void returnAnimationPlaysBeforeTheNextRequest()
    {
        QFETCH(QString, first);
        QFETCH(QString, next);
        QFETCH(QList<int>, tags);
        showAndSettle();
        agent().Play(first);
        agent().Play(next);
        QCOMPARE(watch(8 * FRAME_MS), tags);
    }

    void idlesDeeperAsTimeGoesBy()
    {
        showAndSettle();
        QList<int> levels;
        for (const int tag : watch(10 * 60'000, 50)) {
            const auto level = std::find(std::begin(IDLE_TAGS), std::end(IDLE_TAGS), tag);
            if (level != std::end(IDLE_TAGS) && (levels.isEmpty() || levels.last() != *level)) {
                levels.append(*level);
            }
        }
        QCOMPARE(levels, QList<int>(std::begin(IDLE_TAGS), std::end(IDLE_TAGS)));
        QCOMPARE(m_completed->count(), 0);
    }

    void moveToGlidesOnlyWhenShown_data()
    {
        QTest::addColumn<bool>("shown");
        QTest::addRow("hidden: there at once") << false;
        QTest::addRow("shown: glides, walking") << true;
    }
    void moveToGlidesOnlyWhenShown()
    {
        QFETCH(bool, shown);
        if (shown) {
            showAndSettle(QPoint(400, 200));
        }
        const AgentRequest moved = agent().MoveTo(100, 200);
        QSet<int> xs;
        QSet<int> tags;
        for (int ms = 0; ms < 2000; ms += 10) {
            m_timers->advance(10);
            xs.insert(window().x());
            tags.insert(window().isVisible() ? tagAt(PROBE) : -1);
        }
        QCOMPARE(ids(*m_completed), QList<int>({moved.ID}));
        QCOMPARE(window().pos(), QPoint(100, 200));
        QCOMPARE(xs.size() > 2 && tags.contains(MOVE_LEFT_TAG), shown);
    }
};

QTEST_MAIN(TestAgentEngine)
#include "test_agent_engine.moc"
