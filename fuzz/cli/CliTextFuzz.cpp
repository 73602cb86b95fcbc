// The command line's readers and writers over arbitrary text: a date it
// accepts is written back the same, a JSON string and a calendar TEXT value
// decode to what went in, and a folded calendar line never exceeds 75 octets,
// never breaks a UTF-8 sequence and unfolds to the original.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "NataloCli/CliSession.h"
#include "NataloCli/EntryFacts.h"
#include "common/calendar/IcsCalendar.h"
#include "NataloCli/JsonText.h"

namespace {

void Check(bool condition) {
  if (!condition) std::abort();
}

int HexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  std::abort();
}

// Decodes a JSON string literal whose \u escapes stand for control characters.
std::string DecodeJsonString(std::string_view json) {
  Check(json.size() >= 2 && json.front() == '"' && json.back() == '"');
  std::string out;
  for (std::size_t i = 1; i + 1 < json.size(); ++i) {
    const char c = json[i];
    Check(static_cast<unsigned char>(c) >= 0x20 && c != '"');
    if (c != '\\') {
      out += c;
      continue;
    }
    Check(i + 2 < json.size());
    const char e = json[++i];
    switch (e) {
      case '"': case '\\': case '/': out += e; break;
      case 'b': out += '\b'; break;
      case 'f': out += '\f'; break;
      case 'n': out += '\n'; break;
      case 'r': out += '\r'; break;
      case 't': out += '\t'; break;
      case 'u': {
        Check(i + 4 < json.size());
        int code = 0;
        for (int k = 0; k < 4; ++k) code = code * 16 + HexDigit(json[++i]);
        Check(code < 0x80);
        out += static_cast<char>(code);
        break;
      }
      default: std::abort();
    }
  }
  return out;
}

// The TEXT value's escapes undone.
std::string DecodeIcsText(std::string_view text) {
  std::string out;
  for (std::size_t i = 0; i < text.size(); ++i) {
    const unsigned char c = static_cast<unsigned char>(text[i]);
    Check(c >= 0x20 && c != 0x7F);
    Check(c != ';' && c != ',');
    if (c != '\\') {
      out += static_cast<char>(c);
      continue;
    }
    Check(i + 1 < text.size());
    const char e = text[++i];
    Check(e == '\\' || e == ';' || e == ',' || e == 'n');
    out += e == 'n' ? '\n' : e;
  }
  return out;
}

// What AppendIcsText keeps: every byte but control characters other than the
// line feed.
std::string WithoutControls(std::string_view text) {
  std::string out;
  for (char c : text) {
    const unsigned char u = static_cast<unsigned char>(c);
    if ((u >= 0x20 && u != 0x7F) || c == '\n') out += c;
  }
  return out;
}

bool IsContinuation(char c) { return (static_cast<unsigned char>(c) & 0xC0) == 0x80; }

void CheckFolded(std::string_view folded, std::string_view line) {
  std::string unfolded;
  std::string_view previous;
  std::size_t start = 0;
  bool first = true;
  while (start < folded.size()) {
    const std::size_t end = folded.find("\r\n", start);
    Check(end != std::string_view::npos);
    std::string_view piece = folded.substr(start, end - start);
    Check(piece.size() <= 75);
    if (!first) {
      Check(!piece.empty() && piece.front() == ' ');
      piece.remove_prefix(1);
      // A continuation starts inside a UTF-8 sequence only when the line
      // before it held nothing but continuation bytes after its first.
      if (!piece.empty() && IsContinuation(piece.front())) {
        for (std::size_t i = 1; i < previous.size(); ++i) Check(IsContinuation(previous[i]));
      }
    }
    previous = piece;
    unfolded += piece;
    first = false;
    start = end + 2;
  }
  Check(unfolded == line);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);

  CalendarDate date;
  if (ParseIsoDate(text, date)) Check(IsoDate(date) == text);
  long number = 0;
  if (ParseNumber(text, -1000, 100000, number)) Check(number >= -1000 && number <= 100000);
  std::uint16_t kind = 0;
  (void)ParseKindWord(text, kind);

  Check(DecodeJsonString(JsonString(text)) == text);

  std::string value;
  AppendIcsText(value, text);
  Check(DecodeIcsText(value) == WithoutControls(text));
  const std::string line = "DESCRIPTION:" + value;
  std::string folded;
  AppendFoldedIcsLine(folded, line);
  CheckFolded(folded, line);
  return 0;
}
