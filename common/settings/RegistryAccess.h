#pragma once
// Registry values named by one text path: root, key path and value name, as in
// "HKEY_CURRENT_USER\Software\Quorvex\Natalo\View\Zodiac".
//
// The text before the first backslash must be one of HKEY_LOCAL_MACHINE,
// HKEY_CLASSES_ROOT, HKEY_USERS, HKEY_CURRENT_USER, spelled exactly so. The
// value name follows the last backslash; the key path lies between the first
// and the last one (empty: the value lies directly under the root). Only the
// current-user and local-machine roots hold values on this system; paths under
// the other two are recognised but neither read nor written.
#include <chrono>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "platform/registry/Registry.h"

struct RegistryPath {
  std::u16string root;
  std::u16string key;
  std::u16string name;
};

// Splits a path as described above; false when the root is unknown or no
// backslash follows it.
bool ParseRegistryPath(std::u16string_view path, RegistryPath& out);

// Reads a value without creating its key. Fails when the path does not
// resolve, the value is missing, or its data are larger than `maxBytes`.
bool ReadRegistryValue(std::u16string_view path, platform::RegistryType& type, std::vector<std::uint8_t>& data,
                       std::size_t maxBytes);
// Writes a value, creating its key and the key's parents.
bool WriteRegistryValue(std::u16string_view path, platform::RegistryType type, const std::vector<std::uint8_t>& data);

struct RetryRule {
  int attempts = 5;
  std::chrono::milliseconds delay{500};
};
inline constexpr RetryRule kSettingsRetry{};

// WriteRegistryValue, tried up to `rule.attempts` times with `rule.delay`
// between a failed attempt and the next.
bool WriteRegistryValueRetry(std::u16string_view path, platform::RegistryType type,
                             const std::vector<std::uint8_t>& data, const RetryRule& rule = kSettingsRetry);

// Typed reads: a value of another type or size fails and leaves `out` alone.
bool ReadRegistryDword(std::u16string_view path, std::uint32_t& out);
// A string of at most `maxChars` characters including its terminating zero.
bool ReadRegistryString(std::u16string_view path, std::u16string& out, std::size_t maxChars = 260);

bool WriteRegistryDword(std::u16string_view path, std::uint32_t value);
bool WriteRegistryDwordRetry(std::u16string_view path, std::uint32_t value, const RetryRule& rule = kSettingsRetry);
// Stored with the terminating zero: 2 × (length + 1) bytes.
bool WriteRegistryStringRetry(std::u16string_view path, const std::u16string& value,
                              const RetryRule& rule = kSettingsRetry);
