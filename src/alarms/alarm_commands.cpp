#include <QFile>
#include <QFileInfo>
#include <QListWidget>
#include <QSaveFile>

#include "alarms/alarm_file.h"
#include "alarms/alarm_table.h"
#include "platform/platform.h"
#include "shell/main_window.h"

namespace hv::shell {

using alarms::Alarms;
using alarms::iAlarmCount;

QString frmHoravox::alarmFilePath() const
{
    return m_platform.applicationFolder() + QStringLiteral("/Alarms.dat");
}

void frmHoravox::LoadAlarms()
{
    iAlarmCount = 0;
    Alarms.fill(alarms::tAlarm{});
    QFile file(alarmFilePath());
    if (!QFileInfo(file).isFile() || !file.open(QIODevice::ReadOnly))
        return;
    const QList<alarms::tAlarm> read = alarms::parseAlarmFile(file.readAll());
    for (const alarms::tAlarm& alarm : read) {
        Alarms[iAlarmCount] = alarm;
        lstAlarms->insertItem(lstAlarms->count() - 1, alarms::alarmRowText(alarm));
        ++iAlarmCount;
    }
}

void frmHoravox::SaveAlarms()
{
    // Failures are ignored: the table in memory stays as it is.
    if (iAlarmCount == 0) {
        QFile::remove(alarmFilePath());
        return;
    }
    QSaveFile file(alarmFilePath());
    if (!file.open(QIODevice::WriteOnly))
        return;
    file.write(alarms::formatAlarmFile(Alarms.data(), iAlarmCount));
    file.commit();
}

} // namespace hv::shell
