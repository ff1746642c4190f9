#include <QLocale>
#include <QLoggingCategory>

#include "alarms/alarm_check.h"
#include "platform/platform.h"
#include "quiet/quiet_file.h"
#include "quiet_dialog/quiet_times_dialog.h"
#include "shell/main_window.h"

namespace hv::shell {

namespace {

Q_LOGGING_CATEGORY(quietLog, "horavox.quiet")

QDateTime startOfMinute(const QDateTime& now)
{
    return QDateTime(now.date(), QTime(now.time().hour(), now.time().minute()));
}

} // namespace

void frmHoravox::ReadQuietTimes()
{
    quietTimes = quiet::readQuietTimes(m_platform.quietTimesFile());
}

void frmHoravox::mnuQuietTimes_Click()
{
    if (!quietDialog) {
        quietDialog = new quiet::QuietTimesDialog(quietTimes, this);
        quietDialog->setAttribute(Qt::WA_DeleteOnClose);
        connect(quietDialog, &QDialog::accepted, this, [this] {
            quietTimes = quietDialog->quietTimes();
            if (!quiet::saveQuietTimes(m_platform.quietTimesFile(), quietTimes))
                qCWarning(quietLog) << "could not write" << m_platform.quietTimesFile();
        });
    }
    quietDialog->show();
    quietDialog->raise();
    quietDialog->activateWindow();
}

void frmHoravox::HoldAlarmDueAt(const QDateTime& minute)
{
    const alarms::AlarmCheck check =
        alarms::checkAlarms(alarmList.table(), minute, bAlarmsOn, false, alarmList.dateLocale());
    if (check.step != alarms::TickStep::FireAlarm || heldAlarmMinutes.contains(minute))
        return;
    heldAlarmMinutes.append(minute);
}

bool frmHoravox::HoldAlarmsWhileLocked(const QDateTime& now, bool screenLocked)
{
    quiet::DesktopState desktop;
    desktop.screenLocked = screenLocked;
    if (!quiet::alarmsWait(quietTimes, desktop))
        return false;
    const qsizetype heldBefore = heldAlarmMinutes.size();
    HoldAlarmDueAt(startOfMinute(now));
    if (heldAlarmMinutes.size() > heldBefore)
        qCInfo(quietLog).noquote() << "the screen is locked: the alarm of"
                                   << now.toString(QStringLiteral("HH:mm")) << "waits";
    return true;
}

QDateTime frmHoravox::NextAlarmMinute(const QDateTime& now)
{
    if (heldAlarmMinutes.isEmpty())
        return now;
    HoldAlarmDueAt(startOfMinute(now));
    const QDateTime held = heldAlarmMinutes.takeFirst();
    qCInfo(quietLog).noquote() << "the alarm of" << held.toString(QStringLiteral("HH:mm"))
                               << "rings now that the screen is unlocked";
    return held;
}

bool frmHoravox::AnnouncementQuiet(const QDateTime& now)
{
    quiet::DesktopState desktop;
    desktop.doNotDisturb = m_platform.notificationsInhibited();
    desktop.fullScreen = m_platform.activeWindowFullScreen();
    desktop.screenLocked = m_platform.screenLocked();
    const quiet::QuietReason reason = quiet::quietReason(quietTimes, now.time(), desktop);
    if (reason == quiet::QuietReason::None)
        return false;
    qCInfo(quietLog).noquote() << "no announcement at" << now.toString(QStringLiteral("HH:mm"))
                               << "-" << quiet::reasonText(reason);
    return true;
}

} // namespace hv::shell
