#include <algorithm>
#include <cmath>

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

void row(const char* name, const QString& tagged, const QString& measure, double min, double max)
{
    QTest::newRow(name) << tagged << measure << min << max;
}

} // namespace

class TestSynthesizer final : public QObject
{
    Q_OBJECT

private slots:
    void tagsChangeHowTheVoiceSounds_data();
    void tagsChangeHowTheVoiceSounds();
    void wordsAndMouthFollowTheSpeech_data();
    void wordsAndMouthFollowTheSpeech();
};

void TestSynthesizer::tagsChangeHowTheVoiceSounds_data()
{
    QTest::addColumn<QString>("tagged"); // before the line, or in place of its "Don't"
    QTest::addColumn<QString>("measure");
    QTest::addColumn<double>("minRatio"); // tagged / plain
    QTest::addColumn<double>("maxRatio");
    row("volume lowers loudness", R"(\Vol=20084\)", "rms", 0.2, 0.45);
    row("whisper is breath, not voice", R"(\Chr="Whisper"\)", "voiced", 0, 0.6);
    row("pitch raises the voice", R"(\Pit=202\)", "pitch", 1.3, 3.0);
    row("speed shortens", R"(\Spd=300\)", "length", 0.3, 0.75);
    row("pause lengthens by its time", R"(Don't\Pau=1000\)", "extra ms", 900, 1300);
}

void TestSynthesizer::tagsChangeHowTheVoiceSounds()
{
    QFETCH(QString, tagged);
    QFETCH(QString, measure);
    QFETCH(double, minRatio);
    QFETCH(double, maxRatio);
    const QString line = "Don't tell them, I said that.";
    const QList<Utterance> u = speak({line, tagged + line.mid(tagged.startsWith('D') ? 5 : 0)});
    QCOMPARE(u.size(), 2);
    const Pcm &a = u[0].pcm, &b = u[1].pcm;
    double ratio = (u[1].durationUs() - u[0].durationUs()) / 1000.0;
    if (measure == "rms")
        ratio = rms(b) / rms(a);
    else if (measure == "voiced")
        ratio = double(pitches(b).size()) / double(pitches(a).size());
    else if (measure == "pitch")
        ratio = pitches(b)[pitches(b).size() / 2] / pitches(a)[pitches(a).size() / 2];
    else if (measure == "length")
        ratio = double(b.size()) / double(a.size());
    QVERIFY2(ratio >= minRatio && ratio <= maxRatio, qPrintable(QString::number(ratio)));
}

void TestSynthesizer::wordsAndMouthFollowTheSpeech_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<VoiceSettings>("voice");
    QTest::addColumn<QString>("words");
    QTest::addColumn<int>("minClosings"); // of the mouth, between the first and the final cue
    QTest::addColumn<int>("maxClosings");
    QTest::newRow("b, m and p") << "Bob bought my map." << VoiceSettings{} << "Bob|bought|my|map."
                                << 3 << 6;
    QTest::newRow("m alone") << "Oh ma, a mum, no mum." << VoiceSettings{}
                             << "Oh|ma,|a|mum,|no|mum." << 3 << 6;
    QTest::newRow("no lip sounds, pause")
        << R"(Here \Pau=800\we are.)" << VoiceSettings{} << "Here|we|are." << 1 << 2;
    QTest::newRow("female, slow, unknown language")
        << "It is 12:30." << VoiceSettings{1, 230, 100, 0x7f} << "It|is|12:30." << 0 << 9;
    QTest::newRow("map and tags, bookmark on its word")
        << R"(\Spd=200\It is \Mrk=42\\Map="five past two"="14:05"\.)" << VoiceSettings{}
        << "It|is|14:05." << 0 << 9;
}

void TestSynthesizer::wordsAndMouthFollowTheSpeech()
{
    QFETCH(QString, text);
    QFETCH(VoiceSettings, voice);
    QFETCH(QString, words);
    QFETCH(int, minClosings);
    QFETCH(int, maxClosings);
    const Utterance u = speak({text}, voice).value(0);
    QVERIFY2(u.error.isEmpty() && rms(u.pcm) > 800, qPrintable(u.error));
    QStringList shown;
    for (const WordMark& w : u.words)
        shown << u.shownText.mid(w.shownStart, w.shownLength);
    QCOMPARE(shown.join('|'), words);
    // The first word starts with the first sound, not a word later.
    const auto loud = std::find_if(u.pcm.begin(), u.pcm.end(), [](qint16 s) { return s > 1000; });
    QVERIFY(std::abs(u.words[0].sample - (loud - u.pcm.begin())) < MIXER_SAMPLE_RATE / 10);
    for (qsizetype i = 1; i < u.words.size(); ++i)
        QVERIFY(u.words[i].sample > u.words[i - 1].sample);
    QCOMPARE(u.bookmarks.size(), text.contains("Mrk") ? 1 : 0);
    for (const Bookmark& b : u.bookmarks)
        QCOMPARE(b.sample, u.words[2].sample);

    // Mouth cues: in time order, each one a change, closed at the end.
    for (qsizetype i = 1; i < u.mouth.size(); ++i)
        QVERIFY(u.mouth[i].sample > u.mouth[i - 1].sample &&
                u.mouth[i].mouth != u.mouth[i - 1].mouth);
    QCOMPARE(u.mouth.last().mouth, Mouth::Closed);
    const auto closings = std::count_if(u.mouth.begin() + 1, u.mouth.end() - 1,
                                        [](const MouthCue& c) { return c.mouth == Mouth::Closed; });
    QVERIFY2(closings >= minClosings && closings <= maxClosings,
             qPrintable(QString::number(closings)));
}

QTEST_GUILESS_MAIN(TestSynthesizer)
#include "test_synthesizer.moc"
