#include <QApplication>
#include <QFile>
#include <QMenu>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include "agentctl/acs/acs_model.h"
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

void writeFile(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    QCOMPARE(file.write(bytes), bytes.size());
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
class CountingOutput final : public speech::AudioOutput
{
public:
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

private:
    qint64& m_loud;
};

bool anyWindowVisible()
{
    const auto windows = QApplication::topLevelWidgets();
    return std::any_of(windows.begin(), windows.end(),
                       [](const QWidget* window) { return window->isVisible(); });
}

} // namespace

class TestAgentEngine final : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();

    void loadRejectsWhatIsNotACharacter_data();
    void loadRejectsWhatIsNotACharacter();
    void completesEachRequestOnceInOrder();
    void stopLeavesByTheExitPathAndDropsTheRest_data();
    void stopLeavesByTheExitPathAndDropsTheRest();
    void hideCompletesAfterTheHidingAnimation();
    void unloadLeavesNothingBehind_data();
    void unloadLeavesNothingBehind();
    void windowShowsTheDecodedFrame();
    void clicksCountOnlyOnTheCharacter_data();
    void clicksCountOnlyOnTheCharacter();
    void popupMenuOnlyWhenAsked_data();
    void popupMenuOnlyWhenAsked();
    void dragMovesTheCharacterWithoutAClick();
    void frameSoundStartsWithItsFrame_data();
    void frameSoundStartsWithItsFrame();
    void balloonFollowsTheStyleBit_data();
    void balloonFollowsTheStyleBit();
    void speechMovesTheMouth();
    void returnAnimationPlaysBeforeTheNextRequest_data();
    void returnAnimationPlaysBeforeTheNextRequest();
    void idlesDeeperAsTimeGoesBy();
    void moveToGlidesOnlyWhenShown_data();
    void moveToGlidesOnlyWhenShown();

private:
    [[nodiscard]] AgentCharacter& character() { return *m_engine->Characters()(ID); }
    [[nodiscard]] runtime::CharacterWindow& window() { return m_engine->character(ID)->window(); }
    [[nodiscard]] int tagOnScreen() { return frameTag(window().grab().toImage().pixel(PROBE)); }
    // Advances in steps, noting each frame tag that comes on screen.
    QList<int> watch(int ms, int stepMs = 10);
    void showAndSettle();

    QTemporaryDir m_folder;
    QString m_path;
    std::unique_ptr<ManualTimerSource> m_timers;
    std::unique_ptr<runtime::AgentEngine> m_engine;
    std::unique_ptr<QSignalSpy> m_completed;
};

void TestAgentEngine::initTestCase()
{
    qRegisterMetaType<AgentRequest>();
    QVERIFY(m_folder.isValid());
    m_path = m_folder.filePath(QStringLiteral("Tester.acs"));
    writeFile(m_path, acs::writeCharacterFile(testCharacter()));
}

void TestAgentEngine::init()
{
    m_timers = std::make_unique<ManualTimerSource>();
    m_engine = std::make_unique<runtime::AgentEngine>(*m_timers, nullptr, nullptr, 7);
    m_completed = std::make_unique<QSignalSpy>(m_engine.get(), &AgentControl::RequestComplete);
    m_engine->Load(ID, m_path);
}

void TestAgentEngine::cleanup()
{
    m_completed.reset();
    m_engine.reset();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    m_timers.reset();
}

QList<int> TestAgentEngine::watch(int ms, int stepMs)
{
    QList<int> seen;
    for (int elapsed = 0; elapsed < ms; elapsed += stepMs) {
        m_timers->advance(stepMs);
        const int tag = window().isVisible() ? tagOnScreen() : -1;
        if (seen.isEmpty() || seen.last() != tag) {
            seen.append(tag);
        }
    }
    return seen;
}

void TestAgentEngine::showAndSettle()
{
    const AgentRequest shown = character().Show();
    m_timers->advance(1000);
    QCOMPARE(ids(*m_completed).last(), shown.ID);
    m_completed->clear();
}

void TestAgentEngine::loadRejectsWhatIsNotACharacter_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<bool>("create");

    const QByteArray valid = acs::writeCharacterFile(testCharacter());
    QTest::newRow("missing") << QByteArray() << false;
    QTest::newRow("empty") << QByteArray() << true;
    QTest::newRow("text") << QByteArray("The time is 2:30.\n") << true;
    QTest::newRow("truncated") << valid.left(valid.size() / 2) << true;
    QTest::newRow("header only") << valid.left(36) << true;
    auto huge = testCharacter();
    huge.info.width = 40000;
    QTest::newRow("frame size out of range") << acs::writeCharacterFile(huge) << true;
}

