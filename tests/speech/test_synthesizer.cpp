#include <algorithm>
#include <cmath>

#include <QSignalSpy>
#include <QTest>

#include "agentctl/speech/synthesizer.h"

using namespace agentctl::speech;

namespace {

Utterance speak(Synthesizer& synth, const QString& text, const VoiceSettings& voice = {})
{
    QSignalSpy spy(&synth, &Synthesizer::ready);
    const Ticket ticket = synth.request(text, voice);
    if (!spy.wait(10'000))
        return {};
    auto u = spy.takeFirst().at(0).value<Utterance>();
    if (u.ticket != ticket)
        return {};
    return u;
}

double rms(const Pcm& pcm)
{
    double sum = 0;
    for (const qint16 s : pcm)
        sum += double(s) * s;
    return pcm.isEmpty() ? 0 : std::sqrt(sum / pcm.size());
}

// Zero crossings per second over the loud parts: voiced speech crosses a few hundred times a
// second, whispered (noise-excited) speech several thousand times.
double zeroCrossingRate(const Pcm& pcm)
{
    const double threshold = rms(pcm) * 0.5;
    constexpr int FRAME = 441; // 20 ms
    qint64 crossings = 0;
    qint64 frames = 0;
    for (qsizetype f = 0; f + FRAME <= pcm.size(); f += FRAME) {
        const Pcm frame = pcm.mid(f, FRAME);
        if (rms(frame) < threshold)
            continue;
        ++frames;
        for (int i = 1; i < FRAME; ++i)
            crossings += (frame[i - 1] < 0) != (frame[i] < 0);
    }
    return frames == 0 ? 0 : double(crossings) / (frames * FRAME) * MIXER_SAMPLE_RATE;
}

// Median fundamental over voiced 40 ms frames, by autocorrelation between 60 and 500 Hz.
double medianPitchHz(const Pcm& pcm)
{
    constexpr int FRAME = 882;
    constexpr int MIN_LAG = MIXER_SAMPLE_RATE / 500;
    constexpr int MAX_LAG = MIXER_SAMPLE_RATE / 60;
    const double threshold = rms(pcm);
    QList<double> pitches;
    for (qsizetype f = 0; f + FRAME + MAX_LAG <= pcm.size(); f += FRAME) {
        if (rms(pcm.mid(f, FRAME)) < threshold)
            continue;
        double energy = 0;
        for (int i = 0; i < FRAME; ++i)
            energy += double(pcm[f + i]) * pcm[f + i];
        int bestLag = 0;
        double best = 0;
        for (int lag = MIN_LAG; lag <= MAX_LAG; ++lag) {
            double c = 0;
            for (int i = 0; i < FRAME; ++i)
                c += double(pcm[f + i]) * pcm[f + i + lag];
            if (c > best) {
                best = c;
                bestLag = lag;
            }
        }
        if (bestLag > 0 && best > 0.3 * energy)
            pitches.append(double(MIXER_SAMPLE_RATE) / bestLag);
    }
    if (pitches.isEmpty())
        return 0;
    std::sort(pitches.begin(), pitches.end());
    return pitches[pitches.size() / 2];
}

Mouth mouthAt(const Utterance& u, qint64 sample)
{
    Mouth m = Mouth::Closed;
    for (const MouthCue& c : u.mouth) {
        if (c.sample > sample)
            break;
        m = c.mouth;
    }
    return m;
}

QString shownWords(const Utterance& u)
{
    QStringList words;
    for (const WordMark& w : u.words)
        words << u.shownText.mid(w.shownStart, w.shownLength);
    return words.join(QLatin1Char('|'));
}

} // namespace

class TestSynthesizer final : public QObject
{
    Q_OBJECT

private slots:
    void phraseHasSpeechOfPlausibleLength_data();
    void phraseHasSpeechOfPlausibleLength();
    void tagsChangeHowTheVoiceSounds_data();
    void tagsChangeHowTheVoiceSounds();
    void mouthFollowsPhonemesAndClosesAtPausesAndTheEnd_data();
    void mouthFollowsPhonemesAndClosesAtPausesAndTheEnd();
    void lipsCloseOnLipSounds_data();
    void lipsCloseOnLipSounds();
    void wordMarksPaceTheShownText_data();
    void wordMarksPaceTheShownText();
    void bookmarkMarksItsWordAndRepeatingDropsIt();
    void cancelledRequestIsNeverDelivered();
};

void TestSynthesizer::phraseHasSpeechOfPlausibleLength_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<VoiceSettings>("voice");

    QTest::newRow("clock") << "The time is, 12:30." << VoiceSettings{};
    QTest::newRow("about")
        << "This program was conceived of, and created by, Dorrit Fenwald, Osric Brannock, "
           "and, Ilsabet Quarrel.."
        << VoiceSettings{};
    QTest::newRow("female, slow") << "The time is, 9:05." << VoiceSettings{1, 0, 100, 1033};
    QTest::newRow("character's own pitch and speed")
        << "The time is, 9:05." << VoiceSettings{2, 130, 160, 1033};
    QTest::newRow("British English") << "The time is, 9:05." << VoiceSettings{2, 0, 0, 2057};
    QTest::newRow("German") << "Es ist neun Uhr." << VoiceSettings{2, 0, 0, 1031};
    QTest::newRow("unknown language") << "The time is, 9:05." << VoiceSettings{0, 0, 0, 0x7f};
}

void TestSynthesizer::phraseHasSpeechOfPlausibleLength()
{
    QFETCH(QString, text);
    QFETCH(VoiceSettings, voice);

    Synthesizer synth;
    const Utterance u = speak(synth, text, voice);
    QVERIFY2(u.error.isEmpty(), qPrintable(u.error));
    QCOMPARE(u.shownText, text);
    // Speech runs at roughly 5 (slow voices) to 30 characters a second.
    QVERIFY2(u.durationUs() > text.size() * 30'000LL && u.durationUs() < text.size() * 200'000LL,
             qPrintable(QString::number(u.durationUs())));
    QVERIFY2(rms(u.pcm) > 800, qPrintable(QString::number(rms(u.pcm))));
    QVERIFY(*std::max_element(u.pcm.begin(), u.pcm.end()) > 4000);
}

void TestSynthesizer::tagsChangeHowTheVoiceSounds_data()
{
    QTest::addColumn<QString>("plain");
    QTest::addColumn<QString>("tagged");
    QTest::addColumn<QString>("measure");
    QTest::addColumn<double>("minRatio"); // tagged / plain at least
    QTest::addColumn<double>("maxRatio"); // tagged / plain at most

    const QString line = "Don't tell them, I said that.";
    QTest::newRow("volume lowers loudness")
        << line << R"(\Vol=20084\)" + line << "rms" << 0.0 << 0.5;
    QTest::newRow("whisper is quieter")
        << line << R"(\Vol=20084\\Chr="Whisper"\)" + line << "rms" << 0.0 << 0.4;
    QTest::newRow("whisper is breath, not voice")
        << line << R"(\Chr="Whisper"\)" + line << "zcr" << 2.0 << 100.0;
    QTest::newRow("pitch raises the voice") << "So long."
                                            << R"(\Pit=202\So long.)"
                                            << "pitch" << 1.3 << 3.0;
    QTest::newRow("monotone keeps pitch")
        << line << R"(\Chr="Monotone"\)" + line << "pitch" << 0.8 << 1.2;
    QTest::newRow("speed shortens") << line << R"(\Spd=300\)" + line << "length" << 0.3 << 0.75;
    QTest::newRow("pause lengthens by its time") << "One two."
                                                 << R"(One\Pau=1000\ two.)"
                                                 << "extra ms" << 900.0 << 1300.0;
    QTest::newRow("reset undoes volume")
        << line << R"(\Vol=9000\\Rst\)" + line << "rms" << 0.8 << 1.25;
}

void TestSynthesizer::tagsChangeHowTheVoiceSounds()
{
    QFETCH(QString, plain);
    QFETCH(QString, tagged);
    QFETCH(QString, measure);
    QFETCH(double, minRatio);
    QFETCH(double, maxRatio);

    Synthesizer synth;
    const Utterance a = speak(synth, plain);
    const Utterance b = speak(synth, tagged);
    QVERIFY(!a.pcm.isEmpty() && !b.pcm.isEmpty());
    double ratio = 0;
    if (measure == "rms")
        ratio = rms(b.pcm) / rms(a.pcm);
    else if (measure == "zcr")
        ratio = zeroCrossingRate(b.pcm) / zeroCrossingRate(a.pcm);
    else if (measure == "pitch")
        ratio = medianPitchHz(b.pcm) / medianPitchHz(a.pcm);
    else if (measure == "length")
        ratio = double(b.pcm.size()) / a.pcm.size();
    else
        ratio = (b.durationUs() - a.durationUs()) / 1000.0;
    QVERIFY2(ratio >= minRatio && ratio <= maxRatio, qPrintable(QString::number(ratio)));
}

void TestSynthesizer::mouthFollowsPhonemesAndClosesAtPausesAndTheEnd_data()
{
    QTest::addColumn<QString>("text");
    QTest::newRow("clock") << "The time is, 12:30.";
    QTest::newRow("whisper") << R"(\Chr="Whisper"\Three People. With way, too much time.)";
    QTest::newRow("pause tag") << R"(Hello\Pau=800\world)";
}

void TestSynthesizer::mouthFollowsPhonemesAndClosesAtPausesAndTheEnd()
{
    QFETCH(QString, text);

    Synthesizer synth;
    const Utterance u = speak(synth, text);
    QVERIFY(u.mouth.size() >= 4);
    QSet<Mouth> shapes;
    for (qsizetype i = 0; i < u.mouth.size(); ++i) {
        const MouthCue& c = u.mouth[i];
        QVERIFY(c.sample >= 0 && c.sample <= u.pcm.size());
        if (i > 0) {
            QVERIFY2(c.sample > u.mouth[i - 1].sample, "cues must be in time order");
            QVERIFY2(c.mouth != u.mouth[i - 1].mouth, "a cue must change the mouth");
        }
        shapes.insert(c.mouth);
    }
    QVERIFY2(shapes.size() >= 4, "speech opens the mouth in several shapes");
    QCOMPARE(u.mouth.last().mouth, Mouth::Closed);

    // The mouth is open while there is sound and closed once the sound has ended.
    qint64 lastLoud = 0;
    for (qsizetype i = 0; i < u.pcm.size(); ++i) {
        if (std::abs(u.pcm[i]) > 500)
            lastLoud = i;
    }
    QCOMPARE(mouthAt(u, u.pcm.size()), Mouth::Closed);
    QVERIFY(u.mouth.last().sample <= lastLoud + MIXER_SAMPLE_RATE / 5);

    const Utterance hello = text.contains("Pau") ? speak(synth, "Hello") : Utterance{};
    if (!hello.pcm.isEmpty()) {
        // Inside the 800 ms pause that follows "Hello".
        const qint64 pauseMiddle = hello.pcm.size() + MIXER_SAMPLE_RATE * 4 / 10;
        QCOMPARE(mouthAt(u, pauseMiddle), Mouth::Closed);
        QVERIFY(mouthAt(u, pauseMiddle + MIXER_SAMPLE_RATE * 6 / 10) != Mouth::Closed ||
                mouthAt(u, pauseMiddle + MIXER_SAMPLE_RATE * 7 / 10) != Mouth::Closed);
    }
}

void TestSynthesizer::lipsCloseOnLipSounds_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("minClosings"); // before the final close
    QTest::addColumn<int>("maxClosings");

