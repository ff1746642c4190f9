#pragma once

#include <array>
#include <variant>

#include <QDate>
#include <QString>

// The schedule kinds and weekly days of an alarm, and the words the alarm file writes for them.
namespace hv::alarms {

// In the order the editor offers them.
enum class ScheduleKind
{
    Once,
    Daily,
    Weekly,
    FirstWeekday, // the first Monday to Friday of the month
    LastWeekday,  // the last Monday to Friday of the month
    Yearly,
};

// Numbered from Sunday as 1.
enum class Weekday
{
    Sunday = 1,
    Monday,
    Tuesday,
    Wednesday,
    Thursday,
    Friday,
    Saturday,
};

// The file's words, indexed by ScheduleKind and by Weekday counted from Sunday as 0.
inline const std::array<QString, 6> KIND_WORDS{QStringLiteral("Once"),   QStringLiteral("Daily"),
                                               QStringLiteral("Weekly"), QStringLiteral("fwdm"),
                                               QStringLiteral("lwdm"),   QStringLiteral("Yearly")};
inline const std::array<QString, 7> WEEKDAY_WORDS{
    QStringLiteral("Sun"),  QStringLiteral("Mon"), QStringLiteral("Tues"), QStringLiteral("Wed"),
    QStringLiteral("Thur"), QStringLiteral("Fri"), QStringLiteral("Sat")};

// An alarm's kind, or the text of a file field that names none (empty included), kept as it is
// so that the record is written back unchanged; such an alarm never fires.
using When = std::variant<QString, ScheduleKind>;
// A weekday, or the day field's text: a date, the kind word again, or a word that names no day.
using Day = std::variant<QString, Weekday>;

[[nodiscard]] QString fileWord(ScheduleKind kind);
[[nodiscard]] QString fileWord(Weekday day);

// The field as the file writes it.
template <typename Known> [[nodiscard]] QString fileText(const std::variant<QString, Known>& field)
{
    const Known* known = std::get_if<Known>(&field);
    return known ? fileWord(*known) : std::get<QString>(field);
}

// A kind word exactly as the file writes it (case counts); any other text stays text.
[[nodiscard]] When readWhen(const QString& word);
// A day word exactly as the file writes it (case counts); any other text stays text.
[[nodiscard]] Day readDay(const QString& word);

[[nodiscard]] bool isKind(const When& when, ScheduleKind kind);
[[nodiscard]] Weekday weekdayOf(const QDate& date);

} // namespace hv::alarms
