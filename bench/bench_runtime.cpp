// The engine's running costs: composing a frame, the CPU an idle character takes, how close
// frames come to their deadlines, and the memory a loaded character adds.
//
// The character is the largest file in the bundled characters folder, or HV_BENCH_CHARACTER.
// Runs headless (offscreen) unless QT_QPA_PLATFORM says otherwise.

#include <algorithm>
#include <cstdlib>
#include <ctime>
#include <optional>
#include <vector>

#include <unistd.h>

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QTimer>

#include "engine/acs/acs_model.h"
#include "engine/acs/frame_render.h"
#include "engine/runtime/agent_engine.h"
#include "engine/runtime/animation_player.h"
#include "engine/runtime/character_window.h"
#include "engine/runtime/frame_cache.h"
#include "engine/runtime/frame_timer.h"

namespace acs = engine::acs;
namespace runtime = engine::runtime;

namespace {

QString characterPath()
{
    const QString chosen = qEnvironmentVariable("HV_BENCH_CHARACTER");
    if (!chosen.isEmpty()) {
        return chosen;
    }
    const QFileInfoList files =
        QDir(QStringLiteral(HV_BUNDLED_CHARACTERS))
            .entryInfoList({QStringLiteral("*.acs")}, QDir::Files, QDir::Size);
    return files.isEmpty() ? QString() : files.first().absoluteFilePath();
}

acs::CharacterFile loadCharacter()
{
    QFile file(characterPath());
    if (!file.open(QIODevice::ReadOnly)) {
        qFatal("no character to measure: %s", qPrintable(file.fileName()));
    }
    auto parsed = acs::readCharacterFile(file.readAll());
    if (!parsed) {
        qFatal("%s: %s", qPrintable(file.fileName()), qPrintable(parsed.error().what));
    }
    return std::move(parsed).value();
}

double processCpuSeconds()
{
    timespec now{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
    return double(now.tv_sec) + double(now.tv_nsec) / 1e9;
}

// Resident set in bytes, from /proc.
double residentBytes()
{
    QFile statm(QStringLiteral("/proc/self/statm"));
    if (!statm.open(QIODevice::ReadOnly)) {
        return 0;
    }
    const QList<QByteArray> fields = statm.readAll().split(' ');
    return fields.size() > 1 ? fields.at(1).toDouble() * double(sysconf(_SC_PAGESIZE)) : 0;
}

void runEventLoop(int ms)
{
    QEventLoop loop;
    QTimer::singleShot(ms, Qt::PreciseTimer, &loop, &QEventLoop::quit);
    loop.exec();
}

// Memory the engine adds for the character (first, before other benchmarks leave freed heap
// behind for it to reuse): the file's tables, the window, and the image
// cache once every frame has been on screen.
void residentMemory(benchmark::State& state)
{
    const QString path = characterPath();
    const acs::CharacterFile character = loadCharacter();
    for (auto _ : state) {
        runtime::AgentEngine engine;
        runEventLoop(100);
        const double before = residentBytes();
        engine.Load(QStringLiteral("Bench"), path);
        engine::AgentCharacter* loaded = engine(QStringLiteral("Bench"));
        loaded->MoveTo(100, 100);
        loaded->Show();
        for (const auto& animation : character.animations) {
            loaded->Play(animation.name);
        }
        // Long enough for the queue to play through most animations.
        runEventLoop(int(state.range(0)) * 1000);
        state.counters["added_MB"] = (residentBytes() - before) / (1024.0 * 1024.0);
        engine.Unload(QStringLiteral("Bench"));
    }
}
BENCHMARK(residentMemory)->Arg(20)->Iterations(1)->Unit(benchmark::kSecond);

// Load of a character file that has not changed since the last Load, as every announcement
// does; range(0) is the size of the file to stand in for, in MB (a copy of the bundled
// character padded at the end, which the reader ignores).
void reloadUnchanged(benchmark::State& state)
{
    QFile source(characterPath());
    if (!source.open(QIODevice::ReadOnly)) {
        qFatal("no character to measure: %s", qPrintable(source.fileName()));
    }
    QByteArray bytes = source.readAll();
    bytes.append(
        QByteArray(std::max<qsizetype>(0, state.range(0) * 1024 * 1024 - bytes.size()), '\0'));
    const QString path = QDir::temp().filePath(QStringLiteral("horavox-bench-reload.acs"));
    QFile copy(path);
    if (!copy.open(QIODevice::WriteOnly) || copy.write(bytes) != bytes.size()) {
        qFatal("cannot write %s", qPrintable(path));
    }
    copy.close();
    runtime::AgentEngine engine;
    engine.Load(QStringLiteral("Bench"), path);
    engine.Unload(QStringLiteral("Bench"));
    for (auto _ : state) {
        engine.Load(QStringLiteral("Bench"), path);
        engine.Unload(QStringLiteral("Bench"));
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
    QFile::remove(path);
}
BENCHMARK(reloadUnchanged)->Arg(4)->Unit(benchmark::kMillisecond);

// Every frame of every animation, composed with and without mouths, as the window needs it.
void composeFrame(benchmark::State& state)
{
    const acs::CharacterFile character = loadCharacter();
    std::optional<runtime::FrameCache> cache;
    cache.emplace(character);
    std::vector<const acs::Frame*> frames;
    for (const auto& animation : character.animations) {
        for (const auto& frame : animation.frames) {
            frames.push_back(&frame);
        }
    }
    size_t next = 0;
    const bool cold = state.range(0) != 0;
    for (auto _ : state) {
        // Cold: a fresh cache decodes every image the frame needs.
        if (cold) {
            cache.emplace(character);
        }
        const acs::Frame& frame = *frames.at(next++ % frames.size());
        const std::optional<acs::MouthShape> mouth =
            frame.overlays.isEmpty() ? std::nullopt : std::optional(frame.overlays.first().shape);
        QImage image = acs::composeFrame(character, frame, mouth, *cache);
        QRegion shape = acs::frameShape(character, frame, mouth, *cache);
        benchmark::DoNotOptimize(image.constBits());
        benchmark::DoNotOptimize(shape.rectCount());
    }
    state.counters["frames"] = double(frames.size());
}
BENCHMARK(composeFrame)->ArgName("cold")->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond);

// A shown character left alone, idle animations and all. The window is range(0) seconds;
// CPU use is linear in time, so 10 s stands in for a minute.
void idleCpu(benchmark::State& state)
{
    const QString path = characterPath();
    for (auto _ : state) {
        runtime::AgentEngine engine;
        engine.Load(QStringLiteral("Bench"), path);
        engine::AgentCharacter* character = engine(QStringLiteral("Bench"));
        character->MoveTo(100, 100);
        character->Show();
        // Let the show animation end first: it is not idling.
        runEventLoop(3000);
        const double cpuBefore = processCpuSeconds();
        QElapsedTimer wall;
        wall.start();
        runEventLoop(int(state.range(0)) * 1000);
        const double cpu = processCpuSeconds() - cpuBefore;
        state.counters["cpu_percent_of_one_core"] = 100.0 * cpu / (double(wall.elapsed()) / 1000);
        state.counters["cpu_ms_per_60s"] = cpu * 1000 * 60'000 / double(wall.elapsed());
    }
}
BENCHMARK(idleCpu)->Arg(10)->Iterations(1)->Unit(benchmark::kSecond);

// How late each frame appears against the sum of the durations before it, with every frame
// composed and put on screen. The animation is built from the character's own images: one
// frame per image in turn, 30 ms each, looping.
void frameDeadlineError(benchmark::State& state)
{
    acs::CharacterFile character = loadCharacter();
    acs::Animation loop;
    loop.name = QStringLiteral("BenchLoop");
    for (const auto& animation : std::as_const(character.animations)) {
        for (const auto& frame : animation.frames) {
            if (loop.frames.size() < 200 && !frame.images.isEmpty()) {
                acs::Frame copy = frame;
                copy.duration = 3;
                copy.branches.clear();
                copy.soundIndex = acs::NO_SOUND;
                loop.frames.append(copy);
            }
        }
    }
    loop.frames.last().branches = {{0, 100}};
    character.animations.append(loop);

    runtime::QtTimerSource timers;
    runtime::FrameCache cache(character);
    runtime::CharacterWindow window(QSize(character.info.width, character.info.height));
    window.show();
    runtime::AnimationPlayer player(character, timers, 1);
    std::vector<double> errorsMs;
    QElapsedTimer clock;
    qint64 dueNs = 0;
    QObject::connect(&player, &runtime::AnimationPlayer::frameShown, [&](int a, int f) {
        const qint64 now = clock.nsecsElapsed();
        if (dueNs > 0) {
            errorsMs.push_back(double(std::abs(now - dueNs)) / 1e6);
        }
        const acs::Frame& frame = character.animations.at(a).frames.at(f);
        window.showFrame(acs::composeFrame(character, frame, std::nullopt, cache),
                         acs::frameShape(character, frame, std::nullopt, cache));
        window.repaint();
        dueNs = now + qint64(frame.duration) * 10'000'000;
    });
    for (auto _ : state) {
        clock.start();
        player.play(int(character.animations.size()) - 1);
        runEventLoop(int(state.range(0)) * 1000);
        player.halt();
    }
    std::sort(errorsMs.begin(), errorsMs.end());
    const auto at = [&](double q) { return errorsMs.at(size_t(q * double(errorsMs.size() - 1))); };
    state.counters["frames"] = double(errorsMs.size());
    state.counters["p50_ms"] = at(0.5);
    state.counters["p99_ms"] = at(0.99);
    state.counters["max_ms"] = errorsMs.back();
}
BENCHMARK(frameDeadlineError)->Arg(10)->Iterations(1)->Unit(benchmark::kSecond);

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
