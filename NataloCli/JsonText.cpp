#include "NataloCli/JsonText.h"

#include <cstdio>

std::string JsonString(std::string_view text) {
  std::string out;
  AppendJsonString(out, text);
  return out;
}

void AppendJsonString(std::string& out, std::string_view text) {
  out += '"';
  // Runs of characters that need no escape are copied whole.
  std::size_t plain = 0;
  for (std::size_t i = 0; i < text.size(); ++i) {
    const char c = text[i];
    const auto byte = static_cast<unsigned char>(c);
    if (c != '"' && c != '\\' && byte >= 0x20 && byte != 0x7F) continue;
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
