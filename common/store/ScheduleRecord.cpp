#include "common/store/ScheduleRecord.h"

#include <cstring>

#include "common/store/Recurrence.h"

bool WriteStateBlock(BinaryWriter& w, const ScheduleFields& f) {
  return w.WriteU16(f.m_wSkipNext) && w.WriteU64(f.m_ftSnooze) && w.WriteU32(f.m_dwAutoSnoozeCounter) &&
         w.WriteU32(f.m_dwSnoozeCounter);
}

bool WriteScheduleRecord(BinaryWriter& w, const ScheduleFields& f) {
  // The weekday mask and the enabled flag are stored in one byte each.
  const bool base = w.WriteU32(f.m_dwKind) && w.WriteU64(f.m_ftStart) &&
                    w.WriteU8(static_cast<std::uint8_t>(f.m_dwWeekDays)) &&
                    w.WriteU8(static_cast<std::uint8_t>(f.m_bEnabled)) && w.WriteI32(f.m_nUID) &&
                    WriteStateBlock(w, f);
  if (!base) return false;
  if (f.m_dwKind != Monthly) return true;
  return w.WriteU32(f.m_dwMonths) && w.WriteU16(f.m_wMonthlyType) && w.WriteI32(f.m_nMonthDay) &&
         w.WriteU32(f.m_dwWeekOfMonth) && w.WriteU32(f.m_dwWeekDay);
}

bool ReadScheduleRecord(BinaryReader& r, ScheduleFields& f, std::uint64_t* statePos) {
  std::uint8_t weekDays = 0, enabled = 0;
  if (!r.ReadU32(f.m_dwKind) || !r.ReadU64(f.m_ftStart) || !r.ReadU8(weekDays) || !r.ReadU8(enabled) ||
      !r.ReadI32(f.m_nUID)) {
    return false;
  }
  f.m_dwWeekDays = weekDays;
  f.m_bEnabled = enabled;
  if (statePos) *statePos = r.Position();
  if (!r.ReadU16(f.m_wSkipNext) || !r.ReadU64(f.m_ftSnooze) || !r.ReadU32(f.m_dwAutoSnoozeCounter) ||
      !r.ReadU32(f.m_dwSnoozeCounter)) {
    return false;
  }
  if (f.m_dwKind != Monthly) return true;
  return r.ReadU32(f.m_dwMonths) && r.ReadU16(f.m_wMonthlyType) && r.ReadI32(f.m_nMonthDay) &&
         r.ReadU32(f.m_dwWeekOfMonth) && r.ReadU32(f.m_dwWeekDay);
}

std::size_t ScheduleRecordSize(std::span<const std::uint8_t> bytes) {
  if (bytes.size() < BASE_RECORD_SIZE) return 0;
  std::uint32_t kind = 0;
  std::memcpy(&kind, bytes.data(), sizeof kind);
  const std::size_t size = kind == Monthly ? BASE_RECORD_SIZE + MONTHLY_GROUP_SIZE : BASE_RECORD_SIZE;
  return bytes.size() < size ? 0 : size;
}

bool WriteExtensionBlock(BinaryWriter& w, std::span<const std::uint8_t> data) {
  if (data.size() > MAX_EXTENSION_SIZE) return false;
  return w.WriteU16(static_cast<std::uint16_t>(data.size())) && w.WriteBytes(data);
}

bool ReadExtensionBlock(BinaryReader& r, std::vector<std::uint8_t>& data) {
  std::uint16_t count = 0;
  if (!r.ReadU16(count)) return false;
  return r.ReadBytes(data, count);
}