void TestAgentEngine::loadRejectsWhatIsNotACharacter()
{
    QFETCH(QByteArray, bytes);
    QFETCH(bool, create);

    const QString path =
        m_folder.filePath(QStringLiteral("Broken %1.acs").arg(QTest::currentDataTag()));
    if (create) {
        writeFile(path, bytes);
    }
    try {
        m_engine->Load(QStringLiteral("Other"), path);
        QFAIL("Load accepted it");
    } catch (const AgentError& error) {
        QVERIFY2(QString::fromStdString(error.what()).contains(path), error.what());
    }
    QVERIFY_THROWS_EXCEPTION(AgentError, m_engine->Characters()(QStringLiteral("Other")));
    // The character that was loaded before is untouched.
    QVERIFY(m_engine->character(ID));
}

void TestAgentEngine::completesEachRequestOnceInOrder()
{
    AgentCharacter& agent = character();
    const QList<int> queued = {agent.MoveTo(40, 50).ID,
                               agent.Show().ID,
                               agent.Play(QStringLiteral("Wave")).ID,
                               agent.Speak(QStringLiteral("The time is, 2:30.")).ID,
                               agent.Play(QStringLiteral("explain")).ID,
                               agent.MoveTo(10, 50).ID,
                               agent.Hide().ID};
    // Every call returns at once, before anything has happened.
    QCOMPARE(m_completed->count(), 0);
    QCOMPARE(QSet<int>(queued.begin(), queued.end()).size(), queued.size());
    QVERIFY(!queued.contains(0));

    m_timers->advance(LONG_MS);
    QCOMPARE(ids(*m_completed), queued);
    QVERIFY(!window().isVisible());
    QCOMPARE(window().pos(), QPoint(10, 50));
}

void TestAgentEngine::stopLeavesByTheExitPathAndDropsTheRest_data()
{
    QTest::addColumn<int>("loopedMs");
    QTest::addRow("on the first frame") << 0;
    QTest::addRow("on the looping frame") << FRAME_MS;
    QTest::addRow("after many rounds") << 23 * FRAME_MS;
}

void TestAgentEngine::stopLeavesByTheExitPathAndDropsTheRest()
{
    QFETCH(int, loopedMs);

    showAndSettle();
    AgentCharacter& agent = character();
    const AgentRequest loop = agent.Play(QStringLiteral("Loop"));
    agent.Play(QStringLiteral("Wave"));
    agent.Speak(QStringLiteral("Never said"));
    agent.Hide();
    m_timers->advance(loopedMs);
    QCOMPARE(m_completed->count(), 0);

    agent.Stop();
    // Stop drops the queue but completes nothing inside the call.
    QCOMPARE(m_completed->count(), 0);
    const QList<int> seen = watch(4 * FRAME_MS);
    QCOMPARE(seen.mid(seen.size() - 2),
             QList<int>(std::begin(LOOP_EXIT_TAGS), std::end(LOOP_EXIT_TAGS)));
    QCOMPARE(ids(*m_completed), QList<int>({loop.ID}));

    // Nothing dropped ever runs: no wave, no hide.
    const QList<int> later = watch(LONG_MS, 50);
    QVERIFY(!later.contains(WAVE_TAGS[0]));
    QVERIFY(window().isVisible());
    QCOMPARE(ids(*m_completed), QList<int>({loop.ID}));
}

void TestAgentEngine::hideCompletesAfterTheHidingAnimation()
{
    showAndSettle();
    QList<int> tagsAtCompletion;
    bool visibleAtCompletion = true;
    connect(m_engine.get(), &AgentControl::RequestComplete, this, [&] {
        tagsAtCompletion = {tagOnScreen()};
        visibleAtCompletion = window().isVisible();
    });
    const AgentRequest hide = character().Hide();
    const QList<int> seen = watch(std::size(HIDE_TAGS) * FRAME_MS - 10);
    QCOMPARE(seen, QList<int>(std::begin(HIDE_TAGS), std::end(HIDE_TAGS)));
    QCOMPARE(m_completed->count(), 0);

    m_timers->advance(10);
    QCOMPARE(ids(*m_completed), QList<int>({hide.ID}));
    QVERIFY(!visibleAtCompletion);
    QCOMPARE(tagsAtCompletion, QList<int>({HIDE_TAGS[2]}));
}

void TestAgentEngine::unloadLeavesNothingBehind_data()
{
    QTest::addColumn<bool>("fromCompletion");
    QTest::addRow("mid-queue") << false;
    QTest::addRow("from the hide's own completion") << true;
}

