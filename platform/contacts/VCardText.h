#pragma once
// Text helpers of the vCard reader: ASCII case, quoted-printable, escapes and
// character sets.
#include <string>
#include <string_view>
#include <vector>

namespace platform {

std::string_view TrimAscii(std::string_view text);  // spaces and tabs at both ends
std::string AsciiUpperCopy(std::string_view text);
bool EqualsIgnoreCaseAscii(std::string_view a, std::string_view b);
bool ContainsIgnoreCase(std::string_view text, std::string_view upperNeedle);

// "=XX" becomes the byte XX; a "=" not followed by two hex digits stays as it is.
std::string DecodeQuotedPrintable(std::string_view text);

// Splits at every separator not preceded by a backslash; escapes stay in the parts.
std::vector<std::string_view> SplitUnescaped(std::string_view text, char separator);

// "\n" and "\N" become a line feed; "\\", "\,", "\;" and "\:" lose the backslash;
// any other backslash stays.
std::string Unescape(std::string_view text);

bool IsValidUtf8(std::string_view bytes);

// Decodes bytes of the named character set (UTF-8, ISO-8859-1 / Latin-1,
// Windows-1252, US-ASCII; case-insensitive). Without a known name, text that is
// valid UTF-8 is read as UTF-8 and anything else as Windows-1252, the usual
// encoding of old address books that wrote no CHARSET.
std::u16string DecodeCharset(std::string_view bytes, std::string_view charset);

}  // namespace platform
