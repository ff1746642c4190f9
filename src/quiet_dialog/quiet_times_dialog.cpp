#include "quiet_dialog/quiet_times_dialog.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace hv::quiet {

QuietTimesDialog::QuietTimesDialog(const QuietTimes& quiet, QWidget* parent) : QDialog(parent)
{
    setWindowTitle(QStringLiteral("Quiet Times"));
    auto* layout = new QVBoxLayout(this);

    auto* periodsLabel =
        new QLabel(QStringLiteral("Quiet &hours, when the time is not announced:"), this);
    txtPeriods = new QLineEdit(periodsText(quiet.periods), this);
    txtPeriods->setPlaceholderText(QStringLiteral("22:00-07:00, 12:30-13:30"));
    periodsLabel->setBuddy(txtPeriods);
    layout->addWidget(periodsLabel);
    layout->addWidget(txtPeriods);
    layout->addWidget(new QLabel(
        QStringLiteral("24-hour times, for example 22:00-07:00, 12:30-13:30. Alarms still ring."),
        this));

    chkDoNotDisturb =
        new QCheckBox(QStringLiteral("Quiet while the desktop is set to &do not disturb"), this);
    chkDoNotDisturb->setChecked(quiet.followDoNotDisturb);
    chkFullScreenOrLocked = new QCheckBox(
        QStringLiteral("Quiet while a window is &full screen or the screen is locked\n"
                       "(alarms wait for the screen to be unlocked)"),
        this);
    chkFullScreenOrLocked->setChecked(quiet.quietWhenFullScreenOrLocked);
    chkTwentyFourHour =
        new QCheckBox(QStringLiteral("Say and show the time on the &24-hour clock"), this);
    chkTwentyFourHour->setChecked(quiet.twentyFourHour);
    layout->addWidget(chkDoNotDisturb);
    layout->addWidget(chkFullScreenOrLocked);
    layout->addWidget(chkTwentyFourHour);

    buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    layout->addWidget(buttons);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(txtPeriods, &QLineEdit::textChanged, this, [this](const QString& text) {
        buttons->button(QDialogButtonBox::Ok)->setEnabled(readPeriods(text).has_value());
    });
}

QuietTimes QuietTimesDialog::quietTimes() const
{
    QuietTimes quiet;
    quiet.periods = readPeriods(txtPeriods->text()).value_or(QList<QuietPeriod>());
    quiet.followDoNotDisturb = chkDoNotDisturb->isChecked();
    quiet.quietWhenFullScreenOrLocked = chkFullScreenOrLocked->isChecked();
    quiet.twentyFourHour = chkTwentyFourHour->isChecked();
    return quiet;
}

} // namespace hv::quiet
