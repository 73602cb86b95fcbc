#pragma once
// The engine's reader of storage.dat: header, then one record per item, each with
// its extension block kept raw.
#include <cstddef>
#include <cstdint>
#include <vector>

#include "TickwellLib/ByteSource.h"
#include "TickwellLib/EngineRecord.h"

// The header: 2 bytes of magic, not compared (plain and date-entry lists both
// load), version 0x0103, revision below 0x10000.
inline constexpr std::uint16_t kEngineStorageVersion = 0x0103;
inline constexpr std::uint32_t kEngineRevisionLimit = 0x10000;

// A storage file holds a few hundred items. A damaged or foreign file that goes
// on with valid-looking records is cut off here, as if it ended, so a load stays
// bounded in memory and time.
inline constexpr std::size_t kMaxEngineItems = 1'000'000;
inline constexpr std::size_t kMaxEngineRecordBytes = 128u * 1024 * 1024;

// Replaces `out` with the items of the source; UIDs of 0 and below are assigned
// as the programs' load assigns them. False when the header is missing
// or not accepted (`out` is then empty). A record that ends early, or the limits
// above, end the load; the items before it are kept and the result is true.
bool ReadEngineStorage(ByteSource& source, std::vector<EngineRecord>& out);
