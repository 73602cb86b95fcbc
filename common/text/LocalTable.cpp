#include "common/text/LocalTable.h"

#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>

#include <algorithm>
#include <bit>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <mutex>
#include <new>
#include <unordered_set>

#include "common/text/PluralForm.h"
#include "common/text/ProgramFolder.h"
#include "platform/file/FileIo.h"
#include "platform/locale/UserLocale.h"
#include "platform/text/Utf.h"

namespace {

const std::u16string kUndefined(kUndefinedText);
const std::u16string kDefaultHelpFile = u"help.html";
constexpr std::u16string_view kDefaultSection = u"[Default]";
constexpr std::u16string_view kEnglishSection = u"[English]";
// Far more than any texts file; a larger one is not read at all.
constexpr std::size_t kMaxFileBytes = 64 << 20;

// Reads the UTF-16LE units of a byte buffer one line at a time, as a line
// reader with a buffer of kMaxLineChars + 1 characters would. A line that is
// not wanted is passed over without being decoded.
class LineReader {
 public:
  explicit LineReader(std::string_view bytes) : m_bytes(bytes) {}

  void Skip() {
    if (m_pos < Units()) ++m_pos;
  }

  // The first character of the next line; false at the end of the data.
  bool Peek(char16_t& first) const {
    if (m_pos >= Units()) return false;
    first = At(m_pos);
    return true;
  }

  void SkipLine() { m_pos = LineEnd(); }

  // False at the end of the data.
  bool Next(std::u16string& line) {
    line.clear();
    if (m_pos >= Units()) return false;
    const std::size_t end = LineEnd();
    line.resize(end - m_pos);
    if constexpr (std::endian::native == std::endian::little) {
      std::memcpy(line.data(), m_bytes.data() + 2 * m_pos, 2 * line.size());
    } else {
      for (std::size_t i = 0; i < line.size(); ++i) line[i] = At(m_pos + i);
    }
    m_pos = end;
    return true;
  }

 private:
  std::size_t Units() const { return m_bytes.size() / 2; }  // an odd last byte is no character
  char16_t At(std::size_t i) const {
    const auto lo = static_cast<unsigned char>(m_bytes[2 * i]);
    const auto hi = static_cast<unsigned char>(m_bytes[2 * i + 1]);
    return static_cast<char16_t>(lo | (hi << 8));
  }
  // Where the next line ends: after its line feed, after kMaxLineChars
  // characters or at the end of the data, whichever comes first.
  std::size_t LineEnd() const {
    const std::size_t limit = std::min(Units(), m_pos + LocalTable::kMaxLineChars);
    const char* const data = m_bytes.data();
    std::size_t from = 2 * m_pos;
    while (from < 2 * limit) {
      const void* found = std::memchr(data + from, '\n', 2 * limit - from);
      if (found == nullptr) break;
      const auto at = static_cast<std::size_t>(static_cast<const char*>(found) - data);
      if (at % 2 == 0 && data[at + 1] == '\0') return at / 2 + 1;
      from = at + 1;
    }
    return limit;
  }

