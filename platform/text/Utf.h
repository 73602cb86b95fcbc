#pragma once
// Conversions between the UTF-16 text of the core and the UTF-8 of the Linux APIs.
#include <string>
#include <string_view>

namespace platform {

// Invalid sequences become U+FFFD; the conversions never fail.
std::string ToUtf8(std::u16string_view text);
std::u16string FromUtf8(std::string_view text);
// ToUtf8 written at the end of `out`, without a text of its own in between.
void AppendUtf8(std::string& out, std::u16string_view text);

// ASCII-only case folding, as used for keys, section names and mutex names.
char16_t AsciiUpper(char16_t c);
char16_t AsciiLower(char16_t c);
std::u16string AsciiUpper(std::u16string_view text);
bool EqualsIgnoreCase(std::u16string_view a, std::u16string_view b);

}  // namespace platform
