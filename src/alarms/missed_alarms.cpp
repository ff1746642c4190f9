#include "alarms/missed_alarms.h"

#include <algorithm>

#include "alarms/alarm_check.h"
#include "clock/short_date.h"

namespace hv::alarms {

namespace {

void addToReport(MissedAlarmReport& report, ScheduleKind kind, const tAlarm& alarm)
{
    ++report.count;
    report.text += fileWord(kind) + QStringLiteral(" Alarm for: ") + fileText(alarm.sDay) +
                   QStringLiteral(" Missed!\r\nMessage: ") + alarm.sMessage +
                   QStringLiteral("\r\n");
}

} // namespace

MissedAlarmReport planMissedAlarmReport(const AlarmTable& table, const QDateTime& from,
                                        const QDateTime& until, const QLocale& locale)
{
    MissedAlarmReport report;
    report.text = QStringLiteral("Horavox - Missed Alarms!\r\n\r\n");
    // The entries as they will stand while the plan runs: a deletion moves the later entries
    // one place up, so the entry that takes the deleted one's place is looked at next.
    QList<tAlarm> entries(table.Alarms.begin(), table.Alarms.begin() + table.iAlarmCount);
    for (int i = 0; i < entries.size(); ++i) {
        const tAlarm& alarm = entries[i];
        const bool once = isKind(alarm.sWhen, ScheduleKind::Once);
        if (!once && !isKind(alarm.sWhen, ScheduleKind::Yearly))
            continue;
        // A date that cannot be read is never compared with anything: the entry stays in the
        // list where the user can correct it, and is named apart.
        const QString day = fileText(alarm.sDay);
        const QDate date = clock::readShortDate(day, locale);
        if (!date.isValid()) {
            report.unreadableDates.append(day + QStringLiteral(" (Message: ") + alarm.sMessage +
                                          u')');
            continue;
        }
        const int minute = alarmMinuteOfDay(alarm.sTime);
        const QDateTime moment(date, QTime(0, 0).addSecs(60 * std::max(minute, 0)));
        if ((from.isValid() && moment < from) || moment >= until)
            continue;
        if (once) {
            addToReport(report, ScheduleKind::Once, alarm);
            report.actions.append({MissedAlarmAction::Kind::DeleteRow, i});
            entries.removeAt(i);
            --i;
        } else {
            addToReport(report, ScheduleKind::Yearly, alarm);
            report.actions.append({MissedAlarmAction::Kind::AdvanceYearly, i});
        }
    }
    report.title = QString::number(report.count) + QStringLiteral(" Missed Alarm(s)!");
    return report;
}

} // namespace hv::alarms
