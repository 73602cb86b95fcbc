#include "platform/contacts/ContactDate.h"

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
