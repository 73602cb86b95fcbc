#include "common/settings/RegistryAccess.h"

#include <thread>

namespace {

constexpr std::u16string_view kRoots[] = {u"HKEY_LOCAL_MACHINE", u"HKEY_CLASSES_ROOT", u"HKEY_USERS",
                                          u"HKEY_CURRENT_USER"};

// The registry service's root for a root name; false for the two it does not keep.
bool ServiceRoot(const std::u16string& root, platform::RegistryRoot& out) {
  if (root == u"HKEY_CURRENT_USER") out = platform::RegistryRoot::CurrentUser;
  else if (root == u"HKEY_LOCAL_MACHINE") out = platform::RegistryRoot::LocalMachine;
  else return false;
  return true;
}

bool Resolve(std::u16string_view path, RegistryPath& parsed, platform::RegistryRoot& root) {
  return ParseRegistryPath(path, parsed) && ServiceRoot(parsed.root, root);
}

}  // namespace

bool ParseRegistryPath(std::u16string_view path, RegistryPath& out) {
  const auto first = path.find(u'\\');
  const std::u16string_view root = path.substr(0, first);
  bool known = false;
  for (auto name : kRoots) known = known || root == name;
  if (!known || first == std::u16string_view::npos) return false;
  const std::u16string_view rest = path.substr(first + 1);
  const auto last = rest.rfind(u'\\');
  out.root = std::u16string(root);
  if (last == std::u16string_view::npos) {
    out.key.clear();
    out.name = std::u16string(rest);
  } else {
    out.key = std::u16string(rest.substr(0, last));
    out.name = std::u16string(rest.substr(last + 1));
  }
  return true;
}

bool ReadRegistryValue(std::u16string_view path, platform::RegistryType& type, std::vector<std::uint8_t>& data,
                       std::size_t maxBytes) {
  RegistryPath parsed;
  platform::RegistryRoot root{};
  if (!Resolve(path, parsed, root)) return false;
  platform::RegistryValue value;
  if (!platform::RegReadValue(root, parsed.key, parsed.name, value)) return false;
  if (value.data.size() > maxBytes) return false;
  type = value.type;
  data = std::move(value.data);
  return true;
}

bool WriteRegistryValue(std::u16string_view path, platform::RegistryType type, const std::vector<std::uint8_t>& data) {
  RegistryPath parsed;
  platform::RegistryRoot root{};
  if (!Resolve(path, parsed, root)) return false;
  return platform::RegWriteValue(root, parsed.key, parsed.name, platform::RegistryValue{type, data});
}

bool WriteRegistryValueRetry(std::u16string_view path, platform::RegistryType type,
                             const std::vector<std::uint8_t>& data, const RetryRule& rule) {
  for (int attempt = 1; attempt <= rule.attempts; ++attempt) {
    if (WriteRegistryValue(path, type, data)) return true;
    if (attempt < rule.attempts) std::this_thread::sleep_for(rule.delay);
  }
  return false;
}

bool ReadRegistryDword(std::u16string_view path, std::uint32_t& out) {
  platform::RegistryType type{};
  std::vector<std::uint8_t> data;
  if (!ReadRegistryValue(path, type, data, 4)) return false;
  if (type != platform::RegistryType::DWord || data.size() != 4) return false;
  out = static_cast<std::uint32_t>(data[0]) | static_cast<std::uint32_t>(data[1]) << 8 |
        static_cast<std::uint32_t>(data[2]) << 16 | static_cast<std::uint32_t>(data[3]) << 24;
  return true;
}

bool ReadRegistryString(std::u16string_view path, std::u16string& out, std::size_t maxChars) {
  platform::RegistryType type{};
  std::vector<std::uint8_t> data;
  if (!ReadRegistryValue(path, type, data, maxChars * 2)) return false;
  if (type != platform::RegistryType::String || data.size() % 2 != 0) return false;
  std::u16string text;
  for (std::size_t i = 0; i + 1 < data.size(); i += 2) {
    const auto c = static_cast<char16_t>(data[i] | data[i + 1] << 8);
    if (c == u'\0') break;  // the text ends at its terminator
    text += c;
  }
  out = std::move(text);
  return true;
}

namespace {

std::vector<std::uint8_t> DwordBytes(std::uint32_t value) {
  return {static_cast<std::uint8_t>(value), static_cast<std::uint8_t>(value >> 8),
          static_cast<std::uint8_t>(value >> 16), static_cast<std::uint8_t>(value >> 24)};
}

}  // namespace

bool WriteRegistryDword(std::u16string_view path, std::uint32_t value) {
  return WriteRegistryValue(path, platform::RegistryType::DWord, DwordBytes(value));
}

bool WriteRegistryDwordRetry(std::u16string_view path, std::uint32_t value, const RetryRule& rule) {
  return WriteRegistryValueRetry(path, platform::RegistryType::DWord, DwordBytes(value), rule);
}

bool WriteRegistryStringRetry(std::u16string_view path, const std::u16string& value, const RetryRule& rule) {
  std::vector<std::uint8_t> data;
  data.reserve(2 * (value.size() + 1));
  for (char16_t c : value) {
    data.push_back(static_cast<std::uint8_t>(c & 0xFF));
    data.push_back(static_cast<std::uint8_t>(c >> 8));
  }
  data.push_back(0);
  data.push_back(0);
  return WriteRegistryValueRetry(path, platform::RegistryType::String, data, rule);
}
