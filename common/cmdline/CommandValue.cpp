#include "common/cmdline/CommandValue.h"

namespace {

// Position of the key as an option, or npos.
std::size_t FindKey(std::string_view line, std::string_view key) {
  if (key.empty()) return std::string_view::npos;
  std::size_t pos = 0;
  for (;;) {
    pos = line.find(key, pos);
    if (pos == std::string_view::npos || pos == 0 || line[pos - 1] == ' ') return pos;
    pos += 1;
  }
}

}  // namespace

bool HasCommandKey(std::string_view line, std::string_view key) { return FindKey(line, key) != std::string_view::npos; }

std::string GetCommandValue(std::string_view line, std::string_view key, bool* truncated) {
  if (truncated) *truncated = false;
  const std::size_t pos = FindKey(line, key);
  if (pos == std::string_view::npos) return {};
  std::size_t begin = pos + key.size();
  char terminator = ' ';
  if (begin < line.size() && line[begin] == '"') {
    terminator = '"';
    ++begin;
  }
  std::size_t end = line.find(terminator, begin);
  if (end == std::string_view::npos) end = line.size();
  std::string_view value = line.substr(begin, end - begin);
  if (value.size() > kMaxCommandValueChars) {
    value = value.substr(0, kMaxCommandValueChars);
    if (truncated) *truncated = true;
  }
  return std::string(value);
}
