#include "common/entries/EntryStrings.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cstring>
#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include "common/entries/EntryRecord.h"
#include "common/entries/FeskItem.h"

namespace {

// Finds the first `wanted` strings of a block and hands each to
// `take(index, first character, characters)`. A string without its zero runs
// to the block's end and those after it are empty. An odd last byte is no
// character. False when a string did not end inside the block.
template <typename Take>
bool FindStrings(std::span<const std::uint8_t> block, const std::size_t wanted, const Take& take) {
  const std::uint8_t* bytes = block.data();
  const std::size_t units = block.size() / 2;
  std::size_t found = 0;
  std::size_t start = 0;
  const auto ends = [&](std::size_t end) {
    take(found++, start, end - start);
    start = end + 1;
  };
  std::size_t at = 0;
#if defined(__SSE2__)
  // A bit for each of the eight characters from `from` that is a zero.
  const __m128i zeros = _mm_setzero_si128();
  const auto zerosAt = [&](std::size_t from) {
    const __m128i eight = _mm_loadu_si128(reinterpret_cast<const __m128i*>(bytes + 2 * from));
    return static_cast<unsigned>(_mm_movemask_epi8(_mm_packs_epi16(_mm_cmpeq_epi16(eight, zeros), zeros)));
  };
  const auto endAt = [&](unsigned zero, std::size_t from) {
    for (; zero != 0 && found < wanted; zero &= zero - 1) ends(from + static_cast<std::size_t>(std::countr_zero(zero)));
  };
  // Sixteen characters at a time, then eight; then the last eight, less
  // those already looked at.
  for (; at + 16 <= units && found < wanted; at += 16) endAt(zerosAt(at) | zerosAt(at + 8) << 8, at);
  if (at + 8 <= units && found < wanted) {
    endAt(zerosAt(at), at);
    at += 8;
  }
  if (at < units && units >= 8 && found < wanted) {
    endAt(zerosAt(units - 8) >> (at - (units - 8)), at);
    at = units;
  }
#endif
  for (; at < units && found < wanted; ++at) {
    if ((bytes[2 * at] | bytes[2 * at + 1]) == 0) ends(at);
  }
  if (found == wanted) return true;
  ends(units);
  while (found < wanted) take(found++, units, 0);
  return false;
}

// The bytes are little-endian UTF-16, as the machine's own char16_t.
static_assert(std::endian::native == std::endian::little);

}  // namespace

bool ReadEntryStrings(std::span<const std::uint8_t> block, bool withSoundFile, FeskItem& entry) {
  EntryStringSet::Slot slots[4];
  std::size_t count = 0;
  if (entry.m_wKind == Birthday) {
    slots[count++] = EntryStringSet::FirstName;
    slots[count++] = EntryStringSet::LastName;
  } else {
    slots[count++] = EntryStringSet::Name;
  }
  slots[count++] = EntryStringSet::Note;
  if (withSoundFile) slots[count++] = EntryStringSet::SoundFile;
  // The characters may lie at an odd address: they are copied as bytes.
  EntryStringSet::Pieces pieces{};
  const bool whole = FindStrings(block, count, [&](std::size_t i, std::size_t start, std::size_t size) {
    pieces[slots[i]] = {block.data() + 2 * start, size};
  });
  entry.Texts().Assign(pieces);
  return whole;
}

bool ReadEntryStrings(std::span<const std::uint8_t> block, EntryRecord& record) {
  std::u16string_view* texts[4];
  std::size_t count = 0;
  record.name = record.firstName = record.lastName = {};
  if (record.kind == Birthday) {
    texts[count++] = &record.firstName;
    texts[count++] = &record.lastName;
  } else {
    texts[count++] = &record.name;
  }
  texts[count++] = &record.note;
  texts[count++] = &record.soundFile;
  const auto* text = reinterpret_cast<const char16_t*>(block.data());
  return FindStrings(block, count, [&](std::size_t i, std::size_t start, std::size_t size) {
    *texts[i] = std::u16string_view(text + start, size);
  });
}

bool EntryStringsEnd(std::span<const std::uint8_t> block, std::uint16_t kind) {
  // The names, the note and the sound file.
  const std::size_t count = (kind == Birthday ? 2 : 1) + 2;
  return FindStrings(block, count, [](std::size_t, std::size_t, std::size_t) {});
}

namespace {

// Removes up to `excess` units from the end of `text`; returns how many went.
std::size_t CutFromEnd(std::u16string_view& text, std::size_t excess) {
  if (excess == 0 || text.empty()) return 0;
  std::size_t keep = text.size() > excess ? text.size() - excess : 0;
  // A high surrogate left without its partner would be a broken character.
  if (keep > 0 && text[keep - 1] >= 0xD800 && text[keep - 1] <= 0xDBFF) --keep;
  const std::size_t removed = text.size() - keep;
  text = text.substr(0, keep);
  return removed;
}

}  // namespace

bool FitStringsToRecord(FeskItem& entry) {
  const bool birthday = entry.m_wKind == Birthday;
  const EntryStringSet::Slot order[] = {EntryStringSet::Note, EntryStringSet::SoundFile,
                                        birthday ? EntryStringSet::LastName : EntryStringSet::Name,
                                        birthday ? EntryStringSet::FirstName : EntryStringSet::kSlots};
  // Cut as UTF-16: what is cut is seldom there, and never in a large list.
  std::array<std::u16string, EntryStringSet::kSlots> wide;
  std::array<std::u16string_view, EntryStringSet::kSlots> texts;
  std::size_t units = 0;
  for (std::size_t slot = 0; slot < EntryStringSet::kSlots; ++slot) {
    wide[slot] = entry.Texts().Get(static_cast<EntryStringSet::Slot>(slot)).str();
    texts[slot] = wide[slot];
  }
  for (const EntryStringSet::Slot slot : order) {
    if (slot != EntryStringSet::kSlots) units += StoredText(texts[slot]).size() + 1;
  }
  if (units <= kMaxRecordStringUnits) return false;
  std::size_t excess = units - kMaxRecordStringUnits;
  for (const EntryStringSet::Slot slot : order) {
    if (slot == EntryStringSet::kSlots || excess == 0) continue;
    // Only the stored part counts; what follows a zero character is dropped.
    texts[slot] = StoredText(texts[slot]);
    const std::size_t removed = CutFromEnd(texts[slot], excess);
    excess -= std::min(removed, excess);
  }
  entry.Texts().Assign({texts[0], texts[1], texts[2], texts[3], texts[4]});
  return true;
}

std::u16string_view StoredText(std::u16string_view text) { return text.substr(0, text.find(u'\0')); }

bool WriteEntryString(BinaryWriter& writer, EntryText text) {
  for (std::size_t i = 0; i < text.size() && text[i] != 0; ++i) {
    if (!writer.WriteU16(text[i])) return false;
  }
  return writer.WriteU16(0);
}
