#include "TickwellLib/EngineRecord.h"

#include "TickwellLib/KindRules.h"

ScheduleFields DefaultScheduleFields() {
  ScheduleFields f{};
  f.m_dwKind = Weekly;
  f.m_dwWeekDays = 127;
  f.m_bEnabled = 1;
  f.m_dwMonths = 0xFFF;
  f.m_nMonthDay = 1;
  f.m_dwWeekDay = 1;
  return f;
}
