#include "common/entries/EntryStringSet.h"

#include <algorithm>
#include <bit>
#include <cstring>
#include <new>
#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace {

// UTF-16 units are read and written as the machine's own char16_t.
static_assert(std::endian::native == std::endian::little);

constexpr std::uintptr_t kLatin1 = 1, kShortLengths = 2, kFlags = 3;
static_assert(__STDCPP_DEFAULT_NEW_ALIGNMENT__ > kFlags);

// Where the characters start: after five lengths of one byte (and a byte that
// keeps UTF-16 units at an even address) or of two bytes.
std::size_t HeaderSize(bool latin1, bool shortLengths) { return shortLengths ? (latin1 ? 5 : 6) : 10; }

std::size_t LengthAt(const std::uint8_t* block, bool shortLengths, std::size_t slot) {
  if (shortLengths) return block[slot];
  std::uint16_t length = 0;
  std::memcpy(&length, block + 2 * slot, sizeof length);
  return length;
}

// One text to copy into a block: Latin-1 bytes, or UTF-16 units as
// little-endian bytes at any address.
struct Source {
  const std::uint8_t* bytes = nullptr;
  std::size_t units = 0;
  bool latin1 = false;
};

// Every entry of a list passes through here when it is read: the units'
// high bytes are gathered eight at a time where the processor can, over all
// of an entry's texts, and looked at once.
class HighBytes {
 public:
  void Add(const Source& source) {
    std::size_t i = 0;
#if defined(__SSE2__)
    for (; i + 8 <= source.units; i += 8) {
      m_eight = _mm_or_si128(m_eight, _mm_loadu_si128(reinterpret_cast<const __m128i*>(source.bytes + 2 * i)));
    }
#endif
    for (; i + 4 <= source.units; i += 4) {
      std::uint64_t four = 0;
      std::memcpy(&four, source.bytes + 2 * i, sizeof four);
      m_four |= four;
    }
    for (; i < source.units; ++i) m_four |= std::uint64_t{source.bytes[2 * i + 1]} << 8;
  }
  bool AllZero() const {
    std::uint64_t high = m_four & 0xFF00FF00FF00FF00;
#if defined(__SSE2__)
    const __m128i highs = _mm_and_si128(m_eight, _mm_set1_epi16(-256));
    high |= static_cast<unsigned>(_mm_movemask_epi8(_mm_cmpeq_epi8(highs, _mm_setzero_si128()))) != 0xFFFF;
#endif
    return high == 0;
  }

 private:
#if defined(__SSE2__)
  __m128i m_eight = _mm_setzero_si128();
#endif
  std::uint64_t m_four = 0;
};

void CopyAsLatin1(const Source& source, std::uint8_t* to) {
  if (source.latin1) {
    std::memcpy(to, source.bytes, source.units);
    return;
  }
  std::size_t i = 0;
#if defined(__SSE2__)
  // Units below 256 pack into their low bytes unchanged.
  for (; i + 8 <= source.units; i += 8) {
    const __m128i units = _mm_loadu_si128(reinterpret_cast<const __m128i*>(source.bytes + 2 * i));
    _mm_storel_epi64(reinterpret_cast<__m128i*>(to + i), _mm_packus_epi16(units, units));
  }
#endif
  for (; i + 4 <= source.units; i += 4) {
    std::uint64_t four = 0;
    std::memcpy(&four, source.bytes + 2 * i, sizeof four);
    const auto bytes = static_cast<std::uint32_t>((four & 0xFF) | ((four >> 8) & 0xFF00) | ((four >> 16) & 0xFF0000) |
                                                  ((four >> 24) & 0xFF000000));
    std::memcpy(to + i, &bytes, sizeof bytes);
  }
  for (; i < source.units; ++i) to[i] = source.bytes[2 * i];
}

void CopyAsUtf16(const Source& source, std::uint8_t* to) {
  if (!source.latin1) {
    std::memcpy(to, source.bytes, 2 * source.units);
    return;
  }
  auto* units = reinterpret_cast<char16_t*>(to);
  for (std::size_t i = 0; i < source.units; ++i) units[i] = source.bytes[i];
}

