#include "common/entries/EntryStrings.h"

#include <algorithm>
#include <bit>
#include <cstring>
#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include "common/entries/EntryRecord.h"
#include "common/entries/FeskItem.h"

bool EntryStringBlock::Next(std::u16string& out) {
  const std::size_t chars = m_bytes.size() / 2;
  const std::uint8_t* bytes = m_bytes.data();
  const std::size_t start = std::min(m_pos, chars);
  std::size_t end = start;
#if defined(__SSE2__)
  // Eight characters at a time while they last.
  const __m128i zeros = _mm_setzero_si128();
  for (; end + 8 <= chars; end += 8) {
    const __m128i units = _mm_loadu_si128(reinterpret_cast<const __m128i*>(bytes + 2 * end));
    const auto zero = static_cast<unsigned>(_mm_movemask_epi8(_mm_cmpeq_epi16(units, zeros)));
    if (zero != 0) {
      end += static_cast<std::size_t>(std::countr_zero(zero)) / 2;
      break;
    }
  }
#endif
  // Four characters at a time: a zero among them sets the top bit of its
  // 16-bit lane in `zero` (lanes after a zero may be set as well, so only
  // the lowest counts).
  while (end + 4 <= chars) {
    std::uint64_t word;
    std::memcpy(&word, bytes + 2 * end, 8);
    const std::uint64_t zero = (word - 0x0001000100010001ULL) & ~word & 0x8000800080008000ULL;
    if (zero != 0) {
      end += static_cast<std::size_t>(std::countr_zero(zero)) / 16;
      break;
    }
    end += 4;
  }
  while (end < chars && (bytes[2 * end] | bytes[2 * end + 1]) != 0) ++end;
  // The bytes are little-endian UTF-16, as the machine's own char16_t.
  static_assert(std::endian::native == std::endian::little);
  const std::size_t size = end - start;
  if (size <= out.capacity()) {
    out.resize(size);
  } else {
    // Made at its size: growing a string doubles its room, which every
    // loaded name would then carry unused.
    out = std::u16string(size, u'\0');
  }
  if (size > 0) std::memcpy(out.data(), bytes + 2 * start, 2 * size);
  m_pos = end + 1;
  return end < chars;
}

bool ReadEntryStrings(std::span<const std::uint8_t> block, bool withSoundFile, FeskItem& entry) {
  EntryStringBlock strings(block);
  bool whole = true;
  const auto next = [&strings, &whole](std::u16string& out) { whole = strings.Next(out) && whole; };
  if (entry.m_wKind == Birthday) {
    next(entry.m_szFirstName);
    next(entry.m_szLastName);
  } else {
    next(entry.m_szName);
  }
  next(entry.m_szNote);
  if (withSoundFile) next(entry.m_szSoundFile);
  return whole;
}

bool ReadEntryStrings(std::span<const std::uint8_t> block, EntryRecord& record) {
  // As EntryStringBlock takes them, with the zeros of the whole block looked
  // for eight characters at a time rather than string by string.
  record.name = record.firstName = record.lastName = {};
  std::u16string_view* const birthday[] = {&record.firstName, &record.lastName, &record.note, &record.soundFile};
  std::u16string_view* const other[] = {&record.name, &record.note, &record.soundFile};
  const std::span<std::u16string_view* const> wanted =
      record.kind == Birthday ? std::span<std::u16string_view* const>(birthday) : other;
  const auto* text = reinterpret_cast<const char16_t*>(block.data());
  const std::size_t units = block.size() / 2;
  std::size_t found = 0;
  std::size_t start = 0;
  const auto ends = [&](std::size_t end) {
    *wanted[found++] = std::u16string_view(text + start, end - start);
    start = end + 1;
  };
  std::size_t at = 0;
#if defined(__SSE2__)
  const __m128i zeros = _mm_setzero_si128();
  for (; at + 8 <= units && found < wanted.size(); at += 8) {
    const __m128i eight = _mm_loadu_si128(reinterpret_cast<const __m128i*>(text + at));
    // Two bits for each zero character.
    auto zero = static_cast<unsigned>(_mm_movemask_epi8(_mm_cmpeq_epi16(eight, zeros)));
    for (; zero != 0 && found < wanted.size(); zero &= zero - 1, zero &= zero - 1) {
      ends(at + static_cast<std::size_t>(std::countr_zero(zero)) / 2);
    }
  }
#endif
  for (; at < units && found < wanted.size(); ++at) {
    if (text[at] == 0) ends(at);
  }
  if (found == wanted.size()) return true;
  // The string that does not end runs to the block's end; those after it are empty.
  ends(units);
  while (found < wanted.size()) *wanted[found++] = {};
  return false;
}

namespace {

// Removes up to `excess` units from the end of `text`; returns how many went.
std::size_t CutFromEnd(std::u16string& text, std::size_t excess) {
  if (excess == 0 || text.empty()) return 0;
  std::size_t keep = text.size() > excess ? text.size() - excess : 0;
  // A high surrogate left without its partner would be a broken character.
  if (keep > 0 && text[keep - 1] >= 0xD800 && text[keep - 1] <= 0xDBFF) --keep;
  const std::size_t removed = text.size() - keep;
  text.resize(keep);
  return removed;
}

}  // namespace

bool FitStringsToRecord(FeskItem& entry) {
  const bool birthday = entry.m_wKind == Birthday;
  std::u16string* order[] = {&entry.m_szNote, &entry.m_szSoundFile,
                             birthday ? &entry.m_szLastName : &entry.m_szName,
                             birthday ? &entry.m_szFirstName : nullptr};
  std::size_t units = 0;
  for (const std::u16string* text : order) {
    if (text) units += StoredText(*text).size() + 1;
  }
  if (units <= kMaxRecordStringUnits) return false;
  std::size_t excess = units - kMaxRecordStringUnits;
  for (std::u16string* text : order) {
    if (!text || excess == 0) continue;
    // Only the stored part counts; what follows a zero character is dropped.
    text->resize(StoredText(*text).size());
    const std::size_t removed = CutFromEnd(*text, excess);
    excess -= std::min(removed, excess);
  }
  return true;
}

std::u16string_view StoredText(std::u16string_view text) { return text.substr(0, text.find(u'\0')); }

bool WriteEntryString(BinaryWriter& writer, std::u16string_view text) {
  for (const char16_t c : StoredText(text)) {
    if (!writer.WriteU16(c)) return false;
  }
  return writer.WriteU16(0);
}
