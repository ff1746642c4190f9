#pragma once

#include <array>

#include <QString>

namespace hv::alarms {

struct tAlarm
{
    QString sTime;    // "HH:MM", 24-hour clock
    QString sWhen;    // "Once", "Daily", "Weekly", "fwdm", "lwdm", "Yearly"
    QString sDay;     // short date, day word, or the kind word again
    QString sAgent;   // character name
    QString sMessage; // text to speak
};

// 75 alarms can be added; the table keeps one blank entry beyond the last so that deleting
// can always shift entries down.
inline constexpr int MAX_ALARMS = 75;

// Shared by the main window and the alarm editor; entries 0 to iAlarmCount - 1 are in use.
extern std::array<tAlarm, MAX_ALARMS + 1> Alarms;
extern qint16 iAlarmCount;
extern bool bAddAlarm;

} // namespace hv::alarms
