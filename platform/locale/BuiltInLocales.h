#pragma once
// Qt's answers for the C locale and the usual locales of the ten languages
// that Natalo's texts are written in, held here so that these locales need no
// Qt. The locale test compares every row with Qt's own answers.
#include <span>
#include <string>
#include <string_view>

namespace platform {

struct BuiltInLocale {
  // The locale names the row answers for, separated by spaces ("de_DE de"):
  // the part of a locale name in front of its "." or "@".
  std::string_view names;
  std::u16string_view language;  // English name, empty for the C locale
  // As GetLocalePictures gives them.
  std::u16string_view shortDate, longDate, time;
  // The 64 texts of CalendarNames in the order of its members, '|' between.
  std::u16string_view calendar;
};

// The row of the base of a locale name ("de_DE" of "de_DE.UTF-8"); null when
// there is none.
const BuiltInLocale* FindBuiltInLocale(std::string_view base);

std::span<const BuiltInLocale> BuiltInLocales();

}  // namespace platform
