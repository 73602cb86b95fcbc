#include "common/text/PluralForm.h"

#include <cstdint>

#include "platform/text/Utf.h"

namespace {

// CLDR's cardinal plural rules of the ten languages (CLDR 42), for whole
// numbers, where the fraction operands v and f are 0.
enum class Rules { OneOnly, ZeroOneAndMillions, OneAndMillions, Polish, Russian, None };

struct SectionLocale {
  std::u16string_view section;
  const char* locale;
  Rules rules;
};

constexpr SectionLocale kSectionLocales[] = {
    {u"English", "en", Rules::OneOnly},
    {u"German", "de", Rules::OneOnly},
    {u"French", "fr", Rules::ZeroOneAndMillions},
    {u"Spanish", "es", Rules::OneAndMillions},
    {u"Italian", "it", Rules::OneAndMillions},
    {u"Portuguese", "pt_BR", Rules::ZeroOneAndMillions},
    {u"Dutch", "nl", Rules::OneOnly},
    {u"Polish", "pl", Rules::Polish},
    {u"Russian", "ru", Rules::Russian},
    {u"Japanese", "ja", Rules::None},
};

const SectionLocale& Of(std::u16string_view section) {
  for (const auto& entry : kSectionLocales) {
    if (platform::EqualsIgnoreCase(entry.section, section)) return entry;
  }
  return kSectionLocales[0];
}

std::u16string_view Category(Rules rules, std::int64_t i) {
  const std::int64_t mod10 = i % 10, mod100 = i % 100;
  switch (rules) {
    case Rules::OneOnly:
      return i == 1 ? u"ONE" : u"OTHER";
    case Rules::ZeroOneAndMillions:
    case Rules::OneAndMillions:
      if (i <= 1 && (i == 1 || rules == Rules::ZeroOneAndMillions)) return u"ONE";
      return i != 0 && i % 1000000 == 0 ? u"MANY" : u"OTHER";
    case Rules::Polish:
      if (i == 1) return u"ONE";
      return mod10 >= 2 && mod10 <= 4 && (mod100 < 12 || mod100 > 14) ? u"FEW" : u"MANY";
    case Rules::Russian:
      if (mod10 == 1 && mod100 != 11) return u"ONE";
      return mod10 >= 2 && mod10 <= 4 && (mod100 < 12 || mod100 > 14) ? u"FEW" : u"MANY";
    case Rules::None:
      break;
  }
  return u"OTHER";
}

}  // namespace

std::string PluralLocaleOfSection(std::u16string_view section) {
  return Of(section).locale;
}

std::u16string PluralCategory(std::u16string_view section, std::u16string_view count) {
  if (count.empty() || count.size() > 18) return u"OTHER";
  std::int64_t n = 0;
  for (char16_t c : count) {
    if (c < u'0' || c > u'9') return u"OTHER";
    n = n * 10 + (c - u'0');
  }
  // The rules take the count as ICU does, as a double: above 2^53 that is
  // the nearest value a double holds.
  return std::u16string(Category(Of(section).rules, static_cast<std::int64_t>(static_cast<double>(n))));
}

std::vector<std::u16string> PluralCategories(std::u16string_view section) {
  switch (Of(section).rules) {
    case Rules::OneOnly:
      return {u"ONE", u"OTHER"};
    case Rules::ZeroOneAndMillions:
    case Rules::OneAndMillions:
      return {u"MANY", u"ONE", u"OTHER"};
    case Rules::Polish:
    case Rules::Russian:
      return {u"FEW", u"MANY", u"ONE", u"OTHER"};
    case Rules::None:
      break;
  }
  return {u"OTHER"};
}
