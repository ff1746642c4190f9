// The clock tick with the real character engine: the tick's own work on a minute that says
// nothing, the tick that announces (it loads the character and queues its requests), and the
// time from that tick to the character's first frame on screen.
//
// Runs headless (offscreen) unless QT_QPA_PLATFORM says otherwise; the characters are the
// bundled ones of the build tree.

#include <memory>

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <QTimer>
#include <QWidget>

#include "agentctl/runtime/agent_engine.h"
#include "alarms/alarm_table.h"
#include "fake_platform.h"
#include "shell/main_window.h"

namespace {

struct Clock
{
    QTemporaryDir app;
    hv::testing::FakePlatform platform{app.path(), QStringLiteral(HV_BUILD_DIR)};
    agentctl::runtime::AgentEngine engine;
    std::unique_ptr<hv::shell::frmHoravox> window;

    Clock()
    {
        hv::alarms::iAlarmCount = 0;
        platform.clock = QDateTime(QDate(2026, 12, 5), QTime(14, 29, 0));
        window = std::make_unique<hv::shell::frmHoravox>(platform, engine);
        window->tmrClock->stop();
        window->tmrClock_Timer(); // synchronises on the full minute
    }

    // The character's window once it is on screen, or null.
    QWidget* characterOnScreen() const
    {
        const QWidgetList windows = QApplication::topLevelWidgets();
        for (QWidget* candidate : windows) {
            if (candidate != window.get() && candidate->isVisible() &&
                candidate->inherits("agentctl::runtime::CharacterWindow"))
                return candidate;
        }
        return nullptr;
    }

    void waitUntilGone() const
    {
        while (window->objCharacter || characterOnScreen())
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
    for (auto _ : state) {
        sinceTick.start();
        clock.window->tmrClock_Timer();
        state.PauseTiming();
        while (!clock.characterOnScreen())
            QCoreApplication::processEvents(QEventLoop::AllEvents, 1);
        QCoreApplication::processEvents();
        firstFrameMs += double(sinceTick.nsecsElapsed()) / 1e6;
        clock.waitUntilGone();
        state.ResumeTiming();
    }
    state.counters["tick_to_first_frame_ms"] =
        benchmark::Counter(firstFrameMs, benchmark::Counter::kAvgIterations);
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