void TestAgentEngine::unloadLeavesNothingBehind()
{
    QFETCH(bool, fromCompletion);

    AgentCharacter& agent = character();
    const AgentRequest show = agent.Show();
    const AgentRequest wave = agent.Play(QStringLiteral("Wave"));
    const AgentRequest hide = agent.Hide();
    agent.Speak(QStringLiteral("After the hide"));
    agent.Show();
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

    QCOMPARE(ids(*m_completed), expected);
    // Nothing of the character is left running, even before it is deleted.
    QCOMPARE(m_timers->activeTimers(), 0);
    QVERIFY(!anyWindowVisible());
    QVERIFY_THROWS_EXCEPTION(AgentError, m_engine->Characters()(ID));
    QVERIFY_THROWS_EXCEPTION(AgentError, m_engine->Unload(ID));
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    m_timers->advance(LONG_MS);
    QCOMPARE(ids(*m_completed), expected);
    QCOMPARE(m_timers->activeTimers(), 0);
    QVERIFY(QApplication::topLevelWidgets().isEmpty());
}

void TestAgentEngine::windowShowsTheDecodedFrame()
{
    character().MoveTo(120, 80);
    showAndSettle();

    const QImage shown = window().grab().toImage().convertToFormat(QImage::Format_ARGB32);
    const auto file = acs::readCharacterFile(acs::writeCharacterFile(testCharacter()));
    QVERIFY(file);
    const auto decoded = acs::decodeImage(file.value(), SHOW_TAGS[1]);
    QVERIFY(decoded);
    const QImage expected = decoded.value().convertToFormat(QImage::Format_ARGB32);
    QCOMPARE(shown.size(), expected.size());
    for (int y = 0; y < expected.height(); ++y) {
        for (int x = 0; x < expected.width(); ++x) {
            const QRgb want = expected.pixel(x, y);
            const QRgb got = shown.pixel(x, y);
            if (qAlpha(want) == 0 ? qAlpha(got) != 0 : got != want) {
                QFAIL(qPrintable(QStringLiteral("pixel %1,%2 is %3, not %4")
                                     .arg(x)
                                     .arg(y)
                                     .arg(got, 8, 16)
                                     .arg(want, 8, 16)));
            }
        }
    }
    QCOMPARE(window().pos(), QPoint(120, 80));
    QVERIFY(window().windowFlags().testFlag(Qt::FramelessWindowHint));
    QVERIFY(window().windowFlags().testFlag(Qt::WindowStaysOnTopHint));
    QCOMPARE(window().windowType(), Qt::Tool);
    QVERIFY(window().mask().contains(QPoint(20, 16)));
    QVERIFY(!window().mask().contains(QPoint(2, 16)));
}

void TestAgentEngine::clicksCountOnlyOnTheCharacter_data()
{
    QTest::addColumn<QPoint>("at");
    QTest::addColumn<bool>("counts");
    QTest::addRow("on the figure") << QPoint(20, 16) << true;
    QTest::addRow("on its edge") << QPoint(8, 0) << true;
    QTest::addRow("beside it, see-through") << QPoint(2, 16) << false;
    QTest::addRow("just beside its edge") << QPoint(7, 31) << false;
}

void TestAgentEngine::clicksCountOnlyOnTheCharacter()
{
    QFETCH(QPoint, at);
    QFETCH(bool, counts);

    character().MoveTo(200, 100);
    showAndSettle();
    QSignalSpy clicks(m_engine.get(), &AgentControl::Click);
    QSignalSpy doubleClicks(m_engine.get(), &AgentControl::DblClick);

    QTest::mouseClick(&window(), Qt::LeftButton, Qt::ShiftModifier, at);
    QTest::mouseDClick(&window(), Qt::RightButton, Qt::NoModifier, at);

    QCOMPARE(clicks.count(), counts ? 1 : 0);
    QCOMPARE(doubleClicks.count(), counts ? 1 : 0);
    if (counts) {
        const auto click = clicks.first();
        QCOMPARE(click.at(0).toString(), ID);
        QCOMPARE(click.at(1).toInt(), int(Qt::LeftButton));
        QCOMPARE(click.at(2).toInt(), int(Qt::ShiftModifier));
        QCOMPARE(QPoint(click.at(3).toInt(), click.at(4).toInt()), QPoint(200, 100) + at);
        QCOMPARE(doubleClicks.first().at(1).toInt(), int(Qt::RightButton));
    }
}

void TestAgentEngine::popupMenuOnlyWhenAsked_data()
{
    QTest::addColumn<bool>("on");
    QTest::addRow("AutoPopupMenu on") << true;
    QTest::addRow("AutoPopupMenu off") << false;
}