// A block holding `sources`, with its flags; 0 when they are all empty.
std::uintptr_t BuildBlock(std::array<Source, EntryStringSet::kSlots> sources) {
  std::size_t units = 0, longest = 0;
  HighBytes high;
  for (Source& source : sources) {
    if (source.units == 0) continue;
    source.units = std::min(source.units, EntryStringSet::kMaxUnits);
    units += source.units;
    longest = std::max(longest, source.units);
    if (!source.latin1) high.Add(source);
  }
  if (units == 0) return 0;
  const bool latin1 = high.AllZero();
  const bool shortLengths = longest <= 0xFF;
  const std::size_t header = HeaderSize(latin1, shortLengths);
  auto* block = static_cast<std::uint8_t*>(::operator new(header + units * (latin1 ? 1 : 2)));
  std::uint8_t* at = block + header;
  for (std::size_t i = 0; i < sources.size(); ++i) {
    const Source& source = sources[i];
    if (shortLengths) {
      block[i] = static_cast<std::uint8_t>(source.units);
    } else {
      const auto length = static_cast<std::uint16_t>(source.units);
      std::memcpy(block + 2 * i, &length, sizeof length);
    }
    // An empty text may have no characters to point at.
    if (source.units == 0) continue;
    if (latin1) {
      CopyAsLatin1(source, at);
      at += source.units;
    } else {
      CopyAsUtf16(source, at);
      at += 2 * source.units;
    }
  }
  return reinterpret_cast<std::uintptr_t>(block) | (latin1 ? kLatin1 : 0) | (shortLengths ? kShortLengths : 0);
}

}  // namespace

EntryStringSet& EntryStringSet::operator=(const EntryStringSet& other) {
  if (this != &other) Assign(other.All());
  return *this;
}

EntryStringSet& EntryStringSet::operator=(EntryStringSet&& other) noexcept {
  if (this != &other) {
    Release();
    m_block = other.m_block;
    other.m_block = 0;
  }
  return *this;
}

void EntryStringSet::Release() {
  // Most entries read have no block yet: the call is not worth making for them.
  if (m_block == 0) return;
  ::operator delete(reinterpret_cast<void*>(m_block & ~kFlags));
  m_block = 0;
}

EntryText EntryStringSet::Get(Slot slot) const {
  if (m_block == 0) return {};
  return All()[slot];
}

EntryStringSet::Texts EntryStringSet::All() const {
  Texts texts{};
  if (m_block == 0) return texts;
  const auto* block = reinterpret_cast<const std::uint8_t*>(m_block & ~kFlags);
  const bool latin1 = (m_block & kLatin1) != 0, shortLengths = (m_block & kShortLengths) != 0;
  const std::uint8_t* at = block + HeaderSize(latin1, shortLengths);
  for (std::size_t i = 0; i < kSlots; ++i) {
    const std::size_t units = LengthAt(block, shortLengths, i);
    if (latin1) {
      texts[i] = EntryText::Latin1(reinterpret_cast<const char*>(at), units);
      at += units;
    } else {
      texts[i] = std::u16string_view(reinterpret_cast<const char16_t*>(at), units);
      at += 2 * units;
    }
  }
  return texts;
}

void EntryStringSet::Set(Slot slot, EntryText text) {
  Texts texts = All();
  texts[slot] = text;
  Assign(texts);
}

void EntryStringSet::Assign(const Texts& texts) {
  std::array<Source, kSlots> sources;
  for (std::size_t i = 0; i < kSlots; ++i) {
    const EntryText& text = texts[i];
    const void* data = text.IsLatin1() ? static_cast<const void*>(text.Bytes().data()) : text.Units().data();
    sources[i] = {static_cast<const std::uint8_t*>(data), text.size(), text.IsLatin1()};
  }
  // The old block goes only after the new one is filled: the texts may lie in it.
  const std::uintptr_t block = BuildBlock(sources);
  Release();
  m_block = block;
}

void EntryStringSet::Assign(const Pieces& pieces) {
  std::array<Source, kSlots> sources;
  for (std::size_t i = 0; i < kSlots; ++i) {
    sources[i] = {static_cast<const std::uint8_t*>(pieces[i].characters), pieces[i].units, false};
  }
  const std::uintptr_t block = BuildBlock(sources);
  Release();
  m_block = block;
}
