// The engine's storage reader, and the rules over what it read, on arbitrary bytes.
#include <cstddef>
#include <cstdint>
#include <vector>

#include "TickwellLib/CollectEvents.h"
#include "TickwellLib/EngineStorageReader.h"
#include "TickwellLib/NextEventTime.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  MemoryByteSource source(data, size);
  std::vector<EngineRecord> items;
  if (!ReadEngineStorage(source, items)) return 0;
  // A fixed moment keeps runs reproducible; the items' own times vary freely.
  const platform::FileTime now = 133'500'000'000'000'000ULL;
  for (const auto& item : items) NextEventTime(item.fields, now);
  CollectEvents(items, now);
  return 0;
}
