#include <QRandomGenerator>
#include <QTest>

#include "agentctl/speech/speech_text.h"

using namespace agentctl::speech;

namespace {

QString styleText(const SpeechStyle& s)
{
    QStringList parts;
    if (s.volume >= 0)
        parts << QStringLiteral("v=%1").arg(s.volume);
    if (s.pitchHz >= 0)
        parts << QStringLiteral("p=%1").arg(s.pitchHz);
    if (s.speedWpm >= 0)
        parts << QStringLiteral("s=%1").arg(s.speedWpm);
    if (s.character == VoiceCharacter::Whisper)
        parts << QStringLiteral("whisper");
    if (s.character == VoiceCharacter::Monotone)
        parts << QStringLiteral("monotone");
    if (s.emphasis)
        parts << QStringLiteral("emp");
    return parts.isEmpty() ? QString() : QLatin1Char('<') + parts.join(QLatin1Char(' ')) + u'>';
}

// Pieces joined by "|": "<style>spoken text" with "[mrk n]" where a bookmark sits, or
// "[pause n]"; "[repeat last]" for \Lst\.
QString render(const SpeechScript& script)
{
    QStringList pieces;
    if (script.repeatLast)
        pieces << QStringLiteral("[repeat last]");
    for (const SpeechPiece& p : script.pieces) {
        if (p.pauseMs > 0) {
            pieces << QStringLiteral("[pause %1]").arg(p.pauseMs);
            continue;
        }
        QString spoken = p.spoken;
        for (qsizetype i = p.marks.size() - 1; i >= 0; --i)
            spoken.insert(p.marks[i].spokenOffset, QStringLiteral("[mrk %1]").arg(p.marks[i].id));
        pieces << styleText(p.style) + spoken;
    }
    return pieces.join(QLatin1Char('|'));
}

} // namespace

class TestSpeechText final : public QObject
{
    Q_OBJECT

private slots:
    void readsTagsAndText_data();
    void readsTagsAndText();
    void keepsItsPromisesOnAnyText();
};