void TestAgentEngine::popupMenuOnlyWhenAsked()
{
    QFETCH(bool, on);

    showAndSettle();
    character().setAutoPopupMenu(on);
    QTest::mouseClick(&window(), Qt::LeftButton, Qt::NoModifier, QPoint(20, 16));
    QVERIFY(!m_engine->character(ID)->popupMenu());
    QTest::mouseClick(&window(), Qt::RightButton, Qt::NoModifier, QPoint(20, 16));
    QMenu* menu = m_engine->character(ID)->popupMenu();
    QCOMPARE(menu && menu->isVisible(), on);
    if (on) {
        // Its Hide sends the character away like any queued Hide.
        menu->actions().first()->trigger();
        m_timers->advance(LONG_MS);
        QCOMPARE(m_completed->count(), 1);
        QVERIFY(!window().isVisible());
    }
}

void TestAgentEngine::dragMovesTheCharacterWithoutAClick()
{
    character().MoveTo(200, 100);
    showAndSettle();
    character().setBalloonStyle(character().BalloonStyle() | BALLOON_ON);
    character().Speak(QStringLiteral("Hello there, general public"));
    m_timers->advance(FRAME_MS);
    const runtime::BalloonWindow* balloon = m_engine->character(ID)->balloon();
    QVERIFY(balloon && balloon->isVisible());
    const QPoint balloonAt = balloon->pos();
    QSignalSpy clicks(m_engine.get(), &AgentControl::Click);

    QTest::mousePress(&window(), Qt::LeftButton, Qt::NoModifier, QPoint(20, 16));
    QTest::mouseMove(&window(), QPoint(50, 26));
    QTest::mouseRelease(&window(), Qt::LeftButton, Qt::NoModifier, QPoint(20, 16));

    QCOMPARE(window().pos(), QPoint(230, 110));
    QCOMPARE(clicks.count(), 0);
    // The balloon goes along.
    QCOMPARE(balloon->pos(), balloonAt + QPoint(30, 10));
}

void TestAgentEngine::frameSoundStartsWithItsFrame_data()
{
    QTest::addColumn<bool>("shown");
    QTest::addRow("shown") << true;
    QTest::addRow("hidden: silent") << false;
}

void TestAgentEngine::frameSoundStartsWithItsFrame()
{
    QFETCH(bool, shown);

    qint64 loud = 0;
    speech::AudioMixer mixer(std::make_unique<CountingOutput>(loud), [] { return qint64(0); });
    m_engine = std::make_unique<runtime::AgentEngine>(*m_timers, &mixer, nullptr, 7);
    m_completed = std::make_unique<QSignalSpy>(m_engine.get(), &AgentControl::RequestComplete);
    m_engine->Load(ID, m_path);
    if (shown) {
        showAndSettle();
    }
    character().Play(QStringLiteral("Wave"));
    m_timers->advance(FRAME_MS - 1);
    QCOMPARE(loud, 0);
    m_timers->advance(1);
    QCOMPARE(loud > 0, shown);
    m_engine.reset();
}

void TestAgentEngine::balloonFollowsTheStyleBit_data()
{
    QTest::addColumn<int>("style");
    QTest::addColumn<QStringList>("firstLines");
    QTest::addColumn<bool>("staysAfter");

    using namespace runtime;
    const QStringList first = {"The"};
    const QStringList all = {"The time is, 2:30."};
    QTest::addRow("on") << (BALLOON_ON | BALLOON_AUTO_HIDE | BALLOON_AUTO_PACE) << first << false;
    QTest::addRow("off") << (BALLOON_AUTO_HIDE | BALLOON_AUTO_PACE) << QStringList() << false;
    QTest::addRow("auto-hide off") << (BALLOON_ON | BALLOON_AUTO_PACE) << first << true;
    QTest::addRow("auto-pace off") << (BALLOON_ON | BALLOON_AUTO_HIDE) << all << false;
}

