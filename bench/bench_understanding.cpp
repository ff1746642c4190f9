// How well the time is understood: for each bundled character and a seeded set of random times,
// the clock phrase goes the program's own way (the character's voice block, the synthesizer on
// its worker thread, the mixer, whose output is captured) and an independent recogniser
// (pocketsphinx with its US English model, held to a grammar of clock phrases) says what it
// heard. Printed: the share heard exactly per character, for the voice the program uses and,
// for comparison, for espeak-ng given the same voice block. Goal: at least 95 % each.
//
// Usage: bench_understanding [times=40] [seed=2026]; needs sox and pocketsphinx on the PATH.
#include <cstdio>
#include <memory>
#include <random>

#include <QCoreApplication>
#include <QDir>
#include <QEventLoop>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

#include "clock/time_phrase.h"
#include "engine/acs/acs_model.h"
#include "engine/runtime/character_voice.h"
#include "engine/speech/audio_mixer.h"
#include "engine/speech/espeak_synthesis.h"
#include "engine/speech/synthesizer.h"

using namespace engine;
using namespace engine::speech;

namespace {

const char* const CHARACTERS[] = {"tock", "olwen", "pim"};

const char* const GRAMMAR = R"(#JSGF V1.0;
grammar clock;
public <phrase> = the time is <hour> <minutes>;
<hour> = one | two | three | four | five | six | seven | eight | nine | ten | eleven | twelve;
<minutes> = o'clock | (oh | zero) <digit> | ten | eleven | twelve | thirteen | fourteen | fifteen
          | sixteen | seventeen | eighteen | nineteen | <tens> [<digit>];
<tens> = twenty | thirty | forty | fifty;
<digit> = one | two | three | four | five | six | seven | eight | nine;
)";

const char* const ONES[] = {"",        "one",     "two",       "three",    "four",
                            "five",    "six",     "seven",     "eight",    "nine",
                            "ten",     "eleven",  "twelve",    "thirteen", "fourteen",
                            "fifteen", "sixteen", "seventeen", "eighteen", "nineteen"};
const char* const TENS[] = {"", "", "twenty", "thirty", "forty", "fifty"};

// What a listener should hear for hour:minute, in the grammar's words.
QString meant(int hour, int minute)
{
    QString words = QStringLiteral("the time is ") + ONES[hour % 12 == 0 ? 12 : hour % 12];
    if (minute == 0)
        return words + " o'clock";
    if (minute < 10)
        return words + " oh " + ONES[minute];
    if (minute < 20)
        return words + ' ' + ONES[minute];
    words += QStringLiteral(" ") + TENS[minute / 10];
    return minute % 10 ? words + ' ' + ONES[minute % 10] : words;
}

// A device that keeps everything the mixer writes and hears it as soon as it is written.
class CapturingOutput final : public AudioOutput
{
public:
    Pcm written;

    bool start() override { return true; }
    bool failed() const override { return false; }
    qint64 writableFrames() const override { return MIXER_SAMPLE_RATE * MIXER_PERIOD_MS / 1000; }
    qint64 write(const qint16* frames, qint64 count) override
    {
        written.append(QList<qint16>(frames, frames + count));
        return count;
    }
    qint64 playedFrames() const override { return written.size(); }
    void rest() override {}
};

// The voice as the mixer plays it, on a clock moved by hand so it takes no real time.
Pcm throughTheMixer(const Pcm& voice)
{
    auto* output = new CapturingOutput;
    qint64 nowUs = 0;
    AudioMixer mixer(
        std::unique_ptr<AudioOutput>(output), [&] { return nowUs; }, Feeding::Caller);
    const SourceId id = mixer.play(voice);
    while (mixer.isPlaying(id)) {
        mixer.pump();
        nowUs += MIXER_PERIOD_MS * 1000;
    }
    return output->written;
}

QByteArray wav(const Pcm& pcm)
{
    const auto bytes = quint32(pcm.size() * 2);
    QByteArray out;
    auto put = [&](quint32 v, int size) {
        for (int i = 0; i < size; ++i)
            out.append(char((v >> (8 * i)) & 0xff));
    };
    out += "RIFF";
    put(36 + bytes, 4);
    out += "WAVEfmt ";
    put(16, 4), put(1, 2), put(1, 2), put(MIXER_SAMPLE_RATE, 4), put(MIXER_SAMPLE_RATE * 2, 4);
    put(2, 2), put(16, 2);
    out += "data";
    put(bytes, 4);
    out.append(reinterpret_cast<const char*>(pcm.constData()), bytes);
    return out;
}

