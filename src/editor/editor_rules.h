#pragma once

#include <array>
#include <optional>

#include <QLocale>
#include <QString>

#include "alarms/alarm_table.h"

// The alarm editor's rules, apart from its window.
namespace hv::editor {

// The schedule options in the order of their buttons, and the kind each stores.
inline constexpr std::array<alarms::ScheduleKind, 6> SCHEDULE_KINDS{
    alarms::ScheduleKind::Once,        alarms::ScheduleKind::Daily,
    alarms::ScheduleKind::Weekly,      alarms::ScheduleKind::FirstWeekday,
    alarms::ScheduleKind::LastWeekday, alarms::ScheduleKind::Yearly};
// The day options in the order of their buttons: a weekly alarm's seven days, then "Daily".
inline constexpr std::array<alarms::Weekday, 7> WEEKDAY_OPTIONS{
    alarms::Weekday::Monday,   alarms::Weekday::Tuesday, alarms::Weekday::Wednesday,
    alarms::Weekday::Thursday, alarms::Weekday::Friday,  alarms::Weekday::Saturday,
    alarms::Weekday::Sunday};

// The time as typed, read as alarms::readAlarmTime reads it, as it is stored: "HH:MM" on the
// 24-hour clock; nothing when it is no time.
[[nodiscard]] std::optional<QString> readAlarmTime(const QString& text);

// The alarm as the editor's window shows it: the time box read as "HH:MM" (empty when it
// holds no time), the chosen schedule option (an index into SCHEDULE_KINDS, -1 for none), the
// date shown, the chosen day option (an index into WEEKDAY_OPTIONS, 7 for "Daily", -1 for none),
// the character and the message. A dated kind stores the date text, a weekly one the day word, the
// others their kind word; a kind not chosen leaves kind and day empty.
[[nodiscard]] alarms::tAlarm shownAlarm(const QString& timeText, int kindIndex,
                                        const QString& dateText, int dayIndex, const QString& agent,
                                        const QString& message);

// Whether OK may store the alarm: a time, a kind, the day or a readable date it needs, a
// character and a message with more than blanks.
[[nodiscard]] bool isCompleteAlarm(const alarms::tAlarm& alarm, const QLocale& dateLocale);

} // namespace hv::editor
