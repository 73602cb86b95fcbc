#include "data/local/LocalDatCheck.h"

#include <algorithm>
#include <cctype>
#include <fstream>
#include <map>
#include <set>
#include <sstream>

#include "common/text/LocalTable.h"
#include "common/text/PluralForm.h"
#include "platform/text/Utf.h"

namespace localdat {
namespace {

std::string Trimmed(std::string s) {
  while (!s.empty() && (s.back() == '\r' || s.back() == ' ' || s.back() == '\t')) s.pop_back();
  return s;
}

int Count(const std::u16string& text, char16_t sep) {
  return 1 + static_cast<int>(std::count(text.begin(), text.end(), sep));
}

}  // namespace

std::vector<std::string> Generate(const std::filesystem::path& out, const std::vector<SectionSource>& sources) {
  std::vector<std::string> problems;
  std::u16string text = u"\uFEFF";
  for (const auto& source : sources) {
    std::ifstream in(source.file, std::ios::binary);
    if (!in) {
      problems.push_back(source.file.string() + ": cannot be read");
      continue;
    }
    text += u"[" + platform::FromUtf8(source.name) + u"]\r\n";
    std::set<std::string> seen;
    std::string line;
    for (int number = 1; std::getline(in, line); ++number) {
      line = Trimmed(line);
      if (line.empty() || line[0] == '#') continue;
      const std::string where = source.file.filename().string() + ":" + std::to_string(number) + ": ";
      const auto split = line.find(", ");
      if (split == std::string::npos) {
        problems.push_back(where + "no \", \" between key and text");
        continue;
      }
      if (!seen.insert(line.substr(0, split)).second) problems.push_back(where + "key given twice");
      const std::u16string converted = platform::FromUtf8(line);
      if (converted.find(u'\uFFFD') != std::u16string::npos) problems.push_back(where + "invalid UTF-8");
      if (converted.size() + 2 > LocalTable::kMaxLineChars) problems.push_back(where + "line too long");
      text += converted + u"\r\n";
    }
  }
  if (!problems.empty()) return problems;
  std::string bytes;
  bytes.reserve(text.size() * 2);
  for (char16_t c : text) {
    bytes += static_cast<char>(c & 0xFF);
    bytes += static_cast<char>(c >> 8);
  }
  const auto tmp = out.string() + ".tmp";
  {
    std::ofstream file(tmp, std::ios::binary | std::ios::trunc);
    file.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    if (!file) problems.push_back(out.string() + ": cannot be written");
  }
  std::error_code ec;
  if (problems.empty()) std::filesystem::rename(tmp, out, ec);
  if (ec) problems.push_back(out.string() + ": " + ec.message());
  return problems;
}

std::vector<RequiredKey> ReadRequiredKeys(const std::filesystem::path& file, std::vector<std::string>& problems) {
  std::vector<RequiredKey> keys;
  std::ifstream in(file);
  if (!in) {
    problems.push_back(file.string() + ": cannot be read");
    return keys;
  }
  std::string line;
  for (int number = 1; std::getline(in, line); ++number) {
    line = Trimmed(line);
    if (line.empty() || line[0] == '#') continue;
    std::istringstream words(line);
    RequiredKey key;
    words >> key.key;
    std::string attr;
    while (words >> attr) {
      if (attr.rfind("fmt=", 0) == 0) {
        key.conversions = attr.substr(4);
      } else if (attr.rfind("items=", 0) == 0) {
        key.items = std::stoi(attr.substr(6));
      } else if (attr.rfind("words>=", 0) == 0) {
        key.minWords = std::stoi(attr.substr(7));
      } else if (attr.rfind("maxlen=", 0) == 0) {
        key.maxChars = std::stoi(attr.substr(7));
      } else {
        problems.push_back(file.filename().string() + ":" + std::to_string(number) + ": unknown \"" + attr + "\"");
      }
    }
    keys.push_back(key);
  }
  return keys;
}

namespace {

bool IsKeyChar(char c) {
  return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '_' || c == '-';
}

// Keys of the calls Get(u"KEY") in one source text.
void CollectKeyCalls(const std::string& source, std::set<std::string>& keys) {
  const auto skipSpace = [&](std::size_t i) {
    while (i < source.size() && std::isspace(static_cast<unsigned char>(source[i]))) ++i;
    return i;
  };
  for (std::size_t at = source.find("Get"); at != std::string::npos; at = source.find("Get", at + 3)) {
    std::size_t i = skipSpace(at + 3);
    if (i >= source.size() || source[i] != '(') continue;
    i = skipSpace(i + 1);
    if (source.compare(i, 2, "u\"") != 0) continue;
    const std::size_t begin = i + 2;
    std::size_t end = begin;
    while (end < source.size() && IsKeyChar(source[end])) ++end;
    if (end == begin || end >= source.size() || source[end] != '"') continue;
    i = skipSpace(end + 1);
    if (i < source.size() && source[i] == ')') keys.insert(source.substr(begin, end - begin));
  }
}

}  // namespace

std::vector<std::string> ScanSourceKeys(const std::vector<std::filesystem::path>& roots) {
  std::set<std::string> keys;
  for (const auto& root : roots) {
    std::error_code ec;
    if (!std::filesystem::is_directory(root, ec)) continue;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(root, ec)) {
      const auto ext = entry.path().extension();
      if (!entry.is_regular_file() || (ext != ".cpp" && ext != ".h")) continue;
      std::ifstream in(entry.path(), std::ios::binary);
      const std::string source((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
      CollectKeyCalls(source, keys);
    }
  }
  return {keys.begin(), keys.end()};
}

std::string Conversions(const std::u16string& text) {
  std::string out;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] != u'%') continue;
    std::size_t j = i + 1;
    while (j < text.size() && std::u16string_view(u"-+ #0123456789.lhz").find(text[j]) != std::u16string_view::npos) ++j;
    if (j >= text.size()) break;
    if (text[j] != u'%') out += static_cast<char>(text[j] < 0x80 ? text[j] : '?');
    i = j;
  }
  return out;
}