  std::string_view m_bytes;
  std::size_t m_pos = 0;
};

// A line ends at its first NUL character; trailing codes 1 to 32 go.
void TrimLine(std::u16string& line) {
  const auto nul = line.find(u'\0');
  if (nul != std::u16string::npos) line.resize(nul);
  while (!line.empty() && line.back() >= 1 && line.back() <= 32) line.pop_back();
}

bool IsSectionHeader(const std::u16string& line) {
  return !line.empty() && line.front() == u'[' && line.back() == u']';
}

std::u16string Unescape(std::u16string_view value) {
  std::u16string out;
  out.reserve(value.size());
  for (std::size_t i = 0; i < value.size(); ++i) {
    if (value[i] == u'\\' && i + 1 < value.size() && value[i + 1] == u'n') {
      out += u'\n';
      ++i;
    } else {
      out += value[i];
    }
  }
  return out;
}

// The entries of `wanted` when the bytes have that section, else of the last
// "[Default]" section, else the lines before the first header. Only a header
// begins with '[': when the bytes are known to have the wanted section, every
// other line outside it is passed over. Entries whose key `keep` refuses are
// left out.
template <typename Keep>
void ReadSection(std::string_view bytes, std::u16string_view wanted, bool present,
                 std::vector<LocalEntry>& entries, Keep keep) {
  LineReader reader(bytes);
  reader.Skip();
  bool inWanted = false;
  bool inDefault = true;  // lines before the first header belong to the default section
  entries.clear();
  std::u16string line;
  for (char16_t first = 0; reader.Peek(first);) {
    if (first != u'[' && !inWanted && (present || !inDefault)) {
      reader.SkipLine();
      continue;
    }
    reader.Next(line);
    TrimLine(line);
    if (IsSectionHeader(line)) {
      if (inWanted) break;  // the wanted section has ended
      if (platform::EqualsIgnoreCase(line, wanted)) {
        inWanted = true;
        inDefault = false;
        entries.clear();
      } else if (platform::EqualsIgnoreCase(line, kDefaultSection)) {
        inWanted = false;
        inDefault = true;
        entries.clear();
      } else {
        inWanted = false;
        inDefault = false;
      }
      continue;
    }
    if (!inWanted && !inDefault) continue;
    const auto split = line.find(u", ");
    if (split == std::u16string::npos) continue;
    const std::u16string_view key = std::u16string_view(line).substr(0, split);
    if (!keep(key)) continue;
    entries.push_back({std::u16string(key), Unescape(std::u16string_view(line).substr(split + 2))});
  }
}

// The first of `wanted` that is a header of the bytes; empty when none is.
// `headers` gets every header in ASCII capitals.
std::u16string ChooseSection(std::string_view bytes, const std::vector<std::u16string>& wanted,
                             std::unordered_set<std::u16string>& headers) {
  LineReader reader(bytes);
  reader.Skip();
  std::u16string line;
  for (char16_t first = 0; reader.Peek(first);) {
    if (first != u'[') {
      reader.SkipLine();
      continue;
    }
    reader.Next(line);
    TrimLine(line);
    if (IsSectionHeader(line)) headers.insert(platform::AsciiUpper(line));
  }
  for (const auto& name : wanted) {
    if (headers.count(platform::AsciiUpper(name))) return name;
  }
  return {};
}

// Tells once per key that a section lacks it.
void ReportMissing(const std::u16string& section, const std::u16string& key) {
  static std::mutex mutex;
  static std::unordered_set<std::u16string> reported;
  const std::lock_guard<std::mutex> lock(mutex);
  if (!reported.insert(key).second) return;
  std::fprintf(stderr, "local.dat: [%s] has no %s; using the English text\n", platform::ToUtf8(section).c_str(),
               platform::ToUtf8(key).c_str());
}

}  // namespace

bool LocalTable::Load() {
  return LoadFile(platform::ToUtf8(GetProgramFolder() + u"local.dat"), WantedLocalSections());
}

bool LocalTable::LoadFile(const std::string& path, std::u16string_view wantedSection) {
  return LoadFile(path, std::vector<std::u16string>{std::u16string(wantedSection)});
}

bool LocalTable::LoadFile(const std::string& path, const std::vector<std::u16string>& wantedSections) {
  // The file is mapped rather than copied: most of it is only looked through
  // for the section headers, and a copy would cost a page fault per page.
  const platform::UniqueFd file = platform::OpenRegularFile(path, O_RDONLY);
  struct stat info {};
  if (!file.IsOpen() || fstat(file.Get(), &info) != 0) return false;
  const auto size = static_cast<std::size_t>(info.st_size);
  if (size > kMaxFileBytes) return false;
  if (size == 0) return LoadBytes(std::string_view(), wantedSections);
  void* const mapped = mmap(nullptr, size, PROT_READ, MAP_PRIVATE | MAP_POPULATE, file.Get(), 0);
  if (mapped == MAP_FAILED) return false;
  const bool loaded = LoadBytes(std::string_view(static_cast<const char*>(mapped), size), wantedSections);
  munmap(mapped, size);
  return loaded;
}

bool LocalTable::LoadBytes(std::string_view bytes, std::u16string_view wantedSection) {
  try {
    return LoadBytes(bytes, std::vector<std::u16string>{std::u16string(wantedSection)});
  } catch (const std::bad_alloc&) {
    return false;
  }
}

