#pragma once
// Values of key options on a program's command line ("/ID=", "/T=", "/A="):
// the key counts where it stands at the start of the line or right after a
// space (inside a word it does not count and the search goes on). A value in
// double quotes runs to the next quote (or the end), otherwise to the next
// space. At most kMaxCommandValueChars characters are kept.
#include <cstddef>
#include <string>
#include <string_view>

inline constexpr std::size_t kMaxCommandValueChars = 258;

// Empty when the key is absent; `truncated` tells whether the value was cut.
std::string GetCommandValue(std::string_view line, std::string_view key, bool* truncated = nullptr);
// Whether the key stands anywhere on the line as an option (even with an empty value).
bool HasCommandKey(std::string_view line, std::string_view key);
