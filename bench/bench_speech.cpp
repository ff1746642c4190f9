// Goals: synthesizing the clock phrase takes at most 30 ms; a ready utterance handed to the
// mixer is being heard (the sink's played count passes its first sample) within 20 ms.
#include <benchmark/benchmark.h>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>

#include "agentctl/speech/audio_mixer.h"
#include "agentctl/speech/espeak_synthesis.h"
#include "agentctl/speech/speech_text.h"
#include "agentctl/speech/synthesizer.h"

using namespace agentctl::speech;

namespace {

const QString CLOCK_PHRASE = QStringLiteral("The time is, 12:30.");

// The engine's own work on the calling thread.
void synthesizeClockPhrase(benchmark::State& state)
{
    for (auto _ : state) {
        const Utterance u = synthesizeScript(parseSpeechText(CLOCK_PHRASE, true), {});
        benchmark::DoNotOptimize(u.pcm.data());
    }
}
BENCHMARK(synthesizeClockPhrase)->Unit(benchmark::kMillisecond);

// What the runtime waits for: request on this thread, result back through the queued signal.
void synthesizerRoundTrip(benchmark::State& state)
{
    Synthesizer synth;
    QEventLoop loop;
    QObject::connect(&synth, &Synthesizer::ready, &loop, &QEventLoop::quit);
    for (auto _ : state) {
        [[maybe_unused]] const Ticket t = synth.request(CLOCK_PHRASE, {});
        loop.exec();
    }
}
BENCHMARK(synthesizerRoundTrip)->Unit(benchmark::kMillisecond);

// From play() on an idle mixer to the device reporting the first sample played.
void mixerStartToFirstSampleHeard(benchmark::State& state)
{
    const Utterance u = synthesizeScript(parseSpeechText(CLOCK_PHRASE, true), {});
    AudioMixer mixer;
    if (mixer.isSilent()) {
        state.SkipWithError("no audio output device");
        return;
    }
    // A new stream on a timer-driven sink (the CI null sink) waits out the sink's long period
    // first; that start-up is paid once per mixer, so it stays out of the figure.
    QElapsedTimer warmUp;
    warmUp.start();
    const SourceId first = mixer.play(Pcm(MIXER_SAMPLE_RATE / 10, 0));
    while (mixer.isPlaying(first) && warmUp.elapsed() < 5'000)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
    state.counters["warm_up_ms"] = double(warmUp.elapsed());
    for (auto _ : state) {
        QElapsedTimer timer;
        timer.start();
        const SourceId id = mixer.play(u.pcm);
        while (mixer.positionUs(id) <= 0 && timer.elapsed() < 5'000)
            QCoreApplication::processEvents(QEventLoop::AllEvents, 1);
        state.SetIterationTime(double(timer.nsecsElapsed()) / 1e9);
        state.PauseTiming();
        mixer.stop(id);
        // Let the stopped voice drain so every round starts from silence.
        QElapsedTimer drain;
        drain.start();
        while (drain.elapsed() < 300)
            QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
        state.ResumeTiming();
    }
}
BENCHMARK(mixerStartToFirstSampleHeard)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond)
    ->Iterations(20);

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