bool LocalTable::LoadBytes(std::string_view bytes, const std::vector<std::u16string>& wantedSections) {
  try {
    std::unordered_set<std::u16string> headers;
    const std::u16string chosen = ChooseSection(bytes, wantedSections, headers);
    ReadSection(bytes, chosen, !chosen.empty(), m_entries, [](std::u16string_view) { return true; });
    m_section = chosen.empty() ? std::u16string(u"Default") : chosen.substr(1, chosen.size() - 2);
    m_index.clear();
    for (std::size_t i = 0; i < m_entries.size(); ++i) m_index.emplace(platform::AsciiUpper(m_entries[i].m_szKey), i);
    m_english.clear();
    if (!platform::EqualsIgnoreCase(chosen, kEnglishSection)) {
      std::vector<LocalEntry> english;
      // Only the keys the chosen section lacks are looked up in English.
      ReadSection(bytes, kEnglishSection, headers.count(platform::AsciiUpper(kEnglishSection)) != 0, english,
                  [this](std::u16string_view key) { return m_index.count(platform::AsciiUpper(key)) == 0; });
      for (auto& entry : english) m_english.emplace(platform::AsciiUpper(entry.m_szKey), std::move(entry.m_szValue));
    }
    return true;
  } catch (const std::bad_alloc&) {
    m_entries.clear();
    m_index.clear();
    m_english.clear();
    return false;
  }
}

const std::u16string* LocalTable::Find(std::u16string_view key) const {
  const auto found = m_index.find(platform::AsciiUpper(key));
  return found == m_index.end() ? nullptr : &m_entries[found->second].m_szValue;
}

const std::u16string& LocalTable::GetCounted(std::u16string_view key, std::u16string_view years,
                                             std::u16string_view days, CountedBy by) const {
  const std::u16string base(key);
  const std::u16string daySuffix = days == u"0" || days == u"1" ? u"_" + std::u16string(days) : u"";
  const std::u16string plural = u"_PL_" + PluralCategory(m_section, by == CountedBy::Days || years.empty() ? days : years);
  const std::u16string yearSuffix = years == u"1" ? u"_Y1" : u"";
  // The day's own wording ("today", "tomorrow") before the count's plural
  // form; a section with plural forms gives them for that wording too.
  for (const std::u16string& candidate : {base + daySuffix + plural, base + yearSuffix + daySuffix, base + daySuffix,
                                          base + plural, base + yearSuffix}) {
    if (candidate == base) continue;
    if (const std::u16string* text = Find(candidate)) return *text;
  }
  return Get(key);
}

const std::u16string& LocalTable::Get(std::u16string_view key) const {
  const std::u16string upper = platform::AsciiUpper(key);
  const auto found = m_index.find(upper);
  if (found != m_index.end()) return m_entries[found->second].m_szValue;
  const auto english = m_english.find(upper);
  if (english == m_english.end()) return kUndefined;
  ReportMissing(m_section, upper);
  return english->second;
}

const std::u16string& LocalTable::GetAppName() const { return Get(u"APP_NAME"); }

const std::u16string& LocalTable::GetHelpFile() const {
  const std::u16string& name = Get(u"HELP_FILE");
  return name == kUndefined ? kDefaultHelpFile : name;
}

LocalTable& GetLocalTable() {
  static LocalTable table;
  return table;
}

std::u16string WantedLocalSection() {
  std::u16string language;
  if (!platform::LanguageEnglishName(platform::UserMessagesLocaleName(), language) || language.empty()) {
    return std::u16string(kDefaultSection);
  }
  if (language.size() > LocalTable::kMaxLanguageNameChars) language.resize(LocalTable::kMaxLanguageNameChars);
  return u"[" + language + u"]";
}

std::vector<std::u16string> WantedLocalSections() {
  std::vector<std::u16string> out;
  const char* list = std::getenv("LANGUAGE");
  std::string_view rest = list ? list : "";
  while (!rest.empty()) {
    const auto colon = rest.find(':');
    const std::string name(rest.substr(0, colon));
    rest = colon == std::string_view::npos ? std::string_view() : rest.substr(colon + 1);
    std::u16string language;
    if (name.empty() || name == "C" || !platform::LanguageEnglishName(name, language) || language.empty()) continue;
    if (language.size() > LocalTable::kMaxLanguageNameChars) language.resize(LocalTable::kMaxLanguageNameChars);
    out.push_back(u"[" + language + u"]");
  }
  out.push_back(WantedLocalSection());
  return out;
}
