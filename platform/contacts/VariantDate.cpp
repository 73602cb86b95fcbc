#include "platform/contacts/VariantDate.h"

#include <cmath>

namespace platform {
namespace {

constexpr long long kDay1899_12_30 = -25569;  // DaysFromCivil(1899, 12, 30)
constexpr long long kMsPerDay = 86'400'000;
constexpr double kMinVariant = -657434.0;      // 1 January 100
constexpr double kMaxVariant = 2958466.0;      // 1 January 10000

bool IsValidCivilDate(int year, int month, int day) {
  return day >= 1 && day <= DaysInMonthOf(year, month);
}

int WeekdayOfDays(long long days) {
  // 1 January 1970 was a Thursday.
  return static_cast<int>(((days % 7) + 7 + 4) % 7);
}

}  // namespace

long long DaysFromCivil(int year, int month, int day) {
  const long long y = static_cast<long long>(year) - (month <= 2 ? 1 : 0);
  const long long era = (y >= 0 ? y : y - 399) / 400;
  const long long yoe = y - era * 400;
  const long long mp = (month + 9) % 12;
  const long long doy = (153 * mp + 2) / 5 + day - 1;
  const long long doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
  return era * 146097 + doe - 719468;
}

void CivilFromDays(long long days, int& year, int& month, int& day) {
  days += 719468;
  const long long era = (days >= 0 ? days : days - 146096) / 146097;
  const long long doe = days - era * 146097;
  const long long yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
  const long long doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
  const long long mp = (5 * doy + 2) / 153;
  day = static_cast<int>(doy - (153 * mp + 2) / 5 + 1);
  month = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
  year = static_cast<int>(yoe + era * 400 + (month <= 2 ? 1 : 0));
}

bool SystemTimeToVariantTime(const SystemTime& st, double& out) {
  if (st.wYear < 100 || st.wYear > 9999 || !IsValidCivilDate(st.wYear, st.wMonth, st.wDay)) return false;
  if (st.wHour > 23 || st.wMinute > 59 || st.wSecond > 59 || st.wMilliseconds > 999) return false;
  const long long days = DaysFromCivil(st.wYear, st.wMonth, st.wDay) - kDay1899_12_30;
  const long long ms = ((st.wHour * 60LL + st.wMinute) * 60LL + st.wSecond) * 1000LL + st.wMilliseconds;
  const double fraction = static_cast<double>(ms) / static_cast<double>(kMsPerDay);
  out = days >= 0 ? static_cast<double>(days) + fraction : static_cast<double>(days) - fraction;
  return true;
}

bool VariantTimeToSystemTime(double value, SystemTime& out) {
  if (!std::isfinite(value) || value <= kMinVariant - 1.0 || value >= kMaxVariant) return false;
  long long days = static_cast<long long>(std::trunc(value));
  long long ms = std::llround(std::fabs(value - static_cast<double>(days)) * static_cast<double>(kMsPerDay));
  if (ms >= kMsPerDay) {
    ms -= kMsPerDay;
    ++days;
  }
  int year = 0;
  int month = 0;
  int day = 0;
  CivilFromDays(days + kDay1899_12_30, year, month, day);
  if (year < 100 || year > 9999) return false;
  SystemTime st;
  st.wYear = static_cast<std::uint16_t>(year);
  st.wMonth = static_cast<std::uint16_t>(month);
  st.wDay = static_cast<std::uint16_t>(day);
  st.wDayOfWeek = static_cast<std::uint16_t>(WeekdayOfDays(days + kDay1899_12_30));
  st.wHour = static_cast<std::uint16_t>(ms / 3'600'000);
  st.wMinute = static_cast<std::uint16_t>(ms / 60'000 % 60);
  st.wSecond = static_cast<std::uint16_t>(ms / 1000 % 60);
  st.wMilliseconds = static_cast<std::uint16_t>(ms % 1000);
  out = st;
  return true;
}

}  // namespace platform
