#include "alarms/alarm_table.h"

namespace hv::alarms {

std::array<tAlarm, MAX_ALARMS + 1> Alarms;
qint16 iAlarmCount = 0;
bool bAddAlarm = false;

} // namespace hv::alarms
