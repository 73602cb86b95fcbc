// Turns the editable UTF-8 list of stars into the file the programs read:
//   natalo_starsbuild SOURCE.txt OUT.dat
// Comment lines ('#') and empty lines are left out; every other line must
// parse, name a real date of a plausible year, keep the field limits and not
// repeat a person. The output is UTF-16LE with a byte-order mark and CR LF
// line ends. Exit code 1, with the offending line, on any fault.
#include <cstdio>
#include <fstream>
#include <iostream>
#include <set>
#include <sstream>
#include <string>

#include "common/entries/StarsFile.h"
#include "platform/clock/Clock.h"
#include "platform/text/Utf.h"

namespace {

// Dates are kept as FileTime values, which start in 1601.
constexpr int kFirstYear = 1601;
constexpr int kLastYear = 2020;

void AppendUtf16Le(std::string& out, std::u16string_view text) {
  for (const char16_t c : text) {
    out.push_back(static_cast<char>(c & 0xFF));
    out.push_back(static_cast<char>(c >> 8));
  }
}

std::string CheckLine(const std::u16string& line, std::set<std::u16string>& seen) {
  StarLine parsed;
  if (!ParseStarsLine(line, parsed)) return "a separator is missing or a field is too long";
  const StarLine* star = &parsed;
  if (star->szFirstName.empty() && star->szLastName.empty()) return "no name";
  if (star->nYear < kFirstYear || star->nYear > kLastYear) return "implausible year";
  if (!platform::IsValidDate(star->nYear, star->nMonth, star->nDay)) return "no such date";
  if (star->szDescription.empty()) return "no description";
  if (!seen.insert(star->szFirstName + u'\n' + star->szLastName).second) return "listed twice";
  return {};
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 3) {
    std::fprintf(stderr, "usage: %s SOURCE.txt OUT.dat\n", argv[0]);
    return 2;
  }
  std::ifstream in(argv[1], std::ios::binary);
  if (!in) {
    std::fprintf(stderr, "cannot read %s\n", argv[1]);
    return 1;
  }
  std::string out = "\xFF\xFE";
  std::set<std::u16string> seen;
  std::string raw;
  int number = 0, stars = 0;
  while (std::getline(in, raw)) {
    ++number;
    if (!raw.empty() && raw.back() == '\r') raw.pop_back();
    if (raw.empty() || raw[0] == '#') continue;
    const std::u16string line = platform::FromUtf8(raw);
    if (line.find(u'\uFFFD') != std::u16string::npos) {
      std::fprintf(stderr, "%s:%d: not UTF-8\n", argv[1], number);
      return 1;
    }
    const std::string fault = CheckLine(line, seen);
    if (!fault.empty()) {
      std::fprintf(stderr, "%s:%d: %s: %s\n", argv[1], number, fault.c_str(), raw.c_str());
      return 1;
    }
    AppendUtf16Le(out, line);
    AppendUtf16Le(out, u"\r\n");
    ++stars;
  }
  std::ofstream file(argv[2], std::ios::binary | std::ios::trunc);
  file.write(out.data(), static_cast<std::streamsize>(out.size()));
  if (!file.flush()) {
    std::fprintf(stderr, "cannot write %s\n", argv[2]);
    return 1;
  }
  std::printf("%d stars\n", stars);
  return 0;
}
