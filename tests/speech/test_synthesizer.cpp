#include <algorithm>
#include <cmath>

#include <QElapsedTimer>
#include <QSignalSpy>
#include <QTest>

#include "engine/speech/synthesizer.h"

using namespace engine::speech;

namespace {

QList<Utterance> speak(const QStringList& texts, const VoiceSettings& voice = {})
{
    Synthesizer synth;
    QSignalSpy spy(&synth, &Synthesizer::ready);
    for (const QString& text : texts)
        (void)synth.request(text, voice);
    QList<Utterance> out;
    while (out.size() < texts.size() && (!spy.isEmpty() || spy.wait(10'000)))
        out << spy.takeFirst().at(0).value<Utterance>();
    return out;
}

double rms(const Pcm& pcm)
{
    double sum = 0;
    for (const qint16 s : pcm)
        sum += double(s) * s;
    return pcm.isEmpty() ? 0 : std::sqrt(sum / double(pcm.size()));
}

// The fundamentals of the loud, voiced 40 ms frames, by autocorrelation between 60 and 500 Hz,
// in rising order.
QList<double> pitches(const Pcm& pcm)
{
    constexpr int FRAME = 882, MIN_LAG = MIXER_SAMPLE_RATE / 500, MAX_LAG = MIXER_SAMPLE_RATE / 60;
    QList<double> out;
    for (qsizetype f = 0; f + FRAME + MAX_LAG <= pcm.size(); f += FRAME) {
        auto correlation = [&](int lag) {
            double c = 0;
            for (int i = 0; i < FRAME; ++i)
                c += double(pcm[f + i]) * pcm[f + i + lag];
            return c;
        };
        if (correlation(0) < FRAME * rms(pcm) * rms(pcm))
            continue;
        int best = MIN_LAG;
        for (int lag = MIN_LAG; lag <= MAX_LAG; ++lag) {
            if (correlation(lag) > correlation(best))
                best = lag;
        }
        if (correlation(best) > 0.3 * correlation(0))
            out.append(double(MIXER_SAMPLE_RATE) / best);
    }
    std::sort(out.begin(), out.end());
    return out;
}

double median(const QList<double>& rising)
{
    return rising[rising.size() / 2];
}

// How far the pitch wanders from its median, relative to it (the median distance, which the
// tracker's octave slips do not move).
double spread(QList<double> rising)
{
    const double middle = median(rising);
    for (double& p : rising)
        p = std::abs(p - middle);
    std::sort(rising.begin(), rising.end());
    return median(rising) / middle;
}

// English is spoken by flite, other languages by espeak-ng: each row is run with both.
void row(const char* name, const QString& tagged, const QString& measure, double min, double max)
{
    for (const int language : {0x0409, 0x0407})
        QTest::addRow("%s, %x", name, language)
            << tagged << measure << min << max << VoiceSettings{0, 0, 0, language};
}

} // namespace

class TestSynthesizer final : public QObject
{
    Q_OBJECT

private slots:
    void tagsChangeHowTheVoiceSounds_data()
    {
        QTest::addColumn<QString>("tagged"); // before the line, or in place of its "Don't"
        QTest::addColumn<QString>("measure");
        QTest::addColumn<double>("min"); // tagged / plain, or the tagged line's median pitch in Hz
        QTest::addColumn<double>("max");
        QTest::addColumn<VoiceSettings>("voice");
        row("volume lowers loudness", R"(\Vol=20084\)", "rms", 0.2, 0.45);
        row("whisper is breath, not voice", R"(\Chr="Whisper"\)", "voiced", 0, 0.6);
        row("pitch raises the voice", R"(\Pit=202\)", "pitch", 1.3, 3.0);
        row("speed shortens", R"(\Spd=300\)", "length", 0.3, 0.8);
        row("pause lengthens by its time", R"(Don't\Pau=1000\)", "extra ms", 900, 1300);
        row("monotone flattens the melody", R"(\Chr="Monotone"\)", "spread", 0, 0.5);
        // The character's own pitch, untagged.
        const auto pitchRow = [](const char* name, VoiceSettings voice, double min, double max) {
            QTest::newRow(name) << QString() << "Hz" << min << max << voice;
        };
        pitchRow("female, high", {1, 210, 165, 0x0409}, 180, 240);
        pitchRow("male, low", {2, 95, 150, 0x0409}, 80, 110);
        pitchRow("male, raised", {2, 140, 175, 0x0409}, 120, 160);
        pitchRow("past the range", {1, 900, 0, 0x0409}, 370, 440);
        pitchRow("espeak-ng, male", {2, 95, 0, 0x0407}, 80, 110);
    }

    void tagsChangeHowTheVoiceSounds()
    {
        QFETCH(QString, tagged);
        QFETCH(QString, measure);
        QFETCH(double, min);
        QFETCH(double, max);
        QFETCH(VoiceSettings, voice);
        const QString line = "Don't tell them, I said that.";
        const QList<Utterance> u =
            speak({line, tagged + line.mid(tagged.startsWith('D') ? 5 : 0)}, voice);
        QCOMPARE(u.size(), 2);
        const Pcm &a = u[0].pcm, &b = u[1].pcm;
        double ratio = (u[1].durationUs() - u[0].durationUs()) / 1000.0;
        if (measure == "rms")
            ratio = rms(b) / rms(a);
        else if (measure == "voiced")
            ratio = double(pitches(b).size()) / double(pitches(a).size());
        else if (measure == "pitch")
            ratio = median(pitches(b)) / median(pitches(a));
        else if (measure == "Hz")
            ratio = median(pitches(b));
        else if (measure == "spread")
            ratio = spread(pitches(b)) / spread(pitches(a));
        else if (measure == "length")
            ratio = double(b.size()) / double(a.size());
        QVERIFY2(ratio >= min && ratio <= max, qPrintable(QString::number(ratio)));
    }

    void wordsAndMouthFollowTheSpeech_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<VoiceSettings>("voice");
        // The words shown, "|" between; "" when nothing is said, null when they and the mouth's
        // closings are not checked.
        QTest::addColumn<QString>("words");
        QTest::addColumn<int>("minClosings"); // of the mouth, between the first and the final cue
        QTest::addColumn<int>("maxClosings");
        QTest::newRow("b, m and p")
            << "Bob bought my map." << VoiceSettings{} << "Bob|bought|my|map." << 3 << 6;
        QTest::newRow("m alone") << "Oh ma, a mum, no mum." << VoiceSettings{}
                                 << "Oh|ma,|a|mum,|no|mum." << 3 << 6;
        QTest::newRow("no lip sounds, pause")
            << R"(Here \Pau=800\we are.)" << VoiceSettings{} << "Here|we|are." << 1 << 2;
        QTest::newRow("female, slow, unknown language")
            << "It is 12:30." << VoiceSettings{1, 230, 100, 0x7f} << "It|is|12:30." << 0 << 9;
        QTest::newRow("map and tags, bookmark on its word")
            << R"(\Spd=200\It is \Mrk=42\\Map="five past two"="14:05"\.)" << VoiceSettings{}
            << "It|is|14:05." << 0 << 9;
        // Text the synthesizers have no words for is still said as far as it goes, never an
        // error or a hang.
        for (const int language : {0x0409, 0x0407}) {
            const auto odd = [language](const char* name, const QString& text,
                                        const QString& words) {
                QTest::addRow("%s, %x", name, language)
                    << text << VoiceSettings{0, 0, 0, language} << words << 0 << 0;
            };
            odd("symbols", "§$%&/()=?*+#~|<>{}[]^° @ \\ \"", QString());
            odd("odd digits", "1,2.3e4 0x1F 1/2 -0 3:60:61 123456789012345678901234567", QString());
            odd("other scripts", QString::fromUtf8("日本語 ÄÖÜ café 🙂 x"), QString());
            odd("empty", "", "");
            odd("tags only", R"(\Pit=200\\Mrk=3\\Chr="Whisper"\)", "");
        }
    }

    void wordsAndMouthFollowTheSpeech()
    {
        QFETCH(QString, text);
        QFETCH(VoiceSettings, voice);
        QFETCH(QString, words);
        QFETCH(int, minClosings);
        QFETCH(int, maxClosings);
        const Utterance u = speak({text}, voice).value(0);
        QVERIFY2(u.error.isEmpty(), qPrintable(u.error));
        const bool heard = words.isNull() || !words.isEmpty();
        QCOMPARE(rms(u.pcm) > (words.isNull() ? 300 : 800), heard);
        // Words and mouth cues stay inside the audio; each cue is a change, closed at the end.
        for (const WordMark& w : u.words)
            QVERIFY(w.sample >= 0 && w.sample < u.pcm.size());
        for (qsizetype i = 0; i < u.mouth.size(); ++i)
            QVERIFY(u.mouth[i].sample >= 0 && u.mouth[i].sample <= u.pcm.size() &&
                    (i == 0 || (u.mouth[i].sample > u.mouth[i - 1].sample &&
                                u.mouth[i].mouth != u.mouth[i - 1].mouth)));
        QCOMPARE(u.mouth.last().mouth, Mouth::Closed);
        if (words.isEmpty())
            return;
        QStringList shown;
        for (const WordMark& w : u.words)
            shown << u.shownText.mid(w.shownStart, w.shownLength);
        QCOMPARE(shown.join('|'), words);
        // The first word starts with the first sound, not a word later.
        const auto loud =
            std::find_if(u.pcm.begin(), u.pcm.end(), [](qint16 s) { return s > 1000; });
        QVERIFY(std::abs(u.words[0].sample - (loud - u.pcm.begin())) < MIXER_SAMPLE_RATE / 10);
        for (qsizetype i = 1; i < u.words.size(); ++i)
            QVERIFY(u.words[i].sample > u.words[i - 1].sample);
        QCOMPARE(u.bookmarks.size(), text.contains("Mrk") ? 1 : 0);
        for (const Bookmark& b : u.bookmarks)
            QCOMPARE(b.sample, u.words[2].sample);
        const auto closings =
            std::count_if(u.mouth.begin() + 1, u.mouth.end() - 1,
                          [](const MouthCue& c) { return c.mouth == Mouth::Closed; });
        QVERIFY2(closings >= minClosings && closings <= maxClosings,
                 qPrintable(QString::number(closings)));
    }

    void aLongTextGivesWayWhenCancelled()
    {
        Synthesizer synth;
        QSignalSpy spy(&synth, &Synthesizer::ready);
        const Ticket long_ = synth.request(QString("The time is, 12:30. ").repeated(500), {});
        QTest::qWait(50);
        synth.cancel(long_);
        QElapsedTimer timer;
        timer.start();
        const Ticket next = synth.request("Hello.", {});
        QVERIFY(spy.wait(5'000));
        QVERIFY2(timer.elapsed() < 1'500, qPrintable(QString::number(timer.elapsed())));
        QCOMPARE(spy.size(), 1);
        QCOMPARE(spy[0][0].value<Utterance>().ticket, next);
    }
};

QTEST_GUILESS_MAIN(TestSynthesizer)
#include "test_synthesizer.moc"
