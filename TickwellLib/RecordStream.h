#pragma once
// The records of storage.dat, read straight from a byte source through one
// fixed buffer: each record is seen in place and nothing of it is kept.
#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

#include "TickwellLib/ByteSource.h"
#include "TickwellLib/LoadedUid.h"
#include "common/store/ScheduleFields.h"

// The header: 2 bytes of magic, not compared (plain and date-entry lists both
// load), version 0x0103, revision below 0x10000.
inline constexpr std::uint16_t kEngineStorageVersion = 0x0103;
inline constexpr std::uint32_t kEngineRevisionLimit = 0x10000;

// A storage file holds a few hundred items. A damaged or foreign file that goes
// on with valid-looking records is cut off here, as if it ended, so a pass stays
// bounded in time.
inline constexpr std::size_t kMaxEngineItems = 1'000'000;
inline constexpr std::size_t kMaxEngineRecordBytes = 128u * 1024 * 1024;

// One record: its schedule fields (the defaults where the record has no monthly
// group, m_ftNext 0, the UID as the programs' load gives it) and its extension
// block, valid until the next record is read.
struct RecordView {
  ScheduleFields fields{};
  const std::uint8_t* ext = nullptr;
  std::uint16_t extLength = 0;
};

class RecordStream {
 public:
  // A record is at most 36 + 18 + 2 + 65,535 bytes.
  static constexpr std::size_t kBufferSize = 80 * 1024;

  // Reads through `buffer` (kBufferSize bytes) when given, else through one of
  // its own.
  explicit RecordStream(const ByteSource& source, std::uint8_t* buffer = nullptr);
  RecordStream(const RecordStream&) = delete;
  RecordStream& operator=(const RecordStream&) = delete;

  // Reads and checks the header; false when it is missing or not accepted.
  bool ReadHeader();
  // The next record; false at the end of the data, at a record cut short and
  // past the limits above (the records before it stand), and when reading
  // failed: Failed() tells that from the end.
  bool Next(RecordView& record);
  // True when a read of the source failed: the records read are only part of
  // the file, which must then count as unreadable, never as a shorter list.
  bool Failed() const { return m_source.Failed(); }
  // Records read so far.
  std::size_t Count() const { return m_count; }

 private:
  // Makes `size` bytes from the current record on available in the buffer.
  bool Ensure(std::size_t size);
  std::int32_t AssignUid(std::int32_t stored);

  const ByteSource& m_source;
  std::unique_ptr<std::uint8_t[]> m_ownBuffer;
  std::uint8_t* m_buffer;
  std::uint64_t m_offset = 0;  // of the byte after the buffered ones
  std::size_t m_begin = 0;
  std::size_t m_end = 0;
  bool m_sourceEnded = false;
  std::size_t m_count = 0;
  std::size_t m_recordBytes = 0;
  LoadedUidCounter m_uids;
  // The final UIDs of the records so far. The counter needs them only once it
  // has run up to the largest UID, which hardly ever happens: they are gathered
  // then, by a second walk over the records before.
  std::vector<std::int32_t> m_seenUids;
  bool m_keepUids = false;
};
