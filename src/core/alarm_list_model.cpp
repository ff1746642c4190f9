#include "core/alarm_list_model.h"

#include "alarms/alarm_file.h"
#include "alarms/schedule_rules.h"

namespace hv::core {

int AlarmListModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : m_table.iAlarmCount + 1;
}

QVariant AlarmListModel::data(const QModelIndex& index, int role) const
{
    if (role != Qt::DisplayRole || index.parent().isValid() || index.row() > addRow())
        return {};
    return isAlarmRow(index.row()) ? alarms::alarmRowText(alarm(index.row()))
                                   : alarms::ADD_ALARM_ROW;
}

void AlarmListModel::load(const QList<alarms::tAlarm>& entries, const QLocale& dateLocale)
{
    beginResetModel();
    m_table.Alarms.fill(alarms::tAlarm{});
    m_table.dateLocale = dateLocale;
    const int kept = int(qMin<qsizetype>(entries.size(), alarms::MAX_ALARMS));
    std::copy(entries.begin(), entries.begin() + kept, m_table.Alarms.begin());
    m_table.iAlarmCount = qint16(kept);
    endResetModel();
}

std::optional<int> AlarmListModel::add(const alarms::tAlarm& entry)
{
    if (!canAdd())
        return std::nullopt;
    const int row = m_table.iAlarmCount;
    beginInsertRows({}, row, row);
    m_table.Alarms[row] = entry;
    ++m_table.iAlarmCount;
    endInsertRows();
    return row;
}

bool AlarmListModel::replace(int row, const alarms::tAlarm& entry)
{
    if (!isAlarmRow(row))
        return false;
    m_table.Alarms[row] = entry;
    emit dataChanged(index(row), index(row));
    return true;
}

std::optional<int> AlarmListModel::store(const QPersistentModelIndex& edited,
                                         const alarms::tAlarm& entry)
{
    if (edited.isValid() && replace(edited.row(), entry))
        return edited.row();
    return add(entry);
}

bool AlarmListModel::remove(int row)
{
    if (!isAlarmRow(row))
        return false;
    beginRemoveRows({}, row, row);
    std::move(m_table.Alarms.begin() + row + 1, m_table.Alarms.begin() + m_table.iAlarmCount,
              m_table.Alarms.begin() + row);
    --m_table.iAlarmCount;
    m_table.Alarms[m_table.iAlarmCount] = {};
    endRemoveRows();
    return true;
}

bool AlarmListModel::advanceYearly(int row)
{
    if (!isAlarmRow(row) || !alarms::AdvanceYearlyAlarm(m_table.Alarms[row], m_table.dateLocale))
        return false;
    // The row shows the day without its year, which moves with it.
    emit dataChanged(index(row), index(row));
    return true;
}

} // namespace hv::core
