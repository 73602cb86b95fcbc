#include "platform/contacts/VCardText.h"

#include "platform/text/Utf.h"

#include <algorithm>

namespace platform {
namespace {

char UpperAscii(char c) { return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c; }

int HexValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  return -1;
}

// Windows-1252 differs from Latin-1 only in 0x80..0x9F; 0 marks its five unused codes.
constexpr char16_t kCp1252High[32] = {
    0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0,      0x017D, 0,      0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178};

std::u16string DecodeSingleByte(std::string_view bytes, bool windows1252) {
  std::u16string out;
  out.reserve(bytes.size());
  for (char c : bytes) {
    auto b = static_cast<unsigned char>(c);
    char16_t u = b;
    if (windows1252 && b >= 0x80 && b <= 0x9F) u = kCp1252High[b - 0x80] ? kCp1252High[b - 0x80] : b;
    out.push_back(u);
  }
  return out;
}

}  // namespace

std::string_view TrimAscii(std::string_view text) {
  while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) text.remove_prefix(1);
  while (!text.empty() && (text.back() == ' ' || text.back() == '\t')) text.remove_suffix(1);
  return text;
}

std::string AsciiUpperCopy(std::string_view text) {
  std::string out(text);
  for (char& c : out) c = UpperAscii(c);
  return out;
}

bool EqualsIgnoreCaseAscii(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    if (UpperAscii(a[i]) != UpperAscii(b[i])) return false;
  }
  return true;
}

bool ContainsIgnoreCase(std::string_view text, std::string_view upperNeedle) {
  if (upperNeedle.size() > text.size()) return false;
  for (std::size_t i = 0; i + upperNeedle.size() <= text.size(); ++i) {
    if (EqualsIgnoreCaseAscii(text.substr(i, upperNeedle.size()), upperNeedle)) return true;
  }
  return false;
}

std::string DecodeQuotedPrintable(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '=' && i + 2 < text.size()) {
      int hi = HexValue(text[i + 1]);
      int lo = HexValue(text[i + 2]);
      if (hi >= 0 && lo >= 0) {
        out.push_back(static_cast<char>(hi * 16 + lo));
        i += 2;
        continue;
      }
    }
    out.push_back(text[i]);
  }
  return out;
}

std::vector<std::string_view> SplitUnescaped(std::string_view text, char separator) {
  std::vector<std::string_view> parts;
  std::size_t start = 0;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '\\') {
      ++i;
    } else if (text[i] == separator) {
      parts.push_back(text.substr(start, i - start));
      start = i + 1;
    }
  }
  parts.push_back(text.substr(std::min(start, text.size())));
  return parts;
}

std::string Unescape(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '\\' && i + 1 < text.size()) {
      char next = text[i + 1];
      if (next == 'n' || next == 'N') {
        out.push_back('\n');
        ++i;
        continue;
      }
      if (next == '\\' || next == ',' || next == ';' || next == ':') {
        out.push_back(next);
        ++i;
        continue;
      }
    }
    out.push_back(text[i]);
  }
  return out;
}

bool IsValidUtf8(std::string_view bytes) {
  std::size_t i = 0;
  while (i < bytes.size()) {
    auto b = static_cast<unsigned char>(bytes[i]);
    int extra = 0;
    char32_t cp = 0;
    if (b < 0x80) {
      ++i;
      continue;
    } else if (b >= 0xC2 && b <= 0xDF) {
      extra = 1;
      cp = b & 0x1F;
    } else if (b >= 0xE0 && b <= 0xEF) {
      extra = 2;
      cp = b & 0x0F;
    } else if (b >= 0xF0 && b <= 0xF4) {
      extra = 3;
      cp = b & 0x07;
    } else {
      return false;
    }
    if (i + static_cast<std::size_t>(extra) >= bytes.size()) return false;
    for (int k = 1; k <= extra; ++k) {
      auto c = static_cast<unsigned char>(bytes[i + static_cast<std::size_t>(k)]);
      if ((c & 0xC0) != 0x80) return false;
      cp = (cp << 6) | (c & 0x3F);
    }
    // Overlong forms, surrogates and values past U+10FFFF.
    if ((extra == 2 && cp < 0x800) || (extra == 3 && (cp < 0x10000 || cp > 0x10FFFF)) ||
        (cp >= 0xD800 && cp <= 0xDFFF)) {
      return false;
    }
    i += static_cast<std::size_t>(extra) + 1;
  }
  return true;
}

std::u16string DecodeCharset(std::string_view bytes, std::string_view charset) {
  std::string name = AsciiUpperCopy(TrimAscii(charset));
  if (name == "ISO-8859-1" || name == "LATIN1" || name == "LATIN-1" || name == "ISO8859-1" ||
      name == "ISO_8859-1" || name == "L1") {
    return DecodeSingleByte(bytes, false);
  }
  if (name == "WINDOWS-1252" || name == "CP1252" || name == "CP-1252") return DecodeSingleByte(bytes, true);
  if ((name == "UTF-8" || name == "UTF8" || name == "US-ASCII" || name == "ASCII") || IsValidUtf8(bytes)) {
    return FromUtf8(bytes);
  }
  return DecodeSingleByte(bytes, true);
}

}  // namespace platform
