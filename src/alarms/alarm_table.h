#pragma once

#include <array>

#include <QLocale>
#include <QString>

#include "alarms/schedule.h"

namespace hv::alarms {

struct tAlarm
{
    QString sTime;    // "HH:MM", 24-hour clock
    When sWhen;       // schedule kind
    Day sDay;         // short date, weekly day, or the kind word again
    QString sAgent;   // character name
    QString sMessage; // text to speak

    friend bool operator==(const tAlarm& a, const tAlarm& b)
    {
        return a.sTime == b.sTime && a.sWhen == b.sWhen && a.sDay == b.sDay &&
               a.sAgent == b.sAgent && a.sMessage == b.sMessage;
    }
};

// 75 alarms can be added; the table keeps one blank entry beyond the last so that deleting
// can always shift entries down.
inline constexpr int MAX_ALARMS = 75;

// The alarms, as the core's alarm list keeps them. Entries 0 to iAlarmCount - 1 are in use, in list
// order; the rest are blank.
struct AlarmTable
{
    std::array<tAlarm, MAX_ALARMS + 1> Alarms{};
    qint16 iAlarmCount = 0;
    // The locale the dates in sDay are written in: the one that wrote the alarm file, so that
    // a change of locale does not make 2 December into 12 February.
    QLocale dateLocale;
};

} // namespace hv::alarms