namespace {

bool EndsWith(const std::string& s, std::string_view tail) {
  return s.size() >= tail.size() && s.compare(s.size() - tail.size(), tail.size(), tail) == 0;
}

// Count keys with plural forms in a section: each needs a form for every
// category of the section's language, for the key and for each day variant
// ("_0", "_1") that English has, taking English's conversions.
void CheckPluralForms(const LocalTable& table, const LocalTable& english, const std::string& section,
                      std::vector<std::string>& problems) {
  const std::string where = "[" + section + "] ";
  const std::vector<std::u16string> categories = PluralCategories(platform::FromUtf8(section));
  std::set<std::string> countKeys;
  for (const auto& entry : table.Entries()) {
    const std::string key = platform::ToUtf8(platform::AsciiUpper(entry.m_szKey));
    const auto pl = key.find("_PL_");
    if (pl == std::string::npos) continue;
    const std::u16string category = platform::FromUtf8(key.substr(pl + 4));
    if (std::find(categories.begin(), categories.end(), category) == categories.end())
      problems.push_back(where + key + " names a plural category that " + section + " does not have");
    std::string base = key.substr(0, pl);
    if (EndsWith(base, "_0") || EndsWith(base, "_1")) base.resize(base.size() - 2);
    countKeys.insert(base);
  }
  for (const auto& base : countKeys) {
    for (const char* variant : {"", "_0", "_1"}) {
      const std::u16string plain = platform::FromUtf8(base + variant);
      const std::u16string* englishText = english.Find(plain);
      if (*variant && !englishText) continue;
      for (const auto& category : categories) {
        const std::string key = base + variant + "_PL_" + platform::ToUtf8(category);
        const std::u16string* text = table.Find(platform::FromUtf8(key));
        if (!text) problems.push_back(where + key + " is missing");
        else if (englishText && Conversions(*text) != Conversions(*englishText))
          problems.push_back(where + key + " takes \"" + Conversions(*text) + "\" but " + platform::ToUtf8(plain) +
                             " takes \"" + Conversions(*englishText) + "\" in [English]");
      }
    }
  }
}

}  // namespace

std::vector<std::string> Check(const std::filesystem::path& localDat, const std::vector<RequiredKey>& required,
                               const std::vector<std::string>& sections) {
  std::vector<std::string> problems;
  std::map<std::string, std::pair<std::string, std::string>> seenConversions;  // key -> (section, conversions)
  // English is what every section is measured by: its lists' lengths and its
  // count keys' day variants.
  LocalTable english;
  if (!english.LoadFile(localDat.string(), u"[English]")) {
    problems.push_back(localDat.string() + ": cannot be read");
    return problems;
  }
  for (const auto& section : sections) {
    LocalTable table;
    const std::u16string header = u"[" + platform::FromUtf8(section) + u"]";
    if (!table.LoadFile(localDat.string(), header)) {
      problems.push_back(localDat.string() + ": cannot be read");
      return problems;
    }
    const std::string where = "[" + section + "] ";
    for (const auto& key : required) {
      const std::u16string* found = table.Find(platform::FromUtf8(key.key));
      if (!found) {
        problems.push_back(where + key.key + " is missing");
        continue;
      }
      const std::u16string& text = *found;
      const std::string conv = Conversions(text);
      if (conv != key.conversions)
        problems.push_back(where + key.key + " takes \"" + conv + "\" instead of \"" + key.conversions + "\"");
      if (key.items >= 0 && Count(text, u';') != key.items)
        problems.push_back(where + key.key + " has " + std::to_string(Count(text, u';')) + " pieces, not " +
                           std::to_string(key.items));
      if (key.minWords >= 0 && Count(text, u',') < key.minWords)
        problems.push_back(where + key.key + " has fewer than " + std::to_string(key.minWords) + " words");
      if (key.maxChars >= 0 && text.size() > static_cast<std::size_t>(key.maxChars))
        problems.push_back(where + key.key + " is longer than " + std::to_string(key.maxChars) + " characters");
    }
    // Every key of a section takes the same conversions in every other
    // section, and a list has as many ";" pieces as English's.
    for (const auto& entry : table.Entries()) {
      const std::string key = platform::ToUtf8(platform::AsciiUpper(entry.m_szKey));
      const std::string conv = Conversions(entry.m_szValue);
      const auto [it, fresh] = seenConversions.emplace(key, std::make_pair(section, conv));
      if (!fresh && it->second.second != conv)
        problems.push_back(where + key + " takes \"" + conv + "\" but takes \"" + it->second.second + "\" in [" +
                           it->second.first + "]");
      const std::u16string* englishText = english.Find(entry.m_szKey);
      if (englishText && Count(*englishText, u';') > 1 && Count(entry.m_szValue, u';') != Count(*englishText, u';'))
        problems.push_back(where + key + " has " + std::to_string(Count(entry.m_szValue, u';')) +
                           " pieces, English " + std::to_string(Count(*englishText, u';')));
    }
    CheckPluralForms(table, english, section, problems);
  }
  return problems;
}

}  // namespace localdat
