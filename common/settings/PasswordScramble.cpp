#include "common/settings/PasswordScramble.h"

namespace {

// XOR with the running key; the same operation scrambles and unscrambles.
std::vector<std::uint8_t> Apply(std::vector<std::uint8_t> bytes) {
  std::uint8_t key = kPasswordSeed;
  for (auto& b : bytes) {
    b = static_cast<std::uint8_t>(b ^ key);
    key = static_cast<std::uint8_t>(key + kPasswordStep);
  }
  return bytes;
}

}  // namespace

std::vector<std::uint8_t> ScramblePassword(const std::u16string& password) {
  std::vector<std::uint8_t> bytes;
  bytes.reserve(password.size() * 2);
  for (char16_t c : password) {
    bytes.push_back(static_cast<std::uint8_t>(c & 0xFF));
    bytes.push_back(static_cast<std::uint8_t>(c >> 8));
  }
  return Apply(std::move(bytes));
}

std::u16string UnscramblePassword(const std::vector<std::uint8_t>& stored) {
  const std::vector<std::uint8_t> bytes = Apply(stored);
  std::u16string password;
  for (std::size_t i = 0; i + 1 < bytes.size(); i += 2) {
    password += static_cast<char16_t>(bytes[i] | bytes[i + 1] << 8);
  }
  return password;
}
