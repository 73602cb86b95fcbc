#pragma once
// storage.dat content written field by field, independent of the engine's reader.
#include <cstdint>
#include <string>

#include "common/store/ScheduleFields.h"

namespace enginetest {

class StorageBytes {
 public:
  explicit StorageBytes(std::uint16_t magic = 0xCE09, std::uint16_t version = 0x0103, std::uint32_t revision = 3) {
    U16(magic);
    U16(version);
    U32(revision);
  }
  // One record: base fields, the monthly group for Monthly items, the extension block.
  StorageBytes& Add(const ScheduleFields& f, const std::string& ext = "ext") {
    U32(f.m_dwKind);
    U64(f.m_ftStart);
    m_bytes += static_cast<char>(f.m_dwWeekDays & 0xFF);
    m_bytes += static_cast<char>(f.m_bEnabled & 0xFF);
    U32(static_cast<std::uint32_t>(f.m_nUID));
    U16(f.m_wSkipNext);
    U64(f.m_ftSnooze);
    U32(f.m_dwAutoSnoozeCounter);
    U32(f.m_dwSnoozeCounter);
    if (f.m_dwKind == 8) {
      U32(f.m_dwMonths);
      U16(f.m_wMonthlyType);
      U32(static_cast<std::uint32_t>(f.m_nMonthDay));
      U32(f.m_dwWeekOfMonth);
      U32(f.m_dwWeekDay);
    }
    U16(static_cast<std::uint16_t>(ext.size()));
    m_bytes += ext;
    return *this;
  }
  StorageBytes& Raw(const std::string& bytes) {
    m_bytes += bytes;
    return *this;
  }
  const std::string& Bytes() const { return m_bytes; }

 private:
  void U16(std::uint16_t v) {
    for (int i = 0; i < 2; ++i) m_bytes += static_cast<char>((v >> (8 * i)) & 0xFF);
  }
  void U32(std::uint32_t v) {
    for (int i = 0; i < 4; ++i) m_bytes += static_cast<char>((v >> (8 * i)) & 0xFF);
  }
  void U64(std::uint64_t v) {
    for (int i = 0; i < 8; ++i) m_bytes += static_cast<char>((v >> (8 * i)) & 0xFF);
  }
  std::string m_bytes;
};

}  // namespace enginetest
