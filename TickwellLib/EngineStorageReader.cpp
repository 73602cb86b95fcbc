#include "TickwellLib/EngineStorageReader.h"

#include "TickwellLib/KindRules.h"
#include "TickwellLib/LoadedUid.h"

namespace {

constexpr std::size_t kBaseRecordSize = 36;
constexpr std::size_t kMonthlyGroupSize = 18;

std::uint16_t U16(const std::uint8_t* p) { return static_cast<std::uint16_t>(p[0] | (p[1] << 8)); }

std::uint32_t U32(const std::uint8_t* p) {
  return static_cast<std::uint32_t>(p[0]) | (static_cast<std::uint32_t>(p[1]) << 8) |
         (static_cast<std::uint32_t>(p[2]) << 16) | (static_cast<std::uint32_t>(p[3]) << 24);
}

std::uint64_t U64(const std::uint8_t* p) { return U32(p) | (static_cast<std::uint64_t>(U32(p + 4)) << 32); }

bool ReadExactly(ByteSource& source, void* dst, std::size_t size) { return source.Read(dst, size) == size; }

// One record; false at the end of the data or when the record is cut short.
bool ReadRecord(ByteSource& source, EngineRecord& record, std::size_t& bytes) {
  std::uint8_t base[kBaseRecordSize];
  if (!ReadExactly(source, base, sizeof base)) return false;
  ScheduleFields& f = record.fields;
  f = DefaultScheduleFields();
  f.m_dwKind = U32(base);
  f.m_ftStart = U64(base + 4);
  f.m_dwWeekDays = base[12];
  f.m_bEnabled = base[13];
  f.m_nUID = static_cast<std::int32_t>(U32(base + 14));
  f.m_wSkipNext = U16(base + 18);
  f.m_ftSnooze = U64(base + 20);
  f.m_dwAutoSnoozeCounter = U32(base + 28);
  f.m_dwSnoozeCounter = U32(base + 32);
  bytes = kBaseRecordSize;
  if (f.m_dwKind == Monthly) {
    std::uint8_t monthly[kMonthlyGroupSize];
    if (!ReadExactly(source, monthly, sizeof monthly)) return false;
    f.m_dwMonths = U32(monthly);
    f.m_wMonthlyType = U16(monthly + 4);
    f.m_nMonthDay = static_cast<std::int32_t>(U32(monthly + 6));
    f.m_dwWeekOfMonth = U32(monthly + 10);
    f.m_dwWeekDay = U32(monthly + 14);
    bytes += kMonthlyGroupSize;
  }
  std::uint8_t count[2];
  if (!ReadExactly(source, count, sizeof count)) return false;
  const std::uint16_t length = U16(count);
  record.ext.resize(length);
  if (length != 0 && !ReadExactly(source, record.ext.data(), length)) return false;
  bytes += sizeof count + length;
  return true;
}

}  // namespace

bool ReadEngineStorage(ByteSource& source, std::vector<EngineRecord>& out) {
  out.clear();
  std::uint8_t header[8];
  if (!ReadExactly(source, header, sizeof header)) return false;
  if (U16(header + 2) != kEngineStorageVersion || U32(header + 4) >= kEngineRevisionLimit) return false;
  std::size_t total = 0;
  LoadedUidCounter uids;
  while (out.size() < kMaxEngineItems && total < kMaxEngineRecordBytes) {
    EngineRecord record;
    std::size_t bytes = 0;
    if (!ReadRecord(source, record, bytes)) break;
    total += bytes;
    record.fields.m_nUID = uids.Next(record.fields.m_nUID, [&out](auto&& use) {
      for (const EngineRecord& earlier : out) use(earlier.fields.m_nUID);
    });
    out.push_back(std::move(record));
  }
  return true;
}
