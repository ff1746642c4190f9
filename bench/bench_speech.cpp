// Goals: synthesizing the clock phrase takes at most 30 ms; a ready utterance handed to the
// mixer (argument 0) is being heard (the sink's played count passes its first sample) within 20 ms;
// while the GUI thread is blocked for 200 ms the mixer's output never waits longer than one period
// (20 ms) for its next samples.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <mutex>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QThread>

#include "engine/speech/audio_mixer.h"
#include "engine/speech/espeak_synthesis.h"
#include "engine/speech/flite_synthesis.h"
#include "engine/speech/speech_text.h"
#include "engine/speech/synthesizer.h"

using namespace engine::speech;

namespace {

const QString CLOCK_PHRASE = QStringLiteral("The time is, 12:30.");

// The engine's own work on the calling thread: flite, which speaks English, then espeak-ng.
void synthesizeClockPhrase(benchmark::State& state)
{
    const VoiceSettings voice{int(state.range(0)), 0, 0, 0x0409};
    for (auto _ : state) {
        const auto u = synthesizeScriptWithFlite(parseSpeechText(CLOCK_PHRASE, true), voice);
        benchmark::DoNotOptimize(u->pcm.data());
    }
}
BENCHMARK(synthesizeClockPhrase)->Unit(benchmark::kMillisecond)->Arg(1)->Arg(2);

void synthesizeClockPhraseEspeak(benchmark::State& state)
{
    for (auto _ : state) {
        const Utterance u = synthesizeScript(parseSpeechText(CLOCK_PHRASE, true), {});
        benchmark::DoNotOptimize(u.pcm.data());
    }
}
BENCHMARK(synthesizeClockPhraseEspeak)->Unit(benchmark::kMillisecond);

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

// From play() on an idle mixer (or, with the argument 1, from the request to the synthesizer)
// to the device reporting the first sample played.
void mixerStartToFirstSampleHeard(benchmark::State& state)
{
    const bool fromRequest = state.range(0) == 1;
    Synthesizer synth;
    Utterance u;
    QEventLoop loop;
    QObject::connect(&synth, &Synthesizer::ready, &loop, [&](const Utterance& ready) {
        u = ready;
        loop.quit();
    });
    (void)synth.request(CLOCK_PHRASE, {});
    loop.exec();
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
        if (fromRequest) {
            (void)synth.request(CLOCK_PHRASE, {});
            loop.exec();
        }
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
    ->Arg(0)
    ->Arg(1)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond)
    ->Iterations(20);

// The default device (or, without one, the silent output), noting the largest wait between
// two writes while `watching` is set. Written on the mixer's thread, read on this one.
class GapWatchingOutput final : public AudioOutput
{
public:
    std::mutex lock;
    bool watching = false;
    qint64 largestGapUs = 0;
    qint64 lastWriteUs = 0;
    bool silent = false;

    bool start() override
    {
        lastWriteUs = m_clock();
        if (m_device->start())
            return true;
        m_device = makeSilentOutput(m_clock);
        silent = true;
        return m_device->start();
    }
    bool failed() const override { return m_device->failed(); }
    qint64 writableFrames() const override { return m_device->writableFrames(); }
    qint64 write(const qint16* frames, qint64 count) override
    {
        const std::lock_guard guard(lock);
        const qint64 now = m_clock();
        if (watching)
            largestGapUs = std::max(largestGapUs, now - lastWriteUs);
        lastWriteUs = now;
        return m_device->write(frames, count);
    }
    qint64 playedFrames() const override { return m_device->playedFrames(); }
    void rest() override { m_device->rest(); }

private:
    MonotonicClock m_clock = steadyClock();
    std::unique_ptr<AudioOutput> m_device = makeDeviceOutput();
};

// The GUI thread (this one) blocks for 200 ms while a voice plays; the figure is the largest
// wait of the output between two writes during the block.
void mixerGapWhileGuiThreadBlocks(benchmark::State& state)
{
    auto* output = new GapWatchingOutput;
    AudioMixer mixer(std::unique_ptr<AudioOutput>(output), steadyClock());
    // As above: a timer-driven sink takes new data only once it has served the new stream.
    QElapsedTimer warmUp;
    warmUp.start();
    const SourceId first = mixer.play(Pcm(MIXER_SAMPLE_RATE / 10, 0));
    while (mixer.isPlaying(first) && warmUp.elapsed() < 5'000)
        QThread::msleep(5);
    qint64 worstUs = 0;
    for (auto _ : state) {
        const SourceId id = mixer.play(Pcm(MIXER_SAMPLE_RATE, 1000));
        QThread::msleep(20); // the voice is under way
        {
            const std::lock_guard guard(output->lock);
            output->watching = true;
            output->largestGapUs = 0;
        }
        QThread::msleep(200);
        {
            const std::lock_guard guard(output->lock);
            output->watching = false;
            // A wait still going on counts too.
            const qint64 pendingUs = steadyClock()() - output->lastWriteUs;
            worstUs = std::max({worstUs, output->largestGapUs, pendingUs});
        }
        mixer.stop(id);
    }
    state.counters["largest_gap_ms"] = double(worstUs) / 1000.0;
    state.counters["period_ms"] = MIXER_PERIOD_MS;
    state.counters["silent_output"] = output->silent ? 1 : 0;
}
BENCHMARK(mixerGapWhileGuiThreadBlocks)->Unit(benchmark::kMillisecond)->Iterations(10);

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