    // "b b" of "Bob bought", the m of "my", the m of "map"; the first B opens the list and the
    // last p runs into the final close.
    QTest::newRow("b, m and p") << "Bob bought my map." << 3 << 6;
    QTest::newRow("no lip sounds") << "Here we are now." << 0 << 1;
}

void TestSynthesizer::lipsCloseOnLipSounds()
{
    QFETCH(QString, text);
    QFETCH(int, minClosings);
    QFETCH(int, maxClosings);

    Synthesizer synth;
    const Utterance u = speak(synth, text);
    QVERIFY(u.mouth.size() > 2);
    // The first cue may close the mouth before the first sound; the last always does.
    const auto closings = std::count_if(u.mouth.begin() + 1, u.mouth.end() - 1,
                                        [](const MouthCue& c) { return c.mouth == Mouth::Closed; });
    QVERIFY2(closings >= minClosings && closings <= maxClosings,
             qPrintable(QString::number(closings)));
}

void TestSynthesizer::wordMarksPaceTheShownText_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("words");

    QTest::newRow("clock time shown as written") << "The time is, 9:05."
                                                 << "The|time|is,|9:05.";
    QTest::newRow("o'clock") << "The time is, 1:00."
                             << "The|time|is,|1:00.";
    QTest::newRow("map shows the second text") << R"(It is \Map="five past two"="14:05"\.)"
                                               << "It|is|14:05.";
    QTest::newRow("tags are not shown") << R"(\Vol=20084\\Chr="Whisper"\Don't tell them.)"
                                        << "Don't|tell|them.";
}

