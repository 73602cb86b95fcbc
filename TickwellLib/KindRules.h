#pragma once
// Small rules about recurrence kinds that the engine's calculations share.
#include <cstdint>

#include "common/store/Recurrence.h"

// m_nMonthDay of ByWorkDays and ByWeekends that picks the last such day of the month.
inline constexpr std::int32_t kLastOfMonthOrdinal = 24;

// One microsecond in FileTime units: the step past a moment that "later than" needs.
inline constexpr std::uint64_t kOneMicrosecond = 10;

// Once and Next24Hours occur at their start only.
inline bool IsOneTimeKind(std::uint32_t kind) { return kind == Once || kind == Next24Hours; }
