#include "quiet_dialog/quiet_times_dialog.h"
#include "shell/main_window.h"

namespace hv::shell {

void frmHoravox::mnuQuietTimes_Click()
{
    if (!quietDialog) {
        quietDialog = new quiet::QuietTimesDialog(m_clock.quietTimes(), this);
        quietDialog->setAttribute(Qt::WA_DeleteOnClose);
        connect(quietDialog, &QDialog::accepted, this,
                [this] { m_clock.setQuietTimes(quietDialog->quietTimes()); });
    }
    quietDialog->show();
    quietDialog->raise();
    quietDialog->activateWindow();
}

} // namespace hv::shell
