// The clock tick with the real character engine: the tick's own work on a minute that says
// nothing, the tick that announces (it loads the character and queues its requests), the time
// from that tick to the character's first frame on screen, and to the first sample of its voice
// that the listener hears.
//
// Runs headless (offscreen) unless QT_QPA_PLATFORM says otherwise, on the default audio output
// (a PulseAudio null sink will do). The character is a bundled one with its frame sounds taken
// out, so that the first loud sample heard is the voice.

#include <atomic>
#include <cstdlib>
#include <memory>

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <QTimer>
#include <QWidget>

#include "alarms/alarm_table.h"
#include "engine/acs/acs_model.h"
#include "engine/runtime/agent_engine.h"
#include "engine/runtime/frame_timer.h"
#include "engine/speech/audio_mixer.h"
#include "engine/speech/synthesizer.h"
#include "fake_platform.h"
#include "shell/main_window.h"

namespace {

namespace speech = engine::speech;

// The device output, noting the first loud frame written and when the listener has heard it.
// The mixer drives it from its own thread; the benchmark reads the two marks from the GUI thread.
class ListeningOutput final : public speech::AudioOutput
{
public:
    std::unique_ptr<speech::AudioOutput> device = speech::makeDeviceOutput();
    qint64 written = 0;
    std::atomic<qint64> firstLoudFrame = -1;

    bool start() override { return device->start(); }
    bool failed() const override { return device->failed(); }
    qint64 writableFrames() const override { return device->writableFrames(); }
    qint64 write(const qint16* frames, qint64 count) override
    {
        const qint64 taken = device->write(frames, count);
        for (qint64 i = 0; i < taken && firstLoudFrame < 0; ++i) {
            if (std::abs(frames[i]) > 1000)
                firstLoudFrame = written + i;
        }
        written += taken;
        return taken;
    }
    qint64 playedFrames() const override
    {
        heard = device->playedFrames();
        return heard;
    }
    void rest() override { device->rest(); }

    [[nodiscard]] bool loudFrameHeard() const
    {
        const qint64 loud = firstLoudFrame;
        return loud >= 0 && heard > loud;
    }

private:
    mutable std::atomic<qint64> heard = 0;
};

// A copy of a bundled character with no frame sounds, in a folder of its own.
QString quietCharacterRoot(const QTemporaryDir& folder)
{
    QFile source(QStringLiteral(HV_BUILD_DIR "/chars/tock.acs"));
    if (!source.open(QIODevice::ReadOnly))
        qFatal("no bundled character in %s", HV_BUILD_DIR);
    auto character = engine::acs::readCharacterFile(source.readAll());
    if (!character)
        qFatal("the bundled character does not read");
    engine::acs::CharacterFile quiet = std::move(character).value();
    for (auto& animation : quiet.animations) {
        for (auto& frame : animation.frames)
            frame.soundIndex = engine::acs::NO_SOUND;
    }
    quiet.sounds.clear();
    QDir().mkpath(folder.path() + "/chars");
    QFile target(folder.path() + "/chars/tock.acs");
    if (!target.open(QIODevice::WriteOnly))
        qFatal("cannot write the quiet character");
    target.write(engine::acs::writeCharacterFile(quiet));
    return folder.path();
}

struct Clock
{
    QTemporaryDir app;
    QTemporaryDir characters;
    hv::testing::FakePlatform platform{app.path(), quietCharacterRoot(characters)};
    engine::runtime::QtTimerSource timers;
    ListeningOutput* output = new ListeningOutput;
    speech::AudioMixer mixer{std::unique_ptr<speech::AudioOutput>(output), speech::steadyClock()};
    speech::Synthesizer synthesizer;
    engine::runtime::AgentEngine engine{timers, &mixer, &synthesizer, 1};
    std::unique_ptr<hv::shell::frmHoravox> window;

    Clock()
    {
        platform.clock = QDateTime(QDate(2026, 12, 5), QTime(14, 29, 0));
        window = std::make_unique<hv::shell::frmHoravox>(platform, engine);
        window->clock().tmrClock().stop();
        window->tmrClock_Timer(); // synchronises on the full minute
    }

    // The character's window once it is on screen, or null.
    QWidget* characterOnScreen() const
    {
        const QWidgetList windows = QApplication::topLevelWidgets();
        for (QWidget* candidate : windows) {
            if (candidate != window.get() && candidate->isVisible() &&
                candidate->inherits("engine::runtime::CharacterWindow"))
                return candidate;
        }
        return nullptr;
    }

    void waitUntilGone() const
    {
        while (window->clock().objCharacter() || characterOnScreen())
            QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
    }
};

void silentTick(benchmark::State& state)
{
    Clock clock;
    clock.platform.clock = QDateTime(QDate(2026, 12, 5), QTime(14, 31, 0));
    for (auto _ : state)
        clock.window->tmrClock_Timer();
}
BENCHMARK(silentTick)->Unit(benchmark::kMicrosecond);

void announcingTick(benchmark::State& state)
{
    Clock clock;
    clock.platform.clock = QDateTime(QDate(2026, 12, 5), QTime(14, 30, 0));
    QElapsedTimer sinceTick;
    double firstFrameMs = 0;
    double firstVoiceMs = 0;
    for (auto _ : state) {
        clock.output->firstLoudFrame = -1;
        sinceTick.start();
        // Test's tick without its settings save: it announces whatever the minute, as a tick in
        // a due minute does.
        clock.window->clock().speakNow();
        state.PauseTiming();
        while (!clock.characterOnScreen())
            QCoreApplication::processEvents(QEventLoop::AllEvents, 1);
        QCoreApplication::processEvents();
        firstFrameMs += double(sinceTick.nsecsElapsed()) / 1e6;
        while (!clock.output->loudFrameHeard())
            QCoreApplication::processEvents(QEventLoop::AllEvents, 1);
        firstVoiceMs += double(sinceTick.nsecsElapsed()) / 1e6;
        clock.waitUntilGone();
        state.ResumeTiming();
    }
    state.counters["tick_to_first_frame_ms"] =
        benchmark::Counter(firstFrameMs, benchmark::Counter::kAvgIterations);
    // This includes the showing and "Explain" animations that come before the speech.
    state.counters["tick_to_first_voice_sample_ms"] =
        benchmark::Counter(firstVoiceMs, benchmark::Counter::kAvgIterations);
}
BENCHMARK(announcingTick)->Iterations(5)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM",
            qgetenv("QT_QPA_PLATFORM").isEmpty() ? "offscreen" : qgetenv("QT_QPA_PLATFORM"));
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
