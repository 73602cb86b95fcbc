#include "common/text/LocalTable.h"

#include <new>

#include "common/text/ProgramFolder.h"
#include "platform/file/FileIo.h"
#include "platform/locale/UserLocale.h"
#include "platform/text/Utf.h"

namespace {

const std::u16string kUndefined(kUndefinedText);
const std::u16string kDefaultHelpFile = u"help.html";
constexpr std::u16string_view kDefaultSection = u"[Default]";
// Far more than any texts file; a larger one is not read at all.
constexpr std::size_t kMaxFileBytes = 64 << 20;

// Reads the UTF-16LE units of a byte buffer one line at a time, as a line
// reader with a buffer of kMaxLineChars + 1 characters would.
class LineReader {
 public:
  explicit LineReader(std::string_view bytes) : m_bytes(bytes) {}

  void Skip() {
    if (m_pos < Units()) ++m_pos;
  }

  // False at the end of the data.
  bool Next(std::u16string& line) {
    line.clear();
    if (m_pos >= Units()) return false;
    while (m_pos < Units() && line.size() < LocalTable::kMaxLineChars) {
      const char16_t c = At(m_pos++);
      line += c;
      if (c == u'\n') break;
    }
    return true;
  }

 private:
  std::size_t Units() const { return m_bytes.size() / 2; }  // an odd last byte is no character
  char16_t At(std::size_t i) const {
    const auto lo = static_cast<unsigned char>(m_bytes[2 * i]);
    const auto hi = static_cast<unsigned char>(m_bytes[2 * i + 1]);
    return static_cast<char16_t>(lo | (hi << 8));
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

}  // namespace

bool LocalTable::Load() {
  return LoadFile(platform::ToUtf8(GetProgramFolder() + u"local.dat"), WantedLocalSection());
}

bool LocalTable::LoadFile(const std::string& path, std::u16string_view wantedSection) {
  std::string bytes;
  try {
    if (!platform::ReadWholeFile(path, bytes, kMaxFileBytes)) return false;
    return LoadBytes(bytes, wantedSection);
  } catch (const std::bad_alloc&) {
    return false;
  }
}

bool LocalTable::LoadBytes(std::string_view bytes, std::u16string_view wantedSection) {
  try {
    LineReader reader(bytes);
    reader.Skip();
    bool inWanted = false;
    bool inDefault = true;  // lines before the first header belong to the default section
    m_entries.clear();
    std::u16string line;
    while (reader.Next(line)) {
      TrimLine(line);
      if (IsSectionHeader(line)) {
        if (inWanted) break;  // the wanted section has ended
        if (platform::EqualsIgnoreCase(line, wantedSection)) {
          inWanted = true;
          inDefault = false;
          m_entries.clear();
        } else if (platform::EqualsIgnoreCase(line, kDefaultSection)) {
          inWanted = false;
          inDefault = true;
          m_entries.clear();
        } else {
          inWanted = false;
          inDefault = false;
        }
        continue;
      }
      if (!inWanted && !inDefault) continue;
      const auto split = line.find(u", ");
      if (split == std::u16string::npos) continue;
      m_entries.push_back({line.substr(0, split), Unescape(std::u16string_view(line).substr(split + 2))});
    }
    m_index.clear();
    for (std::size_t i = 0; i < m_entries.size(); ++i) m_index.emplace(platform::AsciiUpper(m_entries[i].m_szKey), i);
    return true;
  } catch (const std::bad_alloc&) {
    m_entries.clear();
    m_index.clear();
    return false;
  }
}

const std::u16string& LocalTable::Get(std::u16string_view key) const {
  const auto found = m_index.find(platform::AsciiUpper(key));
  return found == m_index.end() ? kUndefined : m_entries[found->second].m_szValue;
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