void TestSpeechText::readsTagsAndText_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("english");
    QTest::addColumn<QString>("shown");
    QTest::addColumn<QString>("spoken");

    const QString three = "Three People. With way, too much time on their hands.  If you ask me.";
    QTest::newRow("about whisper 1")
        << R"(\Vol=20084\\Chr="Whisper"\)" + three << true << three << "<v=20084 whisper>" + three;
    QTest::newRow("about whisper 2") << R"(\Vol=20084\\Chr="Whisper"\Don't tell them, I said that.)"
                                     << true << "Don't tell them, I said that."
                                     << "<v=20084 whisper>Don't tell them, I said that.";
    QTest::newRow("about pitch") << R"(\Pit=202\So long.)" << true << "So long."
                                 << "<p=202>So long.";
    QTest::newRow("plain") << "Hi! This is the Horavox." << true << "Hi! This is the Horavox."
                           << "Hi! This is the Horavox.";
    QTest::newRow("clock time") << "The time is, 1:00." << true << "The time is, 1:00."
                                << "The time is, one o'clock.";
    QTest::newRow("clock time, not English") << "Es ist 9:05." << false << "Es ist 9:05."
                                             << "Es ist 9:05.";
    QTest::newRow("every hour and kind of minute")
        << "1:00 2:05 3:10 4:13 5:20 6:31 7:42 8:50 9:59 10:16 11:17 12:58" << true
        << "1:00 2:05 3:10 4:13 5:20 6:31 7:42 8:50 9:59 10:16 11:17 12:58"
        << "one o'clock two oh five three ten four thirteen five twenty six thirty one seven forty "
           "two eight fifty nine fifty nine ten sixteen eleven seventeen twelve fifty eight";
    QTest::newRow("the other minute words")
        << "1:01 1:02 1:03 1:04 1:06 1:07 1:08 1:09 1:11 1:12 1:14 1:15 1:18 1:19" << true
        << "1:01 1:02 1:03 1:04 1:06 1:07 1:08 1:09 1:11 1:12 1:14 1:15 1:18 1:19"
        << "one oh one one oh two one oh three one oh four one oh six one oh seven one oh eight "
           "one "
           "oh nine one eleven one twelve one fourteen one fifteen one eighteen one nineteen";
    QTest::newRow("two-digit hours") << "09:05 00:30 23:59" << true << "09:05 00:30 23:59"
                                     << "nine oh five twelve thirty twenty three fifty nine";
    QTest::newRow("not clock times")
        << "12:345 24:00 10:60 1:2 1:00:05" << true << "12:345 24:00 10:60 1:2 1:00:05"
        << "12:345 24:00 10:60 1:2 1:00:05";
    QTest::newRow("map") << R"(\Map="five past two"="14:05"\ now)" << true << "14:05 now"
                         << "five past two now";
    QTest::newRow("map with quotes") << R"(\Map="say ""hi"""="show"\)" << true << "show"
                                     << R"(say "hi")";
    QTest::newRow("map with backslash") << R"(\Map="a\b"="c"\d)" << true << "cd"
                                        << R"(a\bd)";
    QTest::newRow("pause") << R"(One\Pau=500\Two)" << true << "OneTwo"
                           << "One|[pause 500]|Two";
    QTest::newRow("no pause") << R"(\Vol=7\a\Pau=0\b)" << true << "ab"
                              << "<v=7>ab";
    QTest::newRow("pause capped") << R"(\Pau=99999999\x)" << true << "x"
                                  << "[pause 30000]|x";
    QTest::newRow("bookmark") << R"(Look \Mrk=7\here)" << true << "Look here"
                              << "Look [mrk 7]here";
    QTest::newRow("bookmark at the end") << R"(Done\Mrk=2147483645\)" << true << "Done"
                                         << "Done[mrk 2147483645]";
    QTest::newRow("reserved bookmarks")
        << R"(a\Mrk=0\b\Mrk=2147483646\c\Mrk=2147483647\d)" << true << "abcd"
        << "abcd";
    QTest::newRow("emphasis") << R"(Say \Emp\ this now)" << true << "Say  this now"
                              << "Say  |<emp>this| now";
    QTest::newRow("reset") << R"(\Vol=100\\Spd=90\a\Rst\b)" << true << "ab"
                           << "<v=100 s=90>a|b";
    QTest::newRow("names ignore case") << R"(\vOL=5\\chr="monotone"\x)" << true << "x"
                                       << "<v=5 monotone>x";
    QTest::newRow("volume clamped") << R"(\Vol=70000\x)" << true << "x"
                                    << "<v=65535>x";
    QTest::newRow("whitespace is not a tag") << R"(\ Rst \x)" << true << R"(\ Rst \x)"
                                             << R"(\ Rst \x)";
    QTest::newRow("unknown tag") << R"(\Foo=1\bar)" << true << R"(\Foo=1\bar)"
                                 << R"(\Foo=1\bar)";
    QTest::newRow("path") << R"(C:\Windows\System)" << true << R"(C:\Windows\System)"
                          << R"(C:\Windows\System)";
    QTest::newRow("unterminated") << R"(\Vol=5 hello)" << true << R"(\Vol=5 hello)"
                                  << R"(\Vol=5 hello)";
    QTest::newRow("escaped backslash") << R"(a\\b)" << true << R"(a\b)"
                                       << R"(a\b)";
    QTest::newRow("bad number dropped")
        << R"(\Vol=loud\quiet \Pit=-5\ \Spd=0\x)" << true << "quiet  x"
        << "quiet  x";
    QTest::newRow("unquoted choice dropped") << R"(\Chr=Whisper\x)" << true << "x"
                                             << "x";
    QTest::newRow("unknown choice dropped") << R"(\Chr="Shout"\x)" << true << "x"
                                            << "x";
    QTest::newRow("map needs two") << R"(\Map="only one"\x)" << true << "x"
                                   << "x";
    QTest::newRow("value on a bare tag dropped") << R"(\Emp=1\x)" << true << "x"
                                                 << "x";
    QTest::newRow("address reads digits") << R"(\Ctx="Address"\Call 911)" << true << "Call 911"
                                          << "Call 9 1 1 ";
    QTest::newRow("e-mail reads symbols") << R"(\Ctx="E-mail"\a@b.com.)" << true << "a@b.com."
                                          << "a at b dot com.";
    QTest::newRow("repeat inside text dropped") << R"(Hi \Lst\)" << true << "Hi "
                                                << "Hi ";
    QTest::newRow("repeat last") << R"(  \lST\ )" << true << ""
                                 << "[repeat last]";
    QTest::newRow("repeat with a value dropped") << R"(\Lst=1\)" << true << ""
                                                 << "";
}

void TestSpeechText::readsTagsAndText()
{
    QFETCH(QString, text);
    QFETCH(bool, english);
    QFETCH(QString, shown);
    QFETCH(QString, spoken);

    const SpeechScript script = parseSpeechText(text, english);
    QCOMPARE(script.shownText, shown);
    QCOMPARE(render(script), spoken);
}

// Texts thrown together from the pieces tags are made of: the reader must never fail, and every
// spoken character must stand for a part of the shown text.
void TestSpeechText::keepsItsPromisesOnAnyText()
{
    const QStringList bits = {
        "\\",  "\\\\", "\"",  "=",           "Vol",         "Map",   "Mrk",       "Pau", "Emp",
        "Chr", "Ctx",  "Lst", "Rst",         "\"\"",        "12",    "9:05",      "0",   " ",
        "x",   ".",    "@",   "\"Whisper\"", "\"Address\"", "65536", "2147483647"};
    QRandomGenerator random(20'001);
    for (int round = 0; round < 3000; ++round) {
        QString text;
        const int length = random.bounded(1, 24);
        for (int i = 0; i < length; ++i)
            text += bits[random.bounded(int(bits.size()))];
        const SpeechScript script = parseSpeechText(text, true);
        QVERIFY2(script.shownText.size() <= text.size() + 8, qPrintable(text));
        for (const SpeechPiece& p : script.pieces) {
            QVERIFY(p.pauseMs >= 0 && p.pauseMs <= MAX_PAUSE_MS);
            QCOMPARE(p.shownOf.size(), p.spoken.size());
            for (const TextRange& r : p.shownOf) {
                QVERIFY2(r.start >= 0 && r.length >= 0 &&
                             r.start + r.length <= script.shownText.size(),
                         qPrintable(text));
            }
            for (const SpokenMark& m : p.marks)
                QVERIFY(m.spokenOffset >= 0 && m.spokenOffset <= p.spoken.size());
        }
    }
}

QTEST_GUILESS_MAIN(TestSpeechText)
#include "test_speech_text.moc"
