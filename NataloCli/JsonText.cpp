#include "NataloCli/JsonText.h"

#include <array>
#include <cstdio>

std::string JsonString(std::string_view text) {
  std::string out;
  AppendJsonString(out, text);
  return out;
}

namespace {

// The bytes a JSON string keeps as they are.
constexpr std::array<bool, 256> kPlainBytes = [] {
  std::array<bool, 256> plain{};
  for (std::size_t byte = 0x20; byte < 256; ++byte) plain[byte] = byte != '"' && byte != '\\' && byte != 0x7F;
  return plain;
}();

}  // namespace

void AppendJsonString(std::string& out, std::string_view text) {
  out += '"';
  // Runs of characters that need no escape are copied whole.
  std::size_t plain = 0;
  for (std::size_t i = 0; i < text.size(); ++i) {
    const char c = text[i];
    const auto byte = static_cast<unsigned char>(c);
    if (kPlainBytes[byte]) continue;
    out.append(text.data() + plain, i - plain);
    plain = i + 1;
    if (c == '"' || c == '\\') {
      out += '\\';
      out += c;
    } else if (c == '\n') {
      out += "\\n";
    } else {
      char escaped[8];
      std::snprintf(escaped, sizeof escaped, "\\u%04x", byte);
      out += escaped;
    }
  }
  out.append(text.data() + plain, text.size() - plain);
  out += '"';
}
