#pragma once
// An item as the engine keeps it: the schedule fields and the raw extension block
// of its record, which the engine carries along but never interprets.
#include <cstdint>
#include <vector>

#include "common/store/ScheduleFields.h"

struct EngineRecord {
  ScheduleFields fields{};
  std::vector<std::uint8_t> ext;
};

// The values an engine item starts with before its record is read.
ScheduleFields DefaultScheduleFields();
