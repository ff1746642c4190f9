#pragma once

#include <optional>

#include <QAbstractListModel>
#include <QList>
#include <QLocale>
#include <QPersistentModelIndex>

#include "alarms/alarm_table.h"

namespace hv::core {

// The alarm table as the rows of the alarm list: one row per alarm in table order, then the row
// that adds a new one. It is the only copy of the alarms; the list view and the alarm check
// both read it, and only its own functions change it.
class AlarmListModel final : public QAbstractListModel
{
    Q_OBJECT

public:
    using QAbstractListModel::QAbstractListModel;

    [[nodiscard]] int rowCount(const QModelIndex& parent = {}) const override;
    [[nodiscard]] QVariant data(const QModelIndex& index, int role) const override;

    [[nodiscard]] const alarms::AlarmTable& table() const { return m_table; }
    [[nodiscard]] qint16 iAlarmCount() const { return m_table.iAlarmCount; }
    [[nodiscard]] const alarms::tAlarm& alarm(int row) const { return m_table.Alarms[row]; }
    [[nodiscard]] bool isAlarmRow(int row) const { return row >= 0 && row < m_table.iAlarmCount; }
    [[nodiscard]] int addRow() const { return m_table.iAlarmCount; }
    // False once the table holds as many alarms as can be added.
    [[nodiscard]] bool canAdd() const { return m_table.iAlarmCount < alarms::MAX_ALARMS; }
    [[nodiscard]] const QLocale& dateLocale() const { return m_table.dateLocale; }

    // Replaces the whole table, as a read of the alarm file does; entries past the limit are
    // left out.
    void load(const QList<alarms::tAlarm>& entries, const QLocale& dateLocale);
    // The new alarm's row; none at the limit.
    [[nodiscard]] std::optional<int> add(const alarms::tAlarm& alarm);
    bool replace(int row, const alarms::tAlarm& alarm);
    // What the editor returns: it replaces the alarm it was opened on, followed through the
    // rows that moved meanwhile, or is added when that one is gone or it was opened to add. The
    // row it stands in; none at the limit.
    [[nodiscard]] std::optional<int> store(const QPersistentModelIndex& edited,
                                           const alarms::tAlarm& alarm);
    // Later alarms move up one row; the blank entry beyond them takes the last place.
    bool remove(int row);
    // A yearly alarm moves on a year; false when its date cannot be read.
    bool advanceYearly(int row);

private:
    alarms::AlarmTable m_table;
};

} // namespace hv::core
