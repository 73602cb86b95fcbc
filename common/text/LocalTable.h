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
// The table keeps the entries of the first wanted section that the file has,
// else those of the last "[Default]" section, else the lines before the first
// header. A key missing from the chosen section is looked up in "[English]"
// (chosen the same way), and each such key is reported once on stderr.
//
// Count texts (GetCounted) first take the section's form for the CLDR plural
// category of the count: KEY + day variant + "_PL_" + category ("ONE", "FEW",
// "MANY", "OTHER"...), by the rules of the section's language; a section that
// gives none has the plainer forms "_Y1" (one year), "_0" (today) and "_1"
// (tomorrow).
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
  bool LoadFile(const std::string& path, const std::vector<std::u16string>& wantedSections);
  // Reads the bytes of a whole file; false only when memory runs out.
  bool LoadBytes(std::string_view bytes, std::u16string_view wantedSection);
  // The first of `wantedSections` that the file has is chosen.
  bool LoadBytes(std::string_view bytes, const std::vector<std::u16string>& wantedSections);

  // The value of the first entry whose key equals `key` ignoring case, or
  // "<undefined>". The text lives as long as the table.
  const std::u16string& Get(std::u16string_view key) const;
  // The chosen section's own value, without the English fallback; null when
  // the section does not define the key.
  const std::u16string* Find(std::u16string_view key) const;
  // Which count of a text with years and days chooses its plural form.
  enum class CountedBy { Years, Days };
  // The text of count key `key` for a count of `years` (empty when the text
  // counts only days) and `days`. The plural category follows the years when
  // given and `by` says so, else the days. In order, the first the section has: the key with
  // the day variant ("_0" today, "_1" tomorrow) and the category, the key with
  // "_Y1" (one year) and the variant, with the variant, with the category,
  // with "_Y1"; else Get(key).
  const std::u16string& GetCounted(std::u16string_view key, std::u16string_view years, std::u16string_view days,
                                   CountedBy by = CountedBy::Years) const;
  // The chosen section's name without brackets ("German", "Default").
  const std::u16string& Section() const { return m_section; }
  const std::u16string& GetAppName() const;
  // The help file's name: "HELP_FILE", or "help.html" when it is not defined.
  const std::u16string& GetHelpFile() const;

  const std::vector<LocalEntry>& Entries() const { return m_entries; }

 private:
  std::vector<LocalEntry> m_entries;
  // Keys in ASCII capitals to the first entry with that key; programs look up
  // a text for every row they show.
  std::unordered_map<std::u16string, std::size_t> m_index;
  std::u16string m_section = u"Default";
  // English's texts by key in ASCII capitals, for keys the section lacks.
  std::unordered_map<std::u16string, std::u16string> m_english;
};

// The texts every part of a program uses, loaded once at start-up.
LocalTable& GetLocalTable();

// "[" + the English name of the user's language + "]", or "[Default]" when the
// language has no name (the C locale, an unknown locale).
std::u16string WantedLocalSection();
// The sections to look for in order: one per language of LANGUAGE (a
// colon-separated preference list), then WantedLocalSection().
std::vector<std::u16string> WantedLocalSections();

// The literal text that stands for a missing key.
inline constexpr std::u16string_view kUndefinedText = u"<undefined>";