void TestSynthesizer::wordMarksPaceTheShownText()
{
    QFETCH(QString, text);
    QFETCH(QString, words);

    Synthesizer synth;
    const Utterance u = speak(synth, text);
    QCOMPARE(shownWords(u), words);
    for (qsizetype i = 1; i < u.words.size(); ++i)
        QVERIFY(u.words[i].sample > u.words[i - 1].sample);
    QVERIFY(u.words.last().sample < u.pcm.size());
}

void TestSynthesizer::bookmarkMarksItsWordAndRepeatingDropsIt()
{
    Synthesizer synth;
    const Utterance first = speak(synth, R"(\Vol=20084\One two \Mrk=42\three four.)");
    QCOMPARE(shownWords(first), QStringLiteral("One|two|three|four."));
    QCOMPARE(first.bookmarks.size(), 1);
    QCOMPARE(first.bookmarks[0].id, 42);
    QCOMPARE(first.bookmarks[0].sample, first.words[2].sample);
    const Utterance again = speak(synth, R"(\Lst\)");
    QCOMPARE(again.shownText, first.shownText);
    QVERIFY(again.bookmarks.isEmpty());
    // Same words in the same voice: within a few percent (the engine is not bit-exact).
    QVERIFY(std::abs(again.pcm.size() - first.pcm.size()) < first.pcm.size() / 20);
    QVERIFY(std::abs(rms(again.pcm) - rms(first.pcm)) < rms(first.pcm) / 5);
}

void TestSynthesizer::cancelledRequestIsNeverDelivered()
{
    Synthesizer synth;
    QSignalSpy spy(&synth, &Synthesizer::ready);
    const Ticket dropped = synth.request("This request is dropped by a Stop.", {});
    const Ticket kept = synth.request("Kept.", {});
    synth.cancel(dropped);
    QVERIFY(spy.wait(10'000));
    QCOMPARE(spy.size(), 1);
    QCOMPARE(spy.at(0).at(0).value<Utterance>().ticket, kept);
    QCOMPARE(spy.at(0).at(0).value<Utterance>().shownText, QStringLiteral("Kept."));
}

QTEST_GUILESS_MAIN(TestSynthesizer)
#include "test_synthesizer.moc"
