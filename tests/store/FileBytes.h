#pragma once
// Builds storage files byte by byte, independently of the code under test.
#include <cstdint>
#include <string>

namespace storetest {

class FileBytes {
 public:
  FileBytes& U8(std::uint8_t v) {
    m_bytes.push_back(static_cast<char>(v));
    return *this;
  }
  FileBytes& U16(std::uint16_t v) { return U8(v & 0xFF).U8(v >> 8); }
  FileBytes& U32(std::uint32_t v) { return U16(v & 0xFFFF).U16(v >> 16); }
  FileBytes& U64(std::uint64_t v) { return U32(v & 0xFFFFFFFFu).U32(static_cast<std::uint32_t>(v >> 32)); }
  FileBytes& Raw(const std::string& bytes) {
    m_bytes += bytes;
    return *this;
  }

  // magic, version, revision
  FileBytes& Header(std::uint16_t magic, std::uint16_t version, std::uint32_t revision) {
    return U16(magic).U16(version).U32(revision);
  }
  // A record of a kind other than Monthly.
  FileBytes& Record(std::uint32_t kind, std::uint64_t start, std::int32_t uid, std::uint8_t weekDays = 127,
                    std::uint8_t enabled = 1, std::uint16_t skip = 0, std::uint64_t snooze = 0,
                    std::uint32_t autoSnoozes = 0, std::uint32_t snoozes = 0) {
    return U32(kind).U64(start).U8(weekDays).U8(enabled).U32(static_cast<std::uint32_t>(uid)).U16(skip).U64(snooze)
        .U32(autoSnoozes).U32(snoozes);
  }
  // The monthly group that follows the base record of a Monthly item.
  FileBytes& MonthlyGroup(std::uint32_t months, std::uint16_t type, std::int32_t day, std::uint32_t week,
                          std::uint32_t weekDay) {
    return U32(months).U16(type).U32(static_cast<std::uint32_t>(day)).U32(week).U32(weekDay);
  }

  const std::string& Str() const { return m_bytes; }
  std::size_t Size() const { return m_bytes.size(); }

 private:
  std::string m_bytes;
};

}  // namespace storetest
