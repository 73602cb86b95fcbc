#include "common/text/PluralForm.h"

#include <unicode/locid.h>
#include <unicode/plurrule.h>
#include <unicode/strenum.h>

#include <cstdint>
#include <map>
#include <memory>
#include <mutex>

#include "platform/text/Utf.h"

namespace {

struct SectionLocale {
  std::u16string_view section;
  const char* locale;
};

constexpr SectionLocale kSectionLocales[] = {
    {u"English", "en"},       {u"German", "de"}, {u"French", "fr"}, {u"Spanish", "es"}, {u"Italian", "it"},
    {u"Portuguese", "pt_BR"}, {u"Dutch", "nl"},  {u"Polish", "pl"}, {u"Russian", "ru"}, {u"Japanese", "ja"},
};

// The rules of one locale, made once; null when ICU has none.
const icu::PluralRules* RulesFor(const std::string& locale) {
  static std::mutex mutex;
  static std::map<std::string, std::unique_ptr<icu::PluralRules>> rules;
  const std::lock_guard<std::mutex> lock(mutex);
  auto found = rules.find(locale);
  if (found == rules.end()) {
    UErrorCode status = U_ZERO_ERROR;
    std::unique_ptr<icu::PluralRules> made(icu::PluralRules::forLocale(icu::Locale(locale.c_str()), status));
    if (U_FAILURE(status)) made.reset();
    found = rules.emplace(locale, std::move(made)).first;
  }
  return found->second.get();
}

std::u16string Upper(const icu::UnicodeString& keyword) {
  std::u16string out(reinterpret_cast<const char16_t*>(keyword.getBuffer()),
                     static_cast<std::size_t>(keyword.length()));
  return platform::AsciiUpper(out);
}

}  // namespace

std::string PluralLocaleOfSection(std::u16string_view section) {
  for (const auto& entry : kSectionLocales) {
    if (platform::EqualsIgnoreCase(entry.section, section)) return entry.locale;
  }
  return "en";
}

std::u16string PluralCategory(std::u16string_view section, std::u16string_view count) {
  const icu::PluralRules* rules = RulesFor(PluralLocaleOfSection(section));
  if (!rules || count.empty() || count.size() > 18) return u"OTHER";
  std::int64_t n = 0;
  for (char16_t c : count) {
    if (c < u'0' || c > u'9') return u"OTHER";
    n = n * 10 + (c - u'0');
  }
  return Upper(rules->select(static_cast<double>(n)));
}

std::vector<std::u16string> PluralCategories(std::u16string_view section) {
  std::vector<std::u16string> out;
  const icu::PluralRules* rules = RulesFor(PluralLocaleOfSection(section));
  if (!rules) return out;
  UErrorCode status = U_ZERO_ERROR;
  std::unique_ptr<icu::StringEnumeration> keywords(rules->getKeywords(status));
  if (U_FAILURE(status) || !keywords) return out;
  while (const icu::UnicodeString* keyword = keywords->snext(status)) {
    if (U_FAILURE(status)) break;
    out.push_back(Upper(*keyword));
  }
  return out;
}
