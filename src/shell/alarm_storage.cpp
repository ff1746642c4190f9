#include <QFile>
#include <QFileInfo>
#include <QLocale>

#include "alarms/alarm_file.h"
#include "alarms/alarm_table.h"
#include "alarms/missed_alarms.h"
#include "alarms/schedule_rules.h"
#include "alarms/whole_file.h"
#include "clock/short_date.h"
#include "platform/platform.h"
#include "shell/main_window.h"

namespace hv::shell {

QString frmHoravox::alarmFilePath() const
{
    return m_platform.applicationFolder() + QStringLiteral("/Alarms.dat");
}

QString frmHoravox::alarmLocalePath() const
{
    return m_platform.applicationFolder() + QStringLiteral("/Alarms.locale");
}

void frmHoravox::LoadAlarms()
{
    QFile localeFile(alarmLocalePath());
    const QLocale dateLocale = localeFile.open(QIODevice::ReadOnly)
                                   ? QLocale(QString::fromUtf8(localeFile.readLine(256)).trimmed())
                                   : QLocale();
    QFile file(alarmFilePath());
    if (!QFileInfo(file).isFile() || !file.open(QIODevice::ReadOnly)) {
        alarmList.load({}, dateLocale);
        return;
    }
    const alarms::AlarmFileContents contents = alarms::readAlarmFile(file);
    file.close();
    alarmList.load(contents.alarms, dateLocale);
    // What could not be loaded is copied aside before any save can replace the file; if even
    // that fails, the file is left as it is for the whole run.
    if (contents.unreadable + contents.overLimit > 0) {
        const QString kept = alarms::keepNotLoadedRecords(alarmFilePath());
        m_alarmFileLocked = kept.isEmpty();
        m_platform.messageBox(this, alarms::notLoadedMessage(contents, kept),
                              alarms::NOT_LOADED_TITLE, platform::MessageIcon::Exclamation,
                              platform::MessageButtons::Ok);
    }
    ReportMissedAlarms({}, m_platform.now().date().startOfDay());
}

void frmHoravox::ReportMissedAlarms(const QDateTime& from, const QDateTime& until)
{
    const alarms::MissedAlarmReport report =
        alarms::planMissedAlarmReport(alarmList.table(), from, until, alarmList.dateLocale());
    for (const alarms::MissedAlarmAction& action : report.actions) {
        if (action.kind == alarms::MissedAlarmAction::Kind::DeleteRow) {
            selectAlarmRow(action.index);
            mnuAlarmDelete_Click();
        } else {
            AdvanceYearlyAlarm(action.index);
        }
    }
    const bool atStartUp = !from.isValid();
    if (report.count > 0 && atStartUp)
        m_platform.messageBox(this, report.text, report.title, platform::MessageIcon::Exclamation,
                              platform::MessageButtons::Ok);
    else if (report.count > 0)
        tellUser(report.title, report.text);
    // Told once, at start-up; until corrected these alarms simply never ring.
    if (atStartUp && !report.unreadableDates.isEmpty())
        tellUser(QStringLiteral("Alarm Dates Not Understood"),
                 QStringLiteral("These alarms have a date that cannot be read; they stay in the "
                                "list but will not ring until a date is chosen again:\r\n") +
                     report.unreadableDates.join(QStringLiteral("\r\n")));
}

void frmHoravox::AdvanceYearlyAlarm(int index)
{
    if (alarmList.advanceYearly(index))
        SaveAlarms();
}

void frmHoravox::SaveAlarms()
{
    if (m_alarmFileLocked)
        return;
    QString why;
    if (alarmList.iAlarmCount() == 0) {
        QFile alarmFile(alarmFilePath());
        if (alarmFile.exists() && !alarmFile.remove())
            why = alarmFile.errorString();
        QFile::remove(alarmLocalePath());
    } else {
        // The locale first: dates must never be read back with another one.
        why = alarms::replaceFile(alarmLocalePath(),
                                  clock::localeTag(alarmList.dateLocale()).toUtf8() + "\r\n");
        if (why.isEmpty())
            why = alarms::replaceFile(
                alarmFilePath(),
                alarms::formatAlarmFile(alarmList.table().Alarms.data(), alarmList.iAlarmCount()));
    }
    noteSave(m_alarmSaveFailing, QStringLiteral("Alarms Not Saved"), QStringLiteral("your alarms"),
             alarmFilePath(), why);
}

} // namespace hv::shell
