#include "TickwellLib/RecordStream.h"

#include <cstring>

#include "TickwellLib/KindRules.h"

namespace {

constexpr std::size_t kHeaderSize = 8;
constexpr std::size_t kBaseRecordSize = 36;
constexpr std::size_t kMonthlyGroupSize = 18;

std::uint16_t U16(const std::uint8_t* p) { return static_cast<std::uint16_t>(p[0] | (p[1] << 8)); }

std::uint32_t U32(const std::uint8_t* p) {
  return static_cast<std::uint32_t>(p[0]) | (static_cast<std::uint32_t>(p[1]) << 8) |
         (static_cast<std::uint32_t>(p[2]) << 16) | (static_cast<std::uint32_t>(p[3]) << 24);
}

std::uint64_t U64(const std::uint8_t* p) { return U32(p) | (static_cast<std::uint64_t>(U32(p + 4)) << 32); }

}  // namespace

RecordStream::RecordStream(const ByteSource& source, std::uint8_t* buffer)
    : m_source(source),
      m_ownBuffer(buffer == nullptr ? new std::uint8_t[kBufferSize] : nullptr),
      m_buffer(buffer == nullptr ? m_ownBuffer.get() : buffer) {}

bool RecordStream::Ensure(std::size_t size) {
  if (m_end - m_begin >= size) return true;
  if (m_sourceEnded) return false;
  std::memmove(m_buffer, m_buffer + m_begin, m_end - m_begin);
  m_end -= m_begin;
  m_begin = 0;
  while (m_end < size) {
    const std::size_t n = m_source.ReadAt(m_offset, m_buffer + m_end, kBufferSize - m_end);
    if (n == 0) {
      m_sourceEnded = true;
      return false;
    }
    m_offset += n;
    m_end += n;
  }
  return true;
}

bool RecordStream::ReadHeader() {
  if (!Ensure(kHeaderSize)) return false;
  const std::uint8_t* h = m_buffer + m_begin;
  if (U16(h + 2) != kEngineStorageVersion || U32(h + 4) >= kEngineRevisionLimit) return false;
  m_begin += kHeaderSize;
  return true;
}

std::int32_t RecordStream::AssignUid(std::int32_t stored) {
  const std::int32_t uid = m_uids.Next(stored, [this](auto&& use) {
    if (!m_keepUids) {
      // Walk the records before this one again, keeping their UIDs.
      RecordStream earlier(m_source);
      earlier.m_keepUids = true;
      RecordView view;
      if (earlier.ReadHeader()) {
        while (earlier.Count() < m_count && earlier.Next(view)) {
        }
      }
      m_seenUids = std::move(earlier.m_seenUids);
      m_keepUids = true;
    }
    for (const std::int32_t earlierUid : m_seenUids) use(earlierUid);
  });
  if (m_keepUids) m_seenUids.push_back(uid);
  return uid;
}

bool RecordStream::Next(RecordView& record) {
  if (m_count >= kMaxEngineItems || m_recordBytes >= kMaxEngineRecordBytes) return false;
  if (!Ensure(kBaseRecordSize)) return false;
  const std::uint8_t* base = m_buffer + m_begin;
  const bool monthly = U32(base) == Monthly;
  const std::size_t fixed = kBaseRecordSize + (monthly ? kMonthlyGroupSize : 0);
  if (!Ensure(fixed + 2)) return false;
  base = m_buffer + m_begin;
  const std::uint16_t extLength = U16(base + fixed);
  if (!Ensure(fixed + 2 + extLength)) return false;
  base = m_buffer + m_begin;

  // Every field is set one by one: copying a whole default record in first
  // costs more than the rest of the parse.
  ScheduleFields& f = record.fields;
  f.m_dwKind = U32(base);
  f.m_ftStart = U64(base + 4);
  f.m_dwWeekDays = base[12];
  f.m_bEnabled = base[13];
  f.m_wSkipNext = U16(base + 18);
  f.m_ftSnooze = U64(base + 20);
  f.m_dwAutoSnoozeCounter = U32(base + 28);
  f.m_dwSnoozeCounter = U32(base + 32);
  f.m_ftNext = 0;
  if (monthly) {
    const std::uint8_t* m = base + kBaseRecordSize;
    f.m_dwMonths = U32(m);
    f.m_wMonthlyType = U16(m + 4);
    f.m_nMonthDay = static_cast<std::int32_t>(U32(m + 6));
    f.m_dwWeekOfMonth = U32(m + 10);
    f.m_dwWeekDay = U32(m + 14);
  } else {
    // What a record without the monthly group loads as.
    f.m_dwMonths = 0xFFF;
    f.m_wMonthlyType = 0;
    f.m_nMonthDay = 1;
    f.m_dwWeekOfMonth = 0;
    f.m_dwWeekDay = 1;
  }
  record.ext = base + fixed + 2;
  record.extLength = extLength;
  const std::size_t size = fixed + 2 + extLength;
  m_begin += size;
  m_recordBytes += size;
  f.m_nUID = AssignUid(static_cast<std::int32_t>(U32(base + 14)));
  ++m_count;
  return true;
}
