#include <QFile>

#include "alarms/whole_file.h"
#include "core/settings.h"
#include "platform/platform.h"
#include "shell/main_window.h"

namespace hv::shell {

QString frmHoravox::settingsFilePath() const
{
    return m_platform.applicationFolder() + QStringLiteral("/Settings.ini");
}

void frmHoravox::ReadSettings()
{
    QFile file(settingsFilePath());
    settings = core::parseSettingsLine(file.open(QIODevice::ReadOnly) ? file.readLine(65536)
                                                                      : QByteArray());
}

void frmHoravox::SaveSettings()
{
    const QString why = alarms::replaceFile(settingsFilePath(), core::formatSettingsLine(settings));
    noteSave(m_settingsSaveFailing, QStringLiteral("Settings Not Saved"),
             QStringLiteral("its settings"), settingsFilePath(), why);
}

} // namespace hv::shell
