/*
 * The schedule fields of a stored item: the one record layout that the engine
 * library and every program share. The engine's exports read records that the
 * caller built and return records that the engine built, so the order and widths
 * here must never change. Plain C, so the engine's C interface can use it.
 */
#ifndef NATALO_SCHEDULE_FIELDS_H
#define NATALO_SCHEDULE_FIELDS_H

#include <stdint.h>

#ifdef __cplusplus
extern "C" {
#endif

/* 100-nanosecond units since 1601-01-01, local wall-clock time. */
typedef uint64_t NataloFileTime;

typedef struct ScheduleFields {
  uint32_t m_dwKind;             /* Recurrence: Weekly 1, Once 2, Next24Hours 4, Monthly 8, Yearly 32, EveryDay 64 */
  NataloFileTime m_ftStart;      /* moment of a one-time item; time of day (and date for Yearly) otherwise */
  uint32_t m_dwWeekDays;         /* Monday 1 .. Sunday 64 */
  uint32_t m_bEnabled;           /* 0: never scheduled */
  int32_t m_nUID;                /* unique in the file; 0 or negative: not yet assigned */
  uint16_t m_wSkipNext;          /* state block: skip the next occurrence */
  NataloFileTime m_ftSnooze;     /* state block: snoozed until, 0 = not snoozed */
  uint32_t m_dwAutoSnoozeCounter; /* state block */
  uint32_t m_dwSnoozeCounter;    /* state block: non-zero = snoozed */
  NataloFileTime m_ftNext;       /* next occurrence, filled by the engine */
  uint32_t m_dwMonths;           /* January bit 0 .. December bit 11 */
  uint16_t m_wMonthlyType;       /* ByDay 0, ByWeekDay 1, ByWorkDays 2, ByWeekends 3 */
  int32_t m_nMonthDay;
  uint32_t m_dwWeekOfMonth;
  uint32_t m_dwWeekDay;
} ScheduleFields;

/* An item as the engine returns it: the schedule fields and a raw copy of the
 * record's extension block, which the engine never interprets. */
typedef struct EngineItem {
  ScheduleFields fields;
  uint16_t m_wExtLength;
  uint8_t* m_pExtData; /* m_wExtLength bytes, or NULL when 0 */
} EngineItem;

#ifdef __cplusplus
}
#endif

#endif
