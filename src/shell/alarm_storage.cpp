#include <QFile>
#include <QFileInfo>
#include <QListWidget>
#include <QSaveFile>

#include "alarms/alarm_file.h"
#include "alarms/alarm_table.h"
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
    const QList<alarms::tAlarm> read = alarms::parseAlarmFile(file.readAll());
    for (const alarms::tAlarm& alarm : read) {
        alarmTable.Alarms[alarmTable.iAlarmCount] = alarm;
        lstAlarms->insertItem(lstAlarms->count() - 1, alarms::alarmRowText(alarm));
        ++alarmTable.iAlarmCount;
    }
}

void frmHoravox::SaveAlarms()
{
    // Failures are ignored: the table in memory stays as it is.
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
