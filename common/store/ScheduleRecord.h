#pragma once
// The schedule part of a storage.dat record and the extension block that
// follows it. Shared by the store's items and the engine's own reader.
//
// Record layout (little-endian, no padding):
//   0  u32 kind            4  u64 start          12 u8 weekdays     13 u8 enabled
//   14 i32 UID             18 state block: u16 skip-next, u64 snooze,
//                                          u32 auto-snooze count, u32 snooze count
//   36 monthly group, only for Monthly: u32 months, u16 type, i32 day,
//                                       u32 week of month, u32 weekday
//   36 or 54: extension block, u16 byte count N and N bytes (derived records only)
#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

#include "common/store/BinaryReader.h"
#include "common/store/BinaryWriter.h"
#include "common/store/ScheduleFields.h"

inline constexpr std::size_t BASE_RECORD_SIZE = 36;
inline constexpr std::size_t MONTHLY_GROUP_SIZE = 18;
inline constexpr std::size_t STATE_BLOCK_OFFSET = 18;
inline constexpr std::size_t STATE_BLOCK_SIZE = 18;
inline constexpr std::size_t MAX_EXTENSION_SIZE = 0xFFFF;
inline constexpr std::size_t SCHEDULE_UID_OFFSET = 14;

// The length of the schedule part of the record that `bytes` begin with: 0
// when they end before it does, where ReadScheduleRecord fails.
std::size_t ScheduleRecordSize(std::span<const std::uint8_t> bytes);

// Writes the schedule part of a record (base fields, monthly group for Monthly).
bool WriteScheduleRecord(BinaryWriter& writer, const ScheduleFields& fields);
// Reads the schedule part of a record. `statePos`, when given, receives the
// reader position of the state block. Fails at the end of the data or on any
// short read; fields may then be partly filled. Fields that the record does not
// hold (the monthly group of other kinds, m_ftNext) keep their values.
bool ReadScheduleRecord(BinaryReader& reader, ScheduleFields& fields, std::uint64_t* statePos = nullptr);

// The 18-byte state block: skip-next, snooze time and the two snooze counters.
bool WriteStateBlock(BinaryWriter& writer, const ScheduleFields& fields);

// An extension block: u16 count, then the bytes. Writing fails above 65535 bytes.
bool WriteExtensionBlock(BinaryWriter& writer, std::span<const std::uint8_t> data);
bool ReadExtensionBlock(BinaryReader& reader, std::vector<std::uint8_t>& data);
