#pragma once
// What the contact store reads from one vCard: names, dates and the UID.
#include <string>

#include "platform/contacts/ContactDate.h"
#include "platform/contacts/VCardReader.h"

namespace platform {

enum class ContactDateField { Birthday, Anniversary };

struct ContactFields {
  std::u16string firstName;  // empty when the card has none
  std::u16string lastName;
  ContactDate birthday;  // IsSet() false when absent or unreadable
  ContactDate anniversary;
  std::string uid;  // empty when the card has none
};

// Names come from N (given name, family name; several values of one component
// joined by a space). When N is missing or both parts are empty, FN is split at
// its last space: the words before it are the first name, the last word the last
// name (a single word is a first name).
// The birthday is the first BDAY line, even when a later one would read better.
// The anniversary is the first of ANNIVERSARY, X-ANNIVERSARY,
// X-EVOLUTION-ANNIVERSARY, X-MS-ANNIVERSARY, and X-ABDATE in a group whose
// X-ABLABEL is "_$!<Anniversary>!$_" (or "Anniversary"), in that order of preference.
// A date given as text (VALUE=text) is read when it names a month and a day.
ContactFields ExtractContactFields(const VCardCard& card);

// The card's UID as written, escapes removed and blanks trimmed; empty without one.
std::string CardUid(const VCardCard& card);

// The line that holds the field's date as described above; nullptr when none.
const VCardProperty* FindDateProperty(const VCardCard& card, ContactDateField field);

// The parameter that names the year written for a date without one: the
// X-APPLE-OMIT-YEAR of Apple's address books, or OMIT-YEAR with any prefix.
bool IsOmitYearParam(const VCardParam& param);
const VCardParam* FindOmitYearParam(const VCardProperty& prop);

// The property's value with quoted-printable and its character set decoded;
// escapes are kept.
std::u16string DecodePropertyText(const VCardProperty& prop);

}  // namespace platform
