#include <QFontMetrics>
#include <QSignalSpy>
#include <QTest>

#include "agentctl/runtime/animation_player.h"
#include "agentctl/runtime/balloon_layout.h"
#include "agentctl/runtime/speech_session.h"
#include "fixture_character.h"
#include "manual_timer_source.h"

using namespace agentctl;
using namespace hv::runtime_test;
using speech::Mouth;

// The parts the engine is built from, each driven on its own.
class TestRuntimeParts final : public QObject
{
    Q_OBJECT

    acs::CharacterFile m_character = testCharacter();
    const acs::Animation& animation(const char* name)
    {
        return *m_character.findAnimation(QString::fromLatin1(name));
    }

private slots:
    void choosesTheNextFrame_data()
    {
        QTest::addColumn<QString>("animation");
        QTest::addColumn<int>("frame");
        QTest::addColumn<bool>("exiting");
        QTest::addColumn<int>("roll");
        QTest::addColumn<int>("expected");
        // Branchy frame 0: 1..30 -> 2, 31..80 -> 3, 81..100 -> next frame.
        QTest::newRow("first branch, its last roll") << "Branchy" << 0 << false << 30 << 2;
        QTest::newRow("second branch, first roll") << "Branchy" << 0 << false << 31 << 3;
        QTest::newRow("sum under 100 falls through") << "Branchy" << 0 << false << 81 << 1;
        QTest::newRow("last frame ends") << "Branchy" << 3 << false << 50 << -1;
        QTest::newRow("100 % loop goes back") << "Loop" << 1 << false << 100 << 0;
        QTest::newRow("exit index jumps") << "Loop" << 1 << true << 1 << 2;
        QTest::newRow("exit -2 carries on without branching") << "Loop" << 2 << true << 1 << 3;
        QTest::newRow("exit -1 ends") << "Loop" << 3 << true << 1 << -1;
    }
    void choosesTheNextFrame()
    {
        QFETCH(QString, animation);
        QFETCH(int, frame);
        QFETCH(bool, exiting);
        QFETCH(int, roll);
        QFETCH(int, expected);
        QCOMPARE(runtime::nextFrame(*m_character.findAnimation(animation), frame, exiting, roll),
                 expected);
    }

    void loopOfInstantFramesYieldsToTheEventLoop()
    {
        ManualTimerSource timers;
        runtime::AnimationPlayer player(m_character, timers, 1);
        int shown = 0;
        connect(&player, &runtime::AnimationPlayer::frameShown, this, [&] { ++shown; });
        player.play(int(&animation("Instant") - m_character.animations.constData()));
        // Returning at all is the point: a zero-length loop must wait for a timer now and then.
        timers.advance(0);
        const int beforePause = shown;
        timers.advance(1000);
        QVERIFY(beforePause > 1 && shown > beforePause && player.isPlaying());
    }

