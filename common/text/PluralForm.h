#pragma once
// The CLDR cardinal plural category of a count in a language of local.dat,
// by CLDR's rules for whole numbers, written here so that no program loads
// ICU for them: "ONE", "FEW", "MANY", "OTHER" and so on, in capitals, as
// local.dat's count keys end ("..._PL_FEW").
#include <string>
#include <string_view>
#include <vector>

// The ICU locale id of a local.dat section name without brackets ("Russian"
// gives "ru", "Portuguese" "pt_BR"); English's for [Default] and for names not
// in the table.
std::string PluralLocaleOfSection(std::u16string_view section);

// The category of `count` by the rules of the section's language; "OTHER" for
// a text that is not a whole number.
std::u16string PluralCategory(std::u16string_view section, std::u16string_view count);

// Every category the section's language has, in ICU's order (alphabetical).
std::vector<std::u16string> PluralCategories(std::u16string_view section);
