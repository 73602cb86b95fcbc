#pragma once
// Variant dates: a floating-point count of days since 30 December 1899 00:00,
// whose fraction is the time of day. Before that day the integer part counts
// back while the fraction still counts forward (-1.25 is 29 December 1899 06:00),
// as the phone platform's date type does.
#include "platform/clock/Clock.h"

namespace platform {

// The contact store's value for a date that is not set.
inline constexpr double VARIANT_DATE_NOT_SET = 949998.0;

// Fails for an invalid date or time and for years outside 100..9999.
// The weekday field of the input is ignored.
bool SystemTimeToVariantTime(const SystemTime& st, double& out);
// Fills every field, weekday included, rounding to the nearest millisecond.
// Fails for values outside the years 100..9999 and for NaN or infinity.
bool VariantTimeToSystemTime(double value, SystemTime& out);

// Days from 1 January 1970 of a valid proleptic Gregorian date, and back.
long long DaysFromCivil(int year, int month, int day);
void CivilFromDays(long long days, int& year, int& month, int& day);

}  // namespace platform
