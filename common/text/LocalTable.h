#pragma once
// The localized texts of local.dat: one section of "KEY, value" lines, chosen
// by the language of the user's locale, looked up by key.
//
// The file is UTF-16LE. Its first character (the byte-order mark) is skipped
// unread. Lines end at a line feed and are read at most 1999 characters at a
// time (a longer line counts as several); trailing characters with codes 1 to
// 32 are removed. A section header is a line that starts with '[' and ends with
// ']'. An entry line is split at its first ", "; in the value "\n" becomes a
// line feed. Other lines are ignored.
//
// The table keeps the entries of the wanted section when the file has one,
// else those of the last "[Default]" section, else the lines before the first
// header. A key missing from the chosen section is not looked up elsewhere.
#include <cstddef>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

struct LocalEntry {
  std::u16string m_szKey;
  std::u16string m_szValue;  // line feeds already substituted
};

class LocalTable {
 public:
  static constexpr std::size_t kMaxLineChars = 1999;
  static constexpr std::size_t kMaxLanguageNameChars = 49;

  // Reads local.dat from the program folder, choosing the section of the
  // user's language. False when the file cannot be read or memory runs out.
  bool Load();
  // Reads the file at `path`, choosing `wantedSection` (with its brackets).
  bool LoadFile(const std::string& path, std::u16string_view wantedSection);
  // Reads the bytes of a whole file; false only when memory runs out.
  bool LoadBytes(std::string_view bytes, std::u16string_view wantedSection);

  // The value of the first entry whose key equals `key` ignoring case, or
  // "<undefined>". The text lives as long as the table.
  const std::u16string& Get(std::u16string_view key) const;
  const std::u16string& GetAppName() const;
  // The help file's name: "HELP_FILE", or "help.html" when it is not defined.
  const std::u16string& GetHelpFile() const;

  const std::vector<LocalEntry>& Entries() const { return m_entries; }

 private:
  std::vector<LocalEntry> m_entries;
  // Keys in ASCII capitals to the first entry with that key; programs look up
  // a text for every row they show.
  std::unordered_map<std::u16string, std::size_t> m_index;
};

// The texts every part of a program uses, loaded once at start-up.
LocalTable& GetLocalTable();

// "[" + the English name of the user's language + "]", or "[Default]" when the
// language has no name (the C locale, an unknown locale).
std::u16string WantedLocalSection();

// The literal text that stands for a missing key.
inline constexpr std::u16string_view kUndefinedText = u"<undefined>";
