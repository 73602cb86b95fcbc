#include "NataloCli/JsonText.h"

#include <cstring>

#include "platform/text/ByteScan.h"

std::string JsonString(std::string_view text) {
  std::string out;
  AppendJsonString(out, text);
  return out;
}

void AppendJsonString(std::string& out, std::string_view text) {
  const std::size_t at = out.size();
  out.resize(at + JsonStringBound(text));
  out.resize(static_cast<std::size_t>(PutJsonString(out.data() + at, text) - out.data()));
}

char* PutJsonString(char* at, std::string_view text) {
  *at++ = '"';
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
    if (run > 0) std::memcpy(at, text.data(), run);
    at += run;
    if (run == text.size()) break;
    const char c = text[run];
    if (c == '"' || c == '\\') {
      *at++ = '\\';
      *at++ = c;
    } else if (c == '\n') {
      *at++ = '\\';
      *at++ = 'n';
    } else {
      static constexpr char kHex[] = "0123456789abcdef";
      const auto byte = static_cast<unsigned char>(c);
      std::memcpy(at, "\\u00", 4);
      at[4] = kHex[byte >> 4];
      at[5] = kHex[byte & 15];
      at += 6;
    }
    text.remove_prefix(run + 1);
  }
  *at++ = '"';
  return at;
}
