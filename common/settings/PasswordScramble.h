#pragma once
// The device password as stored in Reminder\DP: its UTF-16LE bytes without a
// terminator, each XORed with a key byte that starts at kPasswordSeed and grows
// by kPasswordStep (modulo 256) after every byte. The application writes it,
// the reminder utility reads it: both use these two constants.
#include <cstdint>
#include <string>
#include <vector>

inline constexpr std::uint8_t kPasswordSeed = 0xA7;
inline constexpr std::uint8_t kPasswordStep = 0x3B;

std::vector<std::uint8_t> ScramblePassword(const std::u16string& password);
// An odd last byte, which no character fills, is dropped.
std::u16string UnscramblePassword(const std::vector<std::uint8_t>& stored);
