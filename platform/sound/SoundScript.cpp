#include "platform/sound/SoundScript.h"

#include <cmath>
#include <cstdlib>
#include <string>

namespace platform {
namespace {

bool IsNumberChar(char c) { return (c >= '0' && c <= '9') || c == '.'; }

}  // namespace

std::vector<SoundStep> ParseSoundScript(std::string_view script) {
  std::vector<SoundStep> steps;
  std::size_t i = 0;
  while (i < script.size()) {
    const char letter = static_cast<char>(script[i] | 0x20);  // letters in either case
    ++i;
    std::size_t start = i;
    while (i < script.size() && IsNumberChar(script[i])) ++i;
    const std::string number(script.substr(start, i - start));
    double value = number.empty() ? 0.0 : std::strtod(number.c_str(), nullptr);
    if (!std::isfinite(value) || value < 0) value = 0;
    switch (letter) {
      case 'p':
      case 'r':
        steps.push_back({letter, 0});
        break;
      case 'w':
      case 'v':
        steps.push_back({'w', value});
        break;
      case 't':
      case 'c':
        steps.push_back({letter, value});
        break;
      default:
        break;  // 'a', unknown letters, blanks, stray digits
    }
  }
  if (steps.empty() && script.find_first_not_of(" \t") == std::string_view::npos) steps.push_back({'p', 0});
  return steps;
}

bool ScriptPlaysSound(const std::vector<SoundStep>& steps) {
  for (const auto& s : steps) {
    if (s.op == 'r') return false;
    if (s.op == 'p') return true;
  }
  return false;
}

}  // namespace platform
