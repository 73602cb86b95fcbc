#pragma once
// The order of GetActiveEvents' result: by reported time, then UID; items equal
// in both keep their order in the file.
#include <cstddef>
#include <cstdint>

#include "platform/clock/Clock.h"

struct DueKey {
  platform::FileTime next;
  std::int32_t uid;
  std::uint32_t ordinal;  // place among the due records in file order
};

// Room SortDueKeys needs beside the keys, in bytes.
std::size_t DueKeySortSpace(std::size_t count);

// Sorts `count` keys given in file order. `space` holds DueKeySortSpace(count)
// bytes, aligned for a DueKey. Returns where the sorted keys are: `keys` or
// somewhere in `space`.
const DueKey* SortDueKeys(DueKey* keys, std::size_t count, void* space);
