#pragma once
// Tests on the eight bytes of a word at once, for scanning text for the few
// bytes that need attention. Each test is exact for the word as a whole,
// though not for each byte (a hit can set the flag of bytes after it).
#include <cstdint>
#include <cstring>
#include <string_view>

namespace platform {

inline constexpr std::uint64_t kByteOnes = 0x0101010101010101ull;
inline constexpr std::uint64_t kByteHighs = 0x8080808080808080ull;

// Whether a byte of `word` is below `n` (n <= 0x80).
constexpr bool AnyByteBelow(std::uint64_t word, std::uint64_t n) { return ((word - kByteOnes * n) & ~word & kByteHighs) != 0; }

// Whether a byte of `word` equals `byte`.
constexpr bool AnyByteEqual(std::uint64_t word, std::uint8_t byte) {
  const std::uint64_t differs = word ^ (kByteOnes * byte);
  return ((differs - kByteOnes) & ~differs & kByteHighs) != 0;
}

// The length of the longest start of `text` whose bytes all pass `plain`,
// looked at eight bytes at a time while `wordPlain` says a whole word passes.
template <typename WordPlain, typename BytePlain>
std::size_t PlainRun(std::string_view text, const WordPlain& wordPlain, const BytePlain& plain) {
  std::size_t run = 0;
  for (std::uint64_t word = 0; run + 8 <= text.size(); run += 8) {
    std::memcpy(&word, text.data() + run, 8);
    if (!wordPlain(word)) break;
  }
  while (run < text.size() && plain(static_cast<unsigned char>(text[run]))) ++run;
  return run;
}

}  // namespace platform
