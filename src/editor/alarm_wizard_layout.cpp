#include "editor/alarm_wizard.h"

#include <QCalendarWidget>
#include <QFont>
#include <QFontMetrics>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>

#include "editor/check_mark.h"
#include "editor/editor_rules.h"
#include "platform/twips.h"

namespace hv::editor {

using platform::px;

namespace {

void place(QWidget* widget, int left, int top, int width, int height)
{
    widget->setGeometry(px(left), px(top), px(width), px(height));
}

QLabel* label(QWidget* parent, const QString& text, int left, int top, int width, int height)
{
    auto* caption = new QLabel(text, parent);
    place(caption, left, top, width, height);
    return caption;
}

void paint(QWidget* widget, QPalette::ColorRole role, const QColor& colour)
{
    QPalette colours = widget->palette();
    colours.setColor(role, colour);
    widget->setPalette(colours);
}

} // namespace

void frmAlarmWizard::buildLayout()
{
    // The client area is 5595 x 4470 twips, drawn for the application's dialog font.
    // The controls are made in tab order, which starts at the time box.
    setFixedSize(px(5595), px(4470));
    setAutoFillBackground(true);
    paint(this, QPalette::Window, QColor(255, 255, 128));

    Label1[14] = label(this, QStringLiteral("Add Alarm Wizard"), 0, 0, 5595, 300);
    // Arial 12 point bold, in pixels like the layout.
    QFont title(QStringLiteral("Arial"));
    title.setPixelSize(16);
    title.setBold(true);
    Label1[14]->setFont(title);
    Label1[14]->setAlignment(Qt::AlignCenter);
    Label1[12] = label(this, QStringLiteral("Steps"), 30, 315, 450, 255);
    QFont arial = font();
    arial.setFamily(QStringLiteral("Arial"));
    Label1[12]->setFont(arial);

    // The step numbers and their check marks, one row per step.
    QFont stepFont(QStringLiteral("Comic Sans MS"));
    stepFont.setPixelSize(24);
    stepFont.setBold(true);
    const int stepLabels[] = {2, 4, 7, 8, 11};
    const int stepTops[] = {480, 1125, 1920, 2715, 3435};
    const int checkTops[] = {465, 1170, 1965, 2775, 3480};
    for (int k = 0; k < 5; ++k) {
        QLabel* number =
            label(this, QString::number(k + 1), k == 2 ? 90 : 105, stepTops[k], 315, 465);
        number->setFont(stepFont);
        Label1[stepLabels[k]] = number;
        imgCheck[k] = label(this, QString(), 555, checkTops[k], 255, 435);
        imgCheck[k]->setPixmap(checkMarkPicture(imgCheck[k]->size()));
        imgCheck[k]->hide();
    }

    Label1[0] = label(this, QStringLiteral("Time:"), 930, 555, 645, 285);
    txtAlarmTime = new QLineEdit(this);
    place(txtAlarmTime, 1545, 540, 915, 285);
    // The run of blanks is the gap into which the format word is laid.
    Label1[1] = label(this,
                      QStringLiteral("Enter the alarm time in               format! Hours: 0 to "
                                     "23 (i.e. 15 is 3pm, 0 is midnite) Minutes: 0 to 59 (i.e. "
                                     "15:27 is 3:27pm)"),
                      2535, 405, 3045, 630);
    Label1[1]->setWordWrap(true);
    Label1[1]->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    Label1[3] = label(this, QStringLiteral("hh:mm"), 4170, 405, 555, 180);
    // The gap falls where this font puts it, not where the twips assume: centre the word in it.
    const QString before = QStringLiteral("Enter the alarm time in ");
    const QFontMetrics metrics(font());
    const int gap = metrics.horizontalAdvance(QString(15, u' '));
    const int word = metrics.horizontalAdvance(Label1[3]->text());
    Label1[3]->move(Label1[1]->x() + metrics.horizontalAdvance(before) + (gap - word) / 2,
                    Label1[3]->y());
    paint(Label1[3], QPalette::WindowText, Qt::blue);

    Label1[5] = label(this, QStringLiteral("When:"), 930, 1245, 675, 285);
    const int whenGeometry[6][4] = {{1650, 1110, 750, 285},  {2610, 1110, 900, 285},
                                    {4560, 1110, 900, 285},  {1650, 1380, 1830, 285},
                                    {3570, 1365, 1845, 285}, {3570, 1125, 900, 270}};
    const QStringList whenCaptions{QStringLiteral("Once"),
                                   QStringLiteral("Daily"),
                                   QStringLiteral("Weekly"),
                                   QStringLiteral("First Wkday of Month"),
                                   QStringLiteral("Last Wkday of Month"),
                                   QStringLiteral("Yearly")};
    for (int n = 0; n < 6; ++n) {
        optWhen[n] = new QRadioButton(whenCaptions[n], this);
        const int* g = whenGeometry[n];
        place(optWhen[n], g[0], g[1], g[2], g[3]);
    }

    Label1[6] = label(this, QStringLiteral("Day:"), 915, 2055, 525, 285);
    fraDate = new QGroupBox(QStringLiteral("Date"), this);
    place(fraDate, 1440, 1800, 1035, 750);
    lblDate = label(fraDate, QString(), 60, 315, 900, 240);
    lblDate->setAlignment(Qt::AlignCenter);
    // A click on the date opens the calendar, so the keyboard reaches it too (Enter opens it).
    lblDate->setFocusPolicy(Qt::StrongFocus);
    lblDate->setStyleSheet(QStringLiteral("QLabel:focus { border: 1px dotted black; }"));
    fraDay = new QGroupBox(QStringLiteral("Day of Week"), this);
    place(fraDay, 2445, 1800, 3105, 750);
    const int dayLefts[] = {105, 810, 1560, 2295};
    const int dayWidths[] = {705, 780, 750, 645, 585, 615, 615, 660};
    const int dayTops[] = {210, 210, 210, 210, 480, 465, 480, 480};
    const int dayHeights[] = {270, 270, 270, 270, 210, 240, 195, 195};
    // Option buttons that share a frame are exclusive: the day options form one group, the
    // schedule options, children of the window itself, another.
    for (int n = 0; n < 8; ++n) {
        const QString caption = n < int(WEEKDAY_OPTIONS.size())
                                    ? alarms::fileWord(WEEKDAY_OPTIONS[n])
                                    : alarms::fileWord(alarms::ScheduleKind::Daily);
        optDay[n] = new QRadioButton(caption, fraDay);
        place(optDay[n], dayLefts[n % 4], dayTops[n], dayWidths[n], dayHeights[n]);
    }

    Label1[9] = label(this, QStringLiteral("Agent:"), 930, 2835, 720, 285);
    lstAlarmAgents = new QListWidget(this);
    place(lstAlarmAgents, 1665, 2730, 1485, 510);
    Label1[13] =
        label(this, QStringLiteral("Select the Agent you wish to speak the Alarm Message."), 3240,
              2775, 2160, 465);
    Label1[13]->setWordWrap(true);

    Label1[10] = label(this, QStringLiteral("Message:"), 930, 3375, 1080, 285);
    lblQuoteNote = label(this, QStringLiteral("A message cannot hold a double quote (\")."), 2010,
                         3375, 3510, 285);
    paint(lblQuoteNote, QPalette::WindowText, QColor(0xb0, 0x00, 0x00));
    lblQuoteNote->hide();
    txtMessage = new QLineEdit(this);
    place(txtMessage, 930, 3675, 4590, 300);

    cmdOK = new QPushButton(QStringLiteral("OK"), this);
    place(cmdOK, 30, 4110, 2760, 315);
    paint(cmdOK, QPalette::Button, QColor(0, 255, 0));
    cmdOK->setEnabled(false);
    cmdCancel = new QPushButton(QStringLiteral("Cancel"), this);
    place(cmdCancel, 2805, 4110, 2760, 315);
    paint(cmdCancel, QPalette::Button, QColor(255, 128, 128));

    // The calendar lies over the other controls while a date is being chosen.
    MonthView2 = new QCalendarWidget(this);
    place(MonthView2, -3000, 495, 2670, 2310);
    MonthView2->setToolTip(QStringLiteral("Double-Click on the date the alarm should go off."));
    // Three-letter day names are cut in a calendar this narrow; single letters and no week
    // numbers are read whole at any scale.
    MonthView2->setVerticalHeaderFormat(QCalendarWidget::NoVerticalHeader);
    MonthView2->setHorizontalHeaderFormat(QCalendarWidget::SingleLetterDayNames);
    MonthView2->hide();
}

} // namespace hv::editor
