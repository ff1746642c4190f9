#include <QTest>

#include "engine/speech/speech_text.h"

using namespace engine::speech;

namespace {

// Pieces joined by "|": "<v p s character emphasis>spoken" (-1 for an unset number, the style
// left out when it is all default) with "[mrk n]" where a bookmark sits; "[pause n]" for a
// pause, "[repeat last]" for \Lst\.
QString render(const SpeechScript& script)
{
    QStringList pieces;
    if (script.repeatLast)
        pieces << QStringLiteral("[repeat last]");
    for (const SpeechPiece& p : script.pieces) {
        QString spoken = p.spoken;
        for (qsizetype i = p.marks.size() - 1; i >= 0; --i)
            spoken.insert(p.marks[i].spokenOffset, QStringLiteral("[mrk %1]").arg(p.marks[i].id));
        const SpeechStyle& s = p.style;
        const QString style = QString::asprintf("<%d %d %d %d%s>", s.volume, s.pitchHz, s.speedWpm,
                                                int(s.character), s.emphasis ? " emp" : "");
        pieces << (p.pauseMs > 0        ? QStringLiteral("[pause %1]").arg(p.pauseMs)
                   : s == SpeechStyle{} ? spoken
                                        : style + spoken);
    }
    return pieces.join(QLatin1Char('|'));
}

void row(const char* name, const QString& text, const QString& shown, const QString& spoken)
{
    QTest::newRow(name) << text << shown << spoken;
}

} // namespace

class TestSpeechText final : public QObject
{
    Q_OBJECT

private slots:
    void readsTagsAndText_data();
    void readsTagsAndText();
};

void TestSpeechText::readsTagsAndText_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("shown"); // "=" when it is the text itself
    QTest::addColumn<QString>("spoken");

    const auto whisper = QString::number(int(VoiceCharacter::Whisper));
    const auto monotone = QString::number(int(VoiceCharacter::Monotone));
    row("whisper", R"(\Vol=20084\\Chr="Whisper"\Don't tell.)", "Don't tell.",
        "<20084 -1 -1 " + whisper + ">Don't tell.");
    row("pitch, case", R"(\pIT=202\\chr="monotone"\So long.)", "So long.",
        "<-1 202 -1 " + monotone + ">So long.");
    row("volume clamped, reset", R"(\Vol=70000\\Spd=90\a\Rst\b)", "ab", "<65535 -1 90 0>a|b");
    row("clock times", "The time is, 1:00 2:05 3:10 4:13 5:20 6:31 7:42", "=",
        "The time is  one o'clock two oh five three ten four thirteen five twenty six thirty one "
        "seven forty two");
    row("more minutes", "09:05 00:30 23:59 10:16 11:17 12:58 1:11 1:12 1:15 1:19", "=",
        "nine oh five twelve thirty twenty three fifty nine ten sixteen eleven seventeen twelve "
        "fifty eight one eleven one twelve one fifteen one nineteen");
    row("not clock times", "12:345 24:00 10:60 1:2 1:00:05", "=", "=");
    row("map", R"(\Map="five ""past"" two"="14:05"\ now)", "14:05 now", R"(five "past" two now)");
    row("pauses", R"(One\Pau=500\Two\Pau=0\\Pau=99999999\)", "OneTwo",
        "One|[pause 500]|Two|[pause 30000]");
    row("bookmarks", R"(a\Mrk=7\b\Mrk=0\c\Mrk=2147483646\d\Mrk=2147483645\)", "abcd",
        "a[mrk 7]bcd[mrk 2147483645]");
    row("emphasis", R"(Say \Emp\ this now)", "Say  this now", "Say  |<-1 -1 -1 0 emp>this| now");
    row("not tags", R"(\ Rst \x \Foo=1\bar C:\Windows \Vol=5 hello)", "=", "=");
    row("escaped backslash", R"(a\\b)", R"(a\b)", R"(a\b)");
    row("bad values dropped",
        R"(\Vol=loud\\Pit=-5\\Spd=0\\Chr=Whisper\\Chr="Shout"\\Map="one"\\Lst=1\x)", "x", "x");
    row("address reads digits", R"(\Ctx="Address"\Call 911)", "Call 911",
        "<-1 -1 -1 0>Call 9 1 1 ");
    row("repeat last", R"(  \lST\ )", "", "[repeat last]");
}

void TestSpeechText::readsTagsAndText()
{
    QFETCH(QString, text);
    QFETCH(QString, shown);
    QFETCH(QString, spoken);
    const SpeechScript script = parseSpeechText(text, true);
    QCOMPARE(script.shownText, shown == "=" ? text : shown);
    QCOMPARE(render(script), spoken == "=" ? text : spoken);
    if (shown == "=" && text.contains(QLatin1Char(':'))) // other languages read their own times
        QCOMPARE(render(parseSpeechText(text, false)), text);
}

QTEST_GUILESS_MAIN(TestSpeechText)
#include "test_speech_text.moc"
