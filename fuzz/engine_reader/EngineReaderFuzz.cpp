// The engine's passes over the storage file, and the rules over what they read,
// on arbitrary bytes.
#include <cstddef>
#include <cstdint>

#include "TickwellLib/EngineEvents.h"
#include "TickwellLib/NextEventTime.h"
#include "TickwellLib/RecordStream.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  MemoryByteSource source(data, size);
  // A fixed moment keeps runs reproducible; the items' own times vary freely.
  const platform::FileTime now = 133'500'000'000'000'000ULL;
  RecordStream records(source);
  if (!records.ReadHeader()) return 0;
  RecordView record;
  while (records.Next(record)) NextEventTime(record.fields, now);
  ActiveEventArray events;
  BuildActiveEvents(source, now, events);
  ReleaseActiveEventArray(events.count, events.items);
  DueEvents due;
  ScanDueEvents(source, now, due);
  return 0;
}