void TestAgentEngine::balloonFollowsTheStyleBit()
{
    QFETCH(int, style);
    QFETCH(QStringList, firstLines);
    QFETCH(bool, staysAfter);

    character().MoveTo(300, 300);
    showAndSettle();
    AgentCharacter& agent = character();
    agent.setBalloonStyle(style);
    const AgentRequest spoken = agent.Speak(QStringLiteral("\\Pit=202\\The time is, 2:30."));
    // The style at the time of the call counts, not a later change.
    agent.setBalloonStyle(style ^ BALLOON_ON);

    QStringList shownFirst;
    QStringList shownLast;
    for (int ms = 0; ms < LONG_MS && m_completed->isEmpty(); ms += 10) {
        m_timers->advance(10);
        const auto* balloon = m_engine->character(ID)->balloon();
        if (balloon && balloon->isVisible()) {
            if (shownFirst.isEmpty()) {
                shownFirst = balloon->visibleLines();
            }
            shownLast = balloon->visibleLines();
        }
    }
    QCOMPARE(ids(*m_completed), QList<int>({spoken.ID}));
    // Words appear as they are spoken, without the tags.
    QCOMPARE(shownFirst, firstLines);
    QCOMPARE(shownLast, firstLines.isEmpty() ? QStringList() : QStringList({"The time is, 2:30."}));
    const auto* balloon = m_engine->character(ID)->balloon();
    QCOMPARE(balloon && balloon->isVisible(), staysAfter);
    character().Hide();
    m_timers->advance(LONG_MS);
    QVERIFY(!balloon || !balloon->isVisible());
}

void TestAgentEngine::speechMovesTheMouth()
{
    showAndSettle();
    character().Speak(QStringLiteral("one two three four"));
    QSet<int> mouths;
    while (m_completed->isEmpty() && m_timers->now() < LONG_MS) {
        m_timers->advance(10);
        const int tag = frameTag(window().grab().toImage().pixel(MOUTH_RECT.center()));
        if (tag >= MOUTH_TAG) {
            mouths.insert(tag - MOUTH_TAG);
        }
    }
    QCOMPARE(m_completed->count(), 1);
    QVERIFY2(mouths.size() >= 3, "the mouth hardly moved");
    // Once done, the rest pose shows without a mouth overlay.
    QCOMPARE(frameTag(window().grab().toImage().pixel(MOUTH_RECT.center())), REST_TAG);
}

void TestAgentEngine::returnAnimationPlaysBeforeTheNextRequest_data()
{
    QTest::addColumn<QString>("next");
    QTest::addColumn<QList<int>>("tags");
    QTest::addRow("another animation")
        << "Wave"
        << QList<int>{EXPLAIN_TAGS[0], EXPLAIN_TAGS[1], EXPLAIN_RETURN_TAG, WAVE_TAGS[0],
                      WAVE_TAGS[1]};
    QTest::addRow("its own return, played once")
        << "ExplainReturn" << QList<int>{EXPLAIN_TAGS[0], EXPLAIN_TAGS[1], EXPLAIN_RETURN_TAG};
}

void TestAgentEngine::returnAnimationPlaysBeforeTheNextRequest()
{
    QFETCH(QString, next);
    QFETCH(QList<int>, tags);

    showAndSettle();
    character().Play(QStringLiteral("Explain"));
    character().Play(next);
    const QList<int> seen = watch(8 * FRAME_MS);
    QCOMPARE(seen, tags);
}

void TestAgentEngine::idlesDeeperAsTimeGoesBy()
{
    showAndSettle();
    const QList<int> seen = watch(10 * 60'000, 50);
    QList<int> levels;
    for (const int tag : seen) {
        const auto level = std::find(std::begin(IDLE_TAGS), std::end(IDLE_TAGS), tag);
        if (level != std::end(IDLE_TAGS) && (levels.isEmpty() || levels.last() != *level)) {
            levels.append(*level);
        }
    }
    QCOMPARE(levels, QList<int>(std::begin(IDLE_TAGS), std::end(IDLE_TAGS)));
    QCOMPARE(m_completed->count(), 0);
}

void TestAgentEngine::moveToGlidesOnlyWhenShown_data()
{
    QTest::addColumn<bool>("shown");
    QTest::addRow("hidden: there at once") << false;
    QTest::addRow("shown: glides, walking") << true;
}

void TestAgentEngine::moveToGlidesOnlyWhenShown()
{
    QFETCH(bool, shown);

    character().MoveTo(400, 200);
    if (shown) {
        showAndSettle();
    } else {
        m_timers->advance(0);
        m_completed->clear();
    }
    const AgentRequest moved = character().MoveTo(100, 200);
    QSet<int> xs;
    QSet<int> tags;
    while (m_completed->isEmpty() && m_timers->now() < LONG_MS) {
        m_timers->advance(10);
        xs.insert(window().x());
        if (window().isVisible()) {
            tags.insert(tagOnScreen());
        }
    }
    QCOMPARE(ids(*m_completed), QList<int>({moved.ID}));
    QCOMPARE(window().pos(), QPoint(100, 200));
    QCOMPARE(xs.size() > 2, shown);
    QCOMPARE(tags.contains(MOVE_LEFT_TAG), shown);
}

QTEST_MAIN(TestAgentEngine)
#include "test_agent_engine.moc"