    void speechFollowsTheHeardVoice_data()
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
        // Without a voice, 120 words a minute: a word each 500 ms, the mouth open 375 ms of it.
        QTest::newRow("paced, at once") << -1 << 3 << Mouth::Wide1 << false;
        QTest::newRow("paced, gap after a word") << -400 << 3 << Mouth::Closed << false;
        QTest::newRow("paced, second word") << -500 << 7 << Mouth::Medium << false;
        QTest::newRow("paced, after the last word") << -1500 << 13 << Mouth::Closed << true;
    }
    void speechFollowsTheHeardVoice()
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
        const auto session =
            heardMs < 0
                ? std::make_unique<runtime::SpeechSession>(timers, QStringLiteral("one two three"),
                                                           120)
                : std::make_unique<runtime::SpeechSession>(timers, mixer, std::move(utterance));
        int lastShown = -1;
        Mouth lastMouth = Mouth::Closed;
        QSignalSpy done(session.get(), &runtime::SpeechSession::finished);
        connect(session.get(), &runtime::SpeechSession::shownChanged, this,
                [&](int length) { lastShown = length; });
        connect(session.get(), &runtime::SpeechSession::mouthChanged, this,
                [&](Mouth now) { lastMouth = now; });
        session->start();
        // The mixer's own timer tops the output up every few ms; do the same.
        for (int ms = 0; ms < std::abs(heardMs); ms += 5) {
            clockUs += 5'000;
            mixer.pump();
            timers.advance(5);
        }
        QCOMPARE(lastShown, shown);
        QCOMPARE(lastMouth, mouth);
        QCOMPARE(done.count(), finished ? 1 : 0);
    }

    void wrapsWordsWithinTheWidth_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("fullLine");
        QTest::addColumn<int>("lineCount");
        // The width is that of fullLine; every line stays inside it and nothing is lost.
        // lineCount -1: as many as it takes.
        QTest::newRow("exactly full") << "abcd efg"
                                      << "abcd efg" << 1;
        QTest::newRow("wide letters") << "WWWW WWWW WWWW"
                                      << "WWWW WWWW" << 2;
        QTest::newRow("a wide word cut") << QString(40, 'W') << "xxxxxxxxxxxx" << -1;
        QTest::newRow("narrow letters fill a line") << "iii iii iii"
                                                    << "xxxxxxxxxxxx" << 1;
    }
    void wrapsWordsWithinTheWidth()
    {
        QFETCH(QString, text);
        QFETCH(QString, fullLine);
        QFETCH(int, lineCount);
        acs::BalloonInfo look;
        look.fontName = QStringLiteral("DejaVu Sans");
        const QFontMetrics metrics(runtime::balloonFont(look));
        const int width = metrics.horizontalAdvance(fullLine);
        const QStringList lines = runtime::wrapWords(text.split(' '), metrics, width);
        for (const QString& line : lines) {
            QVERIFY2(metrics.horizontalAdvance(line) <= width, qPrintable(line));
        }
        QCOMPARE(lines.join(' ').remove(' '), text.remove(' '));
        QVERIFY(lineCount < 0 ? lines.size() > 1 : lines.size() == lineCount);
    }

    void balloonFontHeightIsCellOrCharacterHeight_data()
    {
        QTest::addColumn<int>("fontHeight");
        QTest::addRow("negative: character height") << -24;
        QTest::addRow("positive: cell height") << 24;
    }
    void balloonFontHeightIsCellOrCharacterHeight()
    {
        QFETCH(int, fontHeight);
        acs::BalloonInfo look;
        look.fontName = QStringLiteral("DejaVu Sans");
        look.fontHeight = fontHeight;
        const QFont font = runtime::balloonFont(look);
        if (fontHeight < 0) {
            QCOMPARE(font.pixelSize(), -fontHeight);
        } else {
            QVERIFY(std::abs(QFontMetrics(font).height() - fontHeight) <= 1);
        }
    }

    void placesTheBalloonOnScreenBesideTheCharacter_data()
    {
        QTest::addColumn<QRect>("character");
        QTest::addColumn<QRect>("body");
        QTest::addColumn<QPoint>("tailTip");
        // A 100 x 40 body with a 14-pixel tail on an 800 x 600 screen.
        QTest::newRow("room above, centred")
            << QRect(100, 300, 32, 32) << QRect(65, 246, 100, 40) << QPoint(115, 300);
        QTest::newRow("at the top edge, below")
            << QRect(100, 20, 32, 32) << QRect(65, 66, 100, 40) << QPoint(115, 52);
        QTest::newRow("at the right edge, tail clear of the corner")
            << QRect(780, 300, 32, 32) << QRect(700, 246, 100, 40) << QPoint(785, 300);
    }
    void placesTheBalloonOnScreenBesideTheCharacter()
    {
        QFETCH(QRect, character);
        QFETCH(QRect, body);
        QFETCH(QPoint, tailTip);
        const auto geometry =
            runtime::placeBalloon(character, QSize(100, 40), 14, {0, 0, 800, 600});
        QCOMPARE(geometry.body, body);
        QCOMPARE(geometry.tailTip, tailTip);
        QCOMPARE(geometry.above, tailTip.y() > body.bottom());
    }
};

QTEST_MAIN(TestRuntimeParts)
#include "test_runtime_parts.moc"
