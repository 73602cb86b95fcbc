#include "NataloCli/JsonText.h"

#include <cstdio>

#include "platform/text/ByteScan.h"

std::string JsonString(std::string_view text) {
  std::string out;
  AppendJsonString(out, text);
  return out;
}

void AppendJsonString(std::string& out, std::string_view text) {
  out += '"';
  // Runs of characters that need no escape are copied whole; they are looked
  // at eight bytes at a time while they last.
  const auto plain = [](unsigned char byte) { return byte != '"' && byte != '\\' && byte >= 0x20 && byte != 0x7F; };
  const auto wordPlain = [](std::uint64_t word) {
    using platform::AnyByteEqual;
    return !platform::AnyByteBelow(word, 0x20) && !AnyByteEqual(word, '"') && !AnyByteEqual(word, '\\') &&
           !AnyByteEqual(word, 0x7F);
  };
  for (;;) {
    const std::size_t run = platform::PlainRun(text, wordPlain, plain);
    out.append(text.data(), run);
    if (run == text.size()) break;
    const char c = text[run];
    if (c == '"' || c == '\\') {
      out += '\\';
      out += c;
    } else if (c == '\n') {
      out += "\\n";
    } else {
      char escaped[8];
      std::snprintf(escaped, sizeof escaped, "\\u%04x", static_cast<unsigned char>(c));
      out += escaped;
    }
    text.remove_prefix(run + 1);
  }
  out += '"';
}
