#pragma once
// The string part of an entry's extension block: zero-terminated UTF-16LE
// strings one after another. Shared by the current record and the readers of
// the two older revisions.
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>

#include "common/store/BinaryWriter.h"

class FeskItem;

// Takes the strings of a block in order. An odd last byte is no character.
class EntryStringBlock {
 public:
  explicit EntryStringBlock(std::span<const std::uint8_t> bytes) : m_bytes(bytes) {}
  // The next string; false, with `out` unchanged, when no terminator follows
  // inside the block.
  bool Next(std::u16string& out);

 private:
  std::span<const std::uint8_t> m_bytes;
  std::size_t m_pos = 0;  // in characters
};

// Fills the entry's strings from a block: for a Birthday first name, last
// name, note and (when `withSoundFile`) sound file; for other kinds name, note
// and sound file. False when one of them does not end inside the block.
bool ReadEntryStrings(std::span<const std::uint8_t> block, bool withSoundFile, FeskItem& entry);

// The text up to its first zero character, as a record stores it.
std::u16string_view StoredText(std::u16string_view text);
// Writes the stored text and its terminator.
bool WriteEntryString(BinaryWriter& writer, std::u16string_view text);
