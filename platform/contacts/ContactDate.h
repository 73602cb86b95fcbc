#pragma once
// Calendar dates as vCards write them: with or without a year.
#include <string>
#include <string_view>

namespace platform {

// The year reported for a date that the card gives without a year. It is a
// leap year, so 29 February stays a valid date, and it is the placeholder year
// that some address books already write for such dates.
inline constexpr int CONTACT_YEAR_UNKNOWN = 1604;

struct ContactDate {
  int year = 0;  // CONTACT_YEAR_UNKNOWN when yearKnown is false
  int month = 0;  // 0: no date
  int day = 0;
  bool yearKnown = true;

  bool IsSet() const { return month != 0; }
  friend bool operator==(const ContactDate&, const ContactDate&) = default;
};

// Reads "19850314", "1985-03-14", either with a time part ("1985-03-14T00:00:00Z",
// the time is dropped), and the forms without a year "--0314" and "--03-14".
// The year 0000 and the placeholder year 1604 mean "no year", as does a year
// equal to omitYear (the X-APPLE-OMIT-YEAR parameter, empty when absent).
// Years must lie in 100..9999. False for anything else, out unchanged.
bool ParseVCardDate(std::string_view text, std::string_view omitYear, ContactDate& out);

// A date written as text (a VALUE=text value): the forms above, or a month named
// in English (in full or by its first three letters) and a day in either order,
// optionally followed by a year: "July 4", "4 Jul", "July 4th, 1985". A year is
// read as ParseVCardDate reads it (1604 and 0000 mean "no year").
bool ParseVCardTextDate(std::string_view text, std::string_view omitYear, ContactDate& out);

// True when the value is written in the basic form (digits without separators).
bool IsBasicDateForm(std::string_view text);

// "1985-03-14" or "19850314"; a date without a year as "--03-14" or "--0314".
std::string FormatVCardDate(const ContactDate& date, bool basic);

// Variant day number of a date with a known year (00:00); false otherwise.
bool ContactDateToVariant(const ContactDate& date, double& out);
// The calendar date of a variant day number (its time of day dropped); a date
// in CONTACT_YEAR_UNKNOWN comes back as a date without a year.
bool VariantToContactDate(double value, ContactDate& out);

}  // namespace platform
