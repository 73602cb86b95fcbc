#pragma once
// Storage files of realistic date entries for the engine's benchmarks: yearly
// birthdays at 09:00 with distinct names, some notes and sound paths in their extension
// blocks, laid out as the entry list writes them; and the same dates as a
// reminder script for `remind`.
#include <cstdint>
#include <string>

#include "tests/engine/ItemBuilders.h"
#include "tests/engine/StorageBytes.h"

namespace enginebench {

inline const char* const kFirstNames[] = {"Anna", "Wolfgang", "Maria", "Johann", "Clara", "Ludwig", "Sofia",
                                          "Frederic", "Hildegard", "Antonio", "Fanny", "Giuseppe", "Nadia"};
inline const char* const kLastNames[] = {"Mozart", "Schumann", "Bach", "Beethoven", "Chopin", "Vivaldi",
                                         "Mendelssohn", "Verdi", "Boulanger", "von Bingen", "Smith", "Novak"};

// A distinct name for each entry, as in a real list: a first name, a family
// name and a second family name made of syllables, so that no two of 600,000
// entries share a name and nothing keyed by the name repeats.
inline std::string LastNameOf(int i) {
  static const char* const kSyllables[] = {"ka", "lo", "mi", "ren", "sa", "to", "vi", "ber",
                                           "dan", "el", "fa", "gu", "ha", "jo", "nu", "ri"};
  std::string second;
  for (int n = i / 156, s = 0; s < 3; ++s, n /= 16) second += kSyllables[n % 16];
  second[0] = static_cast<char>(second[0] - 'a' + 'A');
  return std::string(kLastNames[(i / 13) % 12]) + "-" + second;
}

struct Date {
  int year, month, day;
};

inline Date DateOf(int i) { return {1930 + i % 80, 1 + i % 12, 1 + (i * 7) % 28}; }

inline void AddText(std::string& block, const std::string& text) {
  for (const char c : text) {
    block += c;
    block += '\0';
  }
  block += std::string(2, '\0');
}

// The entry's block: kind, contact, date, picture, sound and reminder fields,
// then first and last name, note and sound file as terminated UTF-16 strings.
inline std::string EntryBlock(int i, std::uint64_t date) {
  std::string block;
  auto put = [&block](std::uint64_t v, int bytes) {
    for (int b = 0; b < bytes; ++b) block += static_cast<char>((v >> (8 * b)) & 0xFF);
  };
  put(0, 2);
  put(static_cast<std::uint64_t>(i), 4);
  put(date, 8);
  for (int f = 0; f < 6; ++f) put(f == 3 ? 100 : 0, 4);
  AddText(block, kFirstNames[i % 13]);
  AddText(block, LastNameOf(i));
  AddText(block, i % 3 == 0 ? "Call in the morning, send a card " + std::to_string(i % 100) : "");
  AddText(block, i % 4 == 0 ? "/usr/share/sounds/freedesktop/stereo/bell.oga" : "");
  return block;
}

inline std::string StorageOfBirthdays(int count) {
  enginetest::StorageBytes bytes;
  for (int i = 0; i < count; ++i) {
    const Date d = DateOf(i);
    const auto start = enginetest::At(d.year, d.month, d.day, 9);
    bytes.Add(enginetest::With(enginetest::Yearly(start), i + 1), EntryBlock(i, start));
  }
  return bytes.Bytes();
}

inline std::string RemindScriptOfBirthdays(int count) {
  static const char* const kMonths[] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                        "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
  std::string script;
  for (int i = 0; i < count; ++i) {
    const Date d = DateOf(i);
    script += "REM " + std::to_string(d.day) + " " + kMonths[d.month - 1] + " AT 09:00 MSG " + kFirstNames[i % 13] +
              " " + LastNameOf(i) + "\n";
  }
  return script;
}

}  // namespace enginebench
