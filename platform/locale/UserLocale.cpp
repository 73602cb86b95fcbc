#include "platform/locale/UserLocale.h"

#include <cstdlib>
#include <string_view>

#include "platform/locale/BuiltInLocales.h"
#include "platform/locale/QtLocale.h"

namespace platform {
namespace {

std::string FirstSet(const char* a, const char* b, const char* c) {
  for (const char* name : {a, b, c}) {
    const char* value = std::getenv(name);
    if (value != nullptr && *value != '\0') return value;
  }
  return {};
}

// Who answers for a locale: its built-in row, else Qt's tables.
struct Answer {
  const BuiltInLocale* row = nullptr;
  const QtLocaleFunctions* qt = nullptr;
};

// "de_DE.UTF-8@euro" names the locale de_DE; "C" and "POSIX" the C locale.
Answer AnswerFor(const std::string& name) {
  const std::string_view base = std::string_view(name).substr(0, name.find_first_of(".@"));
  const BuiltInLocale* row = FindBuiltInLocale(base.empty() || base == "POSIX" ? "C" : base);
  if (row != nullptr) return {row};
  if (const QtLocaleFunctions* qt = QtLocale()) return {nullptr, qt};
  return {FindBuiltInLocale("C")};  // without Qt's tables another locale reads as C
}

}  // namespace

std::string UserTimeLocaleName() { return FirstSet("LC_ALL", "LC_TIME", "LANG"); }

std::string UserMessagesLocaleName() { return FirstSet("LC_ALL", "LC_MESSAGES", "LANG"); }

bool LanguageEnglishName(const std::string& localeName, std::u16string& out) {
  const Answer answer = AnswerFor(localeName);
  if (answer.qt) return answer.qt->languageEnglishName(localeName, out);
  if (answer.row->language.empty()) return false;
  out = answer.row->language;
  return true;
}

LocalePictures GetLocalePictures(const std::string& localeName) {
  const Answer answer = AnswerFor(localeName);
  if (answer.qt) return answer.qt->localePictures(localeName);
  const BuiltInLocale& row = *answer.row;
  return {std::u16string(row.shortDate), std::u16string(row.longDate), std::u16string(row.time)};
}

CalendarNames GetCalendarNames(const std::string& localeName) {
  const Answer answer = AnswerFor(localeName);
  if (answer.qt) return answer.qt->calendarNames(localeName);
  CalendarNames n;
  std::u16string* const fields[] = {
      n.longDay, n.shortDay, n.longMonth, n.shortMonth, n.longMonthStandalone, n.shortMonthStandalone};
  const int counts[] = {7, 7, 12, 12, 12, 12};
  std::u16string_view rest = answer.row->calendar;
  const auto next = [&rest] {
    const std::size_t bar = rest.find(u'|');
    const std::u16string_view text = rest.substr(0, bar);
    rest = bar == std::u16string_view::npos ? std::u16string_view() : rest.substr(bar + 1);
    return std::u16string(text);
  };
  for (int list = 0; list < 6; ++list) {
    for (int i = 0; i < counts[list]; ++i) fields[list][i] = next();
  }
  n.am = next();
  n.pm = next();
  return n;
}

}  // namespace platform
