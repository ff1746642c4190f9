// Goals: one alarm check over a full table of 75 alarms takes at most 100 µs; a year of minute
// ticks (525,600 checks) with 75 alarms takes at most 1 s.
#include <benchmark/benchmark.h>

#include <utility>

#include <QDateTime>
#include <QList>
#include <QLocale>

#include "alarms/alarm_check.h"
#include "alarms/alarm_table.h"

using namespace hv::alarms;

namespace {

const QLocale US(QLocale::English, QLocale::UnitedStates);

// 75 alarms, the kinds taken in turn.
AlarmTable fullTable(const QList<std::pair<QString, QString>>& kinds, bool sameMinute)
{
    AlarmTable table;
    for (int i = 0; i < MAX_ALARMS; ++i) {
        const auto& [when, day] = kinds[i % kinds.size()];
        // Spread over the day (1150 s apart), or all at 07:30.
        const QTime time = sameMinute ? QTime(7, 30) : QTime(0, 0).addSecs(i * 1150);
        table.Alarms[i] = {time.toString(QStringLiteral("HH:mm")), when, day,
                           QStringLiteral("olwen"), QStringLiteral("Alarm %1").arg(i)};
    }
    table.iAlarmCount = MAX_ALARMS;
    return table;
}

// The worst minute: every alarm is set for it and none is due, so each one's schedule is
// looked at (Wednesday 13 January 2027 is neither the first nor the last weekday).
void checkFullTable(benchmark::State& state)
{
    const AlarmTable table = fullTable({{"Once", "3/1/2027"},
                                        {"Yearly", "12/25/2027"},
                                        {"Weekly", "Tues"},
                                        {"fwdm", "fwdm"},
                                        {"lwdm", "lwdm"}},
                                       true);
    const QDateTime now(QDate(2027, 1, 13), QTime(7, 30), Qt::UTC);
    AlarmCheck check;
    for (auto _ : state)
        benchmark::DoNotOptimize(check = checkAlarms(table, now, true, false, US));
    if (check.step != TickStep::GoOn)
        state.SkipWithError("an alarm fired in the worst minute");
}
BENCHMARK(checkFullTable)->Unit(benchmark::kMicrosecond);

void checkEveryMinuteOfAYear(benchmark::State& state)
{
    const AlarmTable table = fullTable({{"Once", "3/1/2027"},
                                        {"Yearly", "12/25/2027"},
                                        {"Weekly", "Tues"},
                                        {"Daily", "Daily"},
                                        {"fwdm", "fwdm"},
                                        {"lwdm", "lwdm"}},
                                       false);
    const QDate first(2027, 1, 1);
    int fired = 0;
    for (auto _ : state) {
        fired = 0;
        for (QDate day = first; day.year() == 2027; day = day.addDays(1)) {
            for (int minute = 0; minute < 24 * 60; ++minute) {
                const QDateTime now(day, QTime(minute / 60, minute % 60), Qt::UTC);
                fired += checkAlarms(table, now, true, false, US).step == TickStep::FireAlarm;
            }
        }
    }
    state.counters["fired"] = fired;
}
BENCHMARK(checkEveryMinuteOfAYear)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