QString run(const QString& program, const QStringList& arguments)
{
    QProcess process;
    process.start(program, arguments);
    if (!process.waitForFinished(60'000) || process.exitCode() != 0)
        qFatal("%s failed: %s", qPrintable(program), process.readAllStandardError().constData());
    const QStringList lines =
        QString::fromUtf8(process.readAllStandardOutput()).split('\n', Qt::SkipEmptyParts);
    return lines.isEmpty() ? QString() : lines.last().trimmed();
}

// What the recogniser hears in the captured output: 16 kHz, silence cut at both ends, 0.3 s
// of quiet added back (it needs a little before and after).
QString heard(const Pcm& played, const QDir& dir)
{
    QFile file(dir.filePath("played.wav"));
    if (!file.open(QIODevice::WriteOnly) || file.write(wav(played)) < 0)
        qFatal("cannot write %s", qPrintable(file.fileName()));
    file.close();
    const QString in = dir.filePath("in.wav");
    run("sox", {file.fileName(), "-r", "16000", "-c", "1", in, "silence", "1", "0.05", "1%",
                "reverse", "silence", "1", "0.05", "1%", "reverse", "pad", "0.3", "0.3"});
    return run("pocketsphinx_continuous",
               {"-infile", in, "-jsgf", dir.filePath("clock.gram"), "-logfn", "/dev/null"});
}

acs::CharacterFile loadCharacter(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        qFatal("no character at %s", qPrintable(path));
    auto parsed = acs::readCharacterFile(file.readAll());
    if (!parsed)
        qFatal("%s: %s", qPrintable(path), qPrintable(parsed.error().what));
    return std::move(parsed).value();
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    const int count = argc > 1 ? QString(argv[1]).toInt() : 40;
    const unsigned seed = argc > 2 ? QString(argv[2]).toUInt() : 2026;
    QTemporaryDir dir;
    QFile grammar(QDir(dir.path()).filePath("clock.gram"));
    if (!grammar.open(QIODevice::WriteOnly) || grammar.write(GRAMMAR) < 0)
        qFatal("cannot write the grammar");
    grammar.close();

    Synthesizer synthesizer;
    std::printf("%d random times, seed %u\n%-8s %-22s %-22s\n", count, seed, "", "program's voice",
                "espeak-ng, same block");
    for (const char* name : CHARACTERS) {
        const acs::CharacterFile character =
            loadCharacter(QStringLiteral(HV_BUNDLED_CHARACTERS "/%1.acs").arg(name));
        const int languageId = character.info.voice ? character.info.voice->languageId : 0x0409;
        const VoiceSettings voice = runtime::voiceSettings(character, languageId);
        std::mt19937 random(seed);
        int programRight = 0;
        int espeakRight = 0;
        QStringList misheard;
        for (int i = 0; i < count; ++i) {
            const int hour = int(random() % 24);
            const int minute = int(random() % 60);
            const QString phrase = hv::clock::timePhrase(hour, minute);
            Utterance spoken;
            QEventLoop loop;
            QObject::connect(&synthesizer, &Synthesizer::ready, &loop, [&](const Utterance& u) {
                spoken = u;
                loop.quit();
            });
            (void)synthesizer.request(phrase, voice);
            loop.exec();
            const QString program = heard(throughTheMixer(spoken.pcm), QDir(dir.path()));
            if (program == meant(hour, minute))
                ++programRight;
            else
                misheard << QStringLiteral("%1 -> \"%2\"").arg(phrase, program);
            const Utterance byEspeak = synthesizeScript(parseSpeechText(phrase, true), voice);
            if (heard(throughTheMixer(byEspeak.pcm), QDir(dir.path())) == meant(hour, minute))
                ++espeakRight;
        }
        std::printf("%-8s %3d/%-3d = %5.1f %%        %3d/%-3d = %5.1f %%\n", name, programRight,
                    count, 100.0 * programRight / count, espeakRight, count,
                    100.0 * espeakRight / count);
        for (const QString& m : misheard)
            std::printf("         misheard: %s\n", qPrintable(m));
        std::fflush(stdout);
    }
    return 0;
}
