#include "platform/contacts/ContactDate.h"

#include <algorithm>
#include <charconv>
#include <cstdio>

#include "platform/contacts/VCardText.h"
#include "platform/contacts/VariantDate.h"

namespace platform {
namespace {

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

bool AllDigits(std::string_view s) {
  if (s.empty()) return false;
  for (char c : s) {
    if (!IsDigit(c)) return false;
  }
  return true;
}

int ToInt(std::string_view s) {
  int v = 0;
  std::from_chars(s.data(), s.data() + s.size(), v);
  return v;
}

bool IsSeparator(char c) { return c == '-' || c == '/' || c == '.'; }

// Splits "1985-03-14" (or with '/' or '.') into its three numbers.
bool SplitSeparated(std::string_view s, int& y, int& m, int& d) {
  std::size_t a = 0;
  while (a < s.size() && IsDigit(s[a])) ++a;
  if (a != 4 || a >= s.size() || !IsSeparator(s[a])) return false;
  std::size_t b = a + 1;
  while (b < s.size() && IsDigit(s[b])) ++b;
  if (b - a - 1 < 1 || b - a - 1 > 2 || b >= s.size() || s[b] != s[a]) return false;
  std::string_view dayPart = s.substr(b + 1);
  if (dayPart.size() < 1 || dayPart.size() > 2 || !AllDigits(dayPart)) return false;
  y = ToInt(s.substr(0, a));
  m = ToInt(s.substr(a + 1, b - a - 1));
  d = ToInt(dayPart);
  return true;
}

bool IsLetter(char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }

// 1 to 12 for an English month name or its first three letters; 0 otherwise.
int MonthOfName(std::string_view word) {
  static constexpr std::string_view kMonths[] = {"JANUARY", "FEBRUARY", "MARCH",     "APRIL",   "MAY",      "JUNE",
                                                 "JULY",    "AUGUST",   "SEPTEMBER", "OCTOBER", "NOVEMBER", "DECEMBER"};
  const std::string upper = AsciiUpperCopy(word);
  for (int i = 0; i < 12; ++i) {
    if (upper == kMonths[i] || (upper.size() == 3 && kMonths[i].substr(0, 3) == upper)) return i + 1;
  }
  return 0;
}

// The year rules of every form: 0000, 1604 and the omitted year mean none.
bool Finish(int y, int m, int d, bool hasYear, std::string_view omitYear, ContactDate& out) {
  if (hasYear) {
    std::string_view omit = TrimAscii(omitYear);
    if (y == 0 || y == CONTACT_YEAR_UNKNOWN || (AllDigits(omit) && ToInt(omit) == y)) hasYear = false;
  }
  if (hasYear && (y < 100 || y > 9999)) return false;
  const int checkYear = hasYear ? y : CONTACT_YEAR_UNKNOWN;
  if (m < 1 || m > 12 || d < 1 || d > DaysInMonthOf(checkYear, m)) return false;
  out.year = checkYear;
  out.month = m;
  out.day = d;
  out.yearKnown = hasYear;
  return true;
}

}  // namespace

bool ParseVCardDate(std::string_view text, std::string_view omitYear, ContactDate& out) {
  std::string_view s = TrimAscii(text);
  std::size_t cut = s.find_first_of("Tt ");
  if (cut != std::string_view::npos) s = s.substr(0, cut);
  int y = 0;
  int m = 0;
  int d = 0;
  bool hasYear = true;
  if (s.size() >= 2 && s[0] == '-' && s[1] == '-') {
    std::string_view md = s.substr(2);
    hasYear = false;
    if (md.size() == 4 && AllDigits(md)) {
      m = ToInt(md.substr(0, 2));
      d = ToInt(md.substr(2, 2));
    } else if (md.size() == 5 && md[2] == '-' && AllDigits(md.substr(0, 2)) && AllDigits(md.substr(3, 2))) {
      m = ToInt(md.substr(0, 2));
      d = ToInt(md.substr(3, 2));
    } else {
      return false;
    }
  } else if (s.size() == 8 && AllDigits(s)) {
    y = ToInt(s.substr(0, 4));
    m = ToInt(s.substr(4, 2));
    d = ToInt(s.substr(6, 2));
  } else if (!SplitSeparated(s, y, m, d)) {
    return false;
  }
  return Finish(y, m, d, hasYear, omitYear, out);
}

bool ParseVCardTextDate(std::string_view text, std::string_view omitYear, ContactDate& out) {
  if (ParseVCardDate(text, omitYear, out)) return true;
  // Numbers and words; an ordinal suffix such as "th" stays with its number.
  // Spaces, commas and full stops separate them.
  int month = 0, day = 0, year = 0;
  bool hasYear = false;
  std::size_t i = 0;
  while (i < text.size()) {
    const char c = text[i];
    if (c == ' ' || c == '\t' || c == ',' || c == '.') {
      ++i;
      continue;
    }
    std::size_t j = i;
    while (j < text.size() && IsDigit(text[j])) ++j;
    const std::string_view digits = text.substr(i, j - i);
    std::size_t k = j;
    while (k < text.size() && IsLetter(text[k])) ++k;
    const std::string_view letters = text.substr(j, k - j);
    if (k == i) return false;  // neither a number nor a word
    i = k;
    if (digits.empty()) {
      if (month != 0 || (month = MonthOfName(letters)) == 0) return false;
    } else if (digits.size() <= 2 && day == 0 && !hasYear) {
      static constexpr std::string_view kOrdinals[] = {"", "ST", "ND", "RD", "TH"};
      if (std::find(std::begin(kOrdinals), std::end(kOrdinals), AsciiUpperCopy(letters)) == std::end(kOrdinals)) {
        return false;
      }
      day = ToInt(digits);
    } else if (digits.size() == 4 && letters.empty() && !hasYear && day != 0) {
      year = ToInt(digits);
      hasYear = true;
    } else {
      return false;
    }
  }
  if (month == 0 || day == 0) return false;
  return Finish(year, month, day, hasYear, omitYear, out);
}

bool IsBasicDateForm(std::string_view text) {
  std::string_view s = TrimAscii(text);
  std::size_t cut = s.find_first_of("Tt ");
  if (cut != std::string_view::npos) s = s.substr(0, cut);
  if (s.size() >= 2 && s[0] == '-' && s[1] == '-') return AllDigits(s.substr(2));
  return AllDigits(s);
}

std::string FormatVCardDate(const ContactDate& date, bool basic) {
  char buf[16];
  if (!date.yearKnown) {
    std::snprintf(buf, sizeof buf, basic ? "--%02d%02d" : "--%02d-%02d", date.month, date.day);
  } else {
    std::snprintf(buf, sizeof buf, basic ? "%04d%02d%02d" : "%04d-%02d-%02d", date.year, date.month, date.day);
  }
  return buf;
}

bool ContactDateToVariant(const ContactDate& date, double& out) {
  if (!date.IsSet() || !date.yearKnown) return false;
  SystemTime st;
  st.wYear = static_cast<std::uint16_t>(date.year);
  st.wMonth = static_cast<std::uint16_t>(date.month);
  st.wDay = static_cast<std::uint16_t>(date.day);
  return SystemTimeToVariantTime(st, out);
}

bool VariantToContactDate(double value, ContactDate& out) {
  SystemTime st;
  if (!VariantTimeToSystemTime(value, st)) return false;
  out = ContactDate{st.wYear, st.wMonth, st.wDay, st.wYear != CONTACT_YEAR_UNKNOWN};
  return true;
}

}  // namespace platform
