#pragma once

#include <QDialog>

#include "quiet/quiet_rules.h"

class QCheckBox;
class QDialogButtonBox;
class QLineEdit;

namespace hv::quiet {

// The Quiet Times dialog: the quiet hours, whether the desktop's do-not-disturb, a full-screen
// window or a locked screen keep the clock quiet, and the 24-hour voice. OK is offered only
// while the hours can be read; quietTimes() gives what the user chose.
class QuietTimesDialog final : public QDialog
{
    Q_OBJECT

public:
    explicit QuietTimesDialog(const QuietTimes& quiet, QWidget* parent = nullptr);

    [[nodiscard]] QuietTimes quietTimes() const;

    QLineEdit* txtPeriods = nullptr;
    QCheckBox* chkDoNotDisturb = nullptr;
    QCheckBox* chkFullScreenOrLocked = nullptr;
    QCheckBox* chkTwentyFourHour = nullptr;
    QDialogButtonBox* buttons = nullptr;
};

} // namespace hv::quiet
