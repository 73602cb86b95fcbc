#pragma once
// Building local.dat from its UTF-8 sources and checking that it holds every
// key the programs use, with matching format conversions in every section.
#include <filesystem>
#include <string>
#include <vector>

namespace localdat {

struct SectionSource {
  std::string name;  // without brackets
  std::filesystem::path file;
};

// Writes local.dat: a byte-order mark, then per source "[name]" and its
// "KEY, value" lines, UTF-16LE with CR LF line ends. Lines starting with '#'
// and empty lines are left out. Returns the problems found (a line without
// ", ", a key given twice, invalid UTF-8, a line too long to be read whole);
// nothing is written when there is one.
std::vector<std::string> Generate(const std::filesystem::path& out, const std::vector<SectionSource>& sources);

struct RequiredKey {
  std::string key;
  std::string conversions;  // "ss": two text arguments; empty: none
  int items = -1;           // exact number of ";" pieces, -1 unchecked
  int minWords = -1;        // least number of "," words, -1 unchecked
  int maxChars = -1;
};

// Reads a required-keys list (see data/local/required-keys.txt); problems are appended.
std::vector<RequiredKey> ReadRequiredKeys(const std::filesystem::path& file, std::vector<std::string>& problems);

// Keys passed as u"KEY" literals to a Get call in the .cpp and .h files under `roots`.
std::vector<std::string> ScanSourceKeys(const std::vector<std::filesystem::path>& roots);

// The printf conversion letters of a text in order ("%s and %d%%" gives "sd").
std::string Conversions(const std::u16string& text);

// Checks local.dat against the keys; returns the problems found.
std::vector<std::string> Check(const std::filesystem::path& localDat, const std::vector<RequiredKey>& required,
                               const std::vector<std::string>& sections);

}  // namespace localdat
