#include <QSignalSpy>
#include <QTest>

#include "agentctl/acs/acs_model.h"
#include "agentctl/runtime/animation_player.h"
#include "fixture_character.h"
#include "manual_timer_source.h"

using namespace agentctl;
using namespace hv::runtime_test;

namespace {

int indexOf(const acs::CharacterFile& character, const QString& name)
{
    return int(character.findAnimation(name) - character.animations.constData());
}

} // namespace

class TestAnimationPlayer final : public QObject
{
    Q_OBJECT

private slots:
    void choosesTheNextFrame_data();
    void choosesTheNextFrame();
    void branchesAsOftenAsTheirProbabilities();
    void exitLeavesALoopByItsExitFrames_data();
    void exitLeavesALoopByItsExitFrames();
    void loopOfInstantFramesYieldsToTheEventLoop();

private:
    acs::CharacterFile m_character = testCharacter();
};

void TestAnimationPlayer::choosesTheNextFrame_data()
{
    QTest::addColumn<QString>("animation");
    QTest::addColumn<int>("frame");
    QTest::addColumn<bool>("exiting");
    QTest::addColumn<int>("roll");
    QTest::addColumn<int>("expected");

    // Branchy frame 0: 1..30 -> 2, 31..80 -> 3, 81..100 -> next frame.
    QTest::newRow("first branch, low roll") << "Branchy" << 0 << false << 1 << 2;
    QTest::newRow("first branch, its last roll") << "Branchy" << 0 << false << 30 << 2;
    QTest::newRow("second branch, first roll") << "Branchy" << 0 << false << 31 << 3;
    QTest::newRow("second branch, its last roll") << "Branchy" << 0 << false << 80 << 3;
    QTest::newRow("sum under 100 falls through") << "Branchy" << 0 << false << 81 << 1;
    QTest::newRow("last frame ends") << "Branchy" << 3 << false << 50 << -1;
    QTest::newRow("100 % loop goes back") << "Loop" << 1 << false << 100 << 0;
    QTest::newRow("exit index jumps") << "Loop" << 1 << true << 1 << 2;
    QTest::newRow("exit -2 carries on without branching") << "Loop" << 2 << true << 1 << 3;
    QTest::newRow("exit -1 ends") << "Loop" << 3 << true << 1 << -1;
    QTest::newRow("exit -1 on a looping frame ends") << "MoveLeft" << 0 << true << 1 << -1;
}

void TestAnimationPlayer::choosesTheNextFrame()
{
    QFETCH(QString, animation);
    QFETCH(int, frame);
    QFETCH(bool, exiting);
    QFETCH(int, roll);
    QFETCH(int, expected);

    const acs::Animation* played = m_character.findAnimation(animation);
    QVERIFY(played);
    QCOMPARE(runtime::nextFrame(*played, frame, exiting, roll), expected);
}

void TestAnimationPlayer::branchesAsOftenAsTheirProbabilities()
{
    ManualTimerSource timers;
    runtime::AnimationPlayer player(m_character, timers, 12345);
    int second = -1;
    connect(&player, &runtime::AnimationPlayer::frameShown, this,
            [&](int, int frame) { second = frame == 0 ? -1 : frame; });

    const int runs = 4000;
    int counts[3] = {};
    const int branchy = indexOf(m_character, QStringLiteral("Branchy"));
    for (int run = 0; run < runs; ++run) {
        player.play(branchy);
        timers.advance(FRAME_MS);
        QVERIFY(second >= 1 && second <= 3);
        ++counts[second - 1];
        player.halt();
    }
    // Three standard deviations of a 4000-draw binomial are under 2.4 points.
    for (int target = 0; target < 3; ++target) {
        const double percent = 100.0 * counts[target] / runs;
        QVERIFY2(std::abs(percent - BRANCHY_PERCENT[target]) < 2.5,
                 qPrintable(QStringLiteral("frame %1: %2 %").arg(target + 1).arg(percent)));
    }
}

void TestAnimationPlayer::exitLeavesALoopByItsExitFrames_data()
{
    QTest::addColumn<int>("loopedMs");
    QTest::addRow("asked on the first frame") << 0;
    QTest::addRow("asked on the looping frame") << FRAME_MS;
    QTest::addRow("asked after many rounds") << 37 * FRAME_MS;
}

void TestAnimationPlayer::exitLeavesALoopByItsExitFrames()
{
    QFETCH(int, loopedMs);

    ManualTimerSource timers;
    runtime::AnimationPlayer player(m_character, timers, 1);
    QList<int> shown;
    connect(&player, &runtime::AnimationPlayer::frameShown, this,
            [&](int, int frame) { shown.append(frame); });
    QSignalSpy finished(&player, &runtime::AnimationPlayer::finished);

    player.play(indexOf(m_character, QStringLiteral("Loop")));
    timers.advance(loopedMs);
    shown.clear();
    player.exit();
    timers.advance(10 * FRAME_MS);

    QCOMPARE(shown, QList<int>({2, 3}));
    QCOMPARE(finished.count(), 1);
    QVERIFY(!player.isPlaying());
}

void TestAnimationPlayer::loopOfInstantFramesYieldsToTheEventLoop()
{
    ManualTimerSource timers;
    runtime::AnimationPlayer player(m_character, timers, 1);
    int shown = 0;
    connect(&player, &runtime::AnimationPlayer::frameShown, this, [&] { ++shown; });

    player.play(indexOf(m_character, QStringLiteral("Instant")));
    timers.advance(0);
    // Returning at all is the point: a zero-length loop must wait for a timer now and then.
    QVERIFY(shown > 1);
    QVERIFY(player.isPlaying());
    const int beforePause = shown;
    timers.advance(0);
    QCOMPARE(shown, beforePause);
    timers.advance(1000);
    QVERIFY(shown > beforePause);
}

QTEST_GUILESS_MAIN(TestAnimationPlayer)
#include "test_animation_player.moc"
