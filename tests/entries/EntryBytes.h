#pragma once
// Builds entry records byte by byte, independently of the code under test.
#include <string>
#include <string_view>

#include "tests/store/FileBytes.h"

namespace entriestest {

using storetest::FileBytes;

// UTF-16LE code units with a terminating zero.
inline std::string Utf16z(std::u16string_view text) {
  FileBytes bytes;
  for (const char16_t c : text) bytes.U16(c);
  bytes.U16(0);
  return bytes.Str();
}

// The fixed part of a current extension block after its length field.
inline FileBytes& EntryFields(FileBytes& b, std::uint16_t kind, std::uint32_t oid, std::uint64_t date,
                              std::uint32_t icon, std::uint32_t ownSound = 0, std::uint32_t soundType = 0,
                              std::uint32_t soundSource = 0, std::uint32_t volume = 0, std::uint32_t ownReminder = 0) {
  return b.U16(kind).U32(oid).U64(date).U32(icon).U32(ownSound).U32(soundType).U32(soundSource).U32(volume).U32(
      ownReminder);
}

}  // namespace entriestest
