#pragma once
// The string part of an entry's extension block: zero-terminated UTF-16LE
// strings one after another. Shared by the current record and the readers of
// the two older revisions.
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>

#include "common/entries/EntryText.h"
#include "common/store/BinaryWriter.h"

class FeskItem;
struct EntryRecord;

// Fills the entry's strings from a block: for a Birthday first name, last
// name, note and (when `withSoundFile`) sound file; for other kinds name, note
// and sound file. False when one of them does not end inside the block; the
// string that runs to the block's end keeps what it holds and the strings
// after it are empty. An odd last byte is no character.
bool ReadEntryStrings(std::span<const std::uint8_t> block, bool withSoundFile, FeskItem& entry);
// The same for a record of the current revision (with its sound file), as
// views of the block, which must be aligned for char16_t.
bool ReadEntryStrings(std::span<const std::uint8_t> block, EntryRecord& record);
// Whether ReadEntryStrings would find every string of a current record of
// `kind` whole; the block may lie at any address.
bool EntryStringsEnd(std::span<const std::uint8_t> block, std::uint16_t kind);

// The most UTF-16 units, terminators included, that the strings of one
// current record can hold.
inline constexpr std::size_t kMaxRecordStringUnits = (0xFFFF - 38) / 2;
// Shortens the entry's strings so that its record fits: the note first, then
// the sound file, the last name and the first name or name; a surrogate pair
// is never split. True when anything was cut.
bool FitStringsToRecord(FeskItem& entry);

// The text up to its first zero character, as a record stores it.
std::u16string_view StoredText(std::u16string_view text);
// Writes the stored text and its terminator.
bool WriteEntryString(BinaryWriter& writer, EntryText text);
