#include <QFile>
#include <QFileInfo>
#include <QListWidget>
#include <QLocale>
#include <QSaveFile>

#include "alarms/alarm_file.h"
#include "alarms/alarm_table.h"
#include "alarms/missed_alarms.h"
#include "alarms/schedule_rules.h"
#include "platform/platform.h"
#include "shell/main_window.h"

namespace hv::shell {

QString frmHoravox::alarmFilePath() const
{
    return m_platform.applicationFolder() + QStringLiteral("/Alarms.dat");
}

void frmHoravox::LoadAlarms()
{
    alarmTable.iAlarmCount = 0;
    alarmTable.Alarms.fill(alarms::tAlarm{});
    QFile file(alarmFilePath());
    if (!QFileInfo(file).isFile() || !file.open(QIODevice::ReadOnly))
        return;
    const alarms::AlarmFileContents contents = alarms::parseAlarmFile(file.readAll());
    file.close();
    for (const alarms::tAlarm& alarm : contents.alarms) {
        alarmTable.Alarms[alarmTable.iAlarmCount] = alarm;
        lstAlarms->insertItem(lstAlarms->count() - 1, alarms::alarmRowText(alarm));
        ++alarmTable.iAlarmCount;
    }
    // What could not be loaded is copied aside before any save can replace the file; if even
    // that fails, the file is left as it is for the whole run.
    if (!contents.notLoaded.isEmpty()) {
        const QString kept = alarms::keepNotLoadedRecords(alarmFilePath(), contents.notLoaded);
        m_alarmFileLocked = kept.isEmpty();
        m_platform.messageBox(this, alarms::notLoadedMessage(contents.notLoaded.size(), kept),
                              alarms::NOT_LOADED_TITLE, platform::MessageIcon::Exclamation,
                              platform::MessageButtons::Ok);
    }
    ReportMissedAlarms();
}

void frmHoravox::ReportMissedAlarms()
{
    const QLocale locale;
    const alarms::MissedAlarmReport report =
        alarms::planMissedAlarmReport(alarmTable, m_platform.now().date(), locale);
    for (const alarms::MissedAlarmAction& action : report.actions) {
        if (action.kind == alarms::MissedAlarmAction::Kind::DeleteRow) {
            lstAlarms->setCurrentRow(action.index);
            mnuAlarmDelete_Click();
        } else {
            AdvanceYearlyAlarm(action.index);
        }
    }
    if (report.count > 0)
        m_platform.messageBox(this, report.text, report.title, platform::MessageIcon::Exclamation,
                              platform::MessageButtons::Ok);
}

void frmHoravox::AdvanceYearlyAlarm(int index)
{
    alarms::tAlarm& alarm = alarmTable.Alarms[index];
    if (!alarms::AdvanceYearlyAlarm(alarm, QLocale()))
        return;
    // The row shows the day without its year, which moves with it.
    lstAlarms->item(index)->setText(alarms::alarmRowText(alarm));
    SaveAlarms();
}

void frmHoravox::SaveAlarms()
{
    // Failures are ignored: the table in memory stays as it is.
    if (m_alarmFileLocked)
        return;
    if (alarmTable.iAlarmCount == 0) {
        QFile::remove(alarmFilePath());
        return;
    }
    QSaveFile file(alarmFilePath());
    if (!file.open(QIODevice::WriteOnly))
        return;
    file.write(alarms::formatAlarmFile(alarmTable.Alarms.data(), alarmTable.iAlarmCount));
    file.commit();
}

} // namespace hv::shell
