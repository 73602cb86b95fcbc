#pragma once
// Rewrites one date of one card and leaves every other byte of the file as it was.
#include <string>
#include <string_view>

#include "platform/contacts/ContactCard.h"

namespace platform {

// Returns the file's bytes with the field's date of `card` (a card read from
// `bytes`) replaced by `date`:
// - the line that holds the date is replaced by a single unfolded line with the
//   same group, name and parameters (VALUE, ENCODING, CHARSET and
//   X-APPLE-OMIT-YEAR are dropped, except that a card keeping its year-less date
//   in the 1604 form keeps X-APPLE-OMIT-YEAR) and the same line break; the date
//   keeps the form the line used (basic "19850314" or extended "1985-03-14");
// - without such a line, one is added before END:VCARD: BDAY, or ANNIVERSARY in
//   a 4.0 card and X-ANNIVERSARY in older ones; 4.0 writes the basic form,
//   2.1 and 3.0 the extended form;
// - a date that is not set removes the line.
// A date without a year is written "--03-14" ("--0314" in the basic form).
std::string ReplaceCardDate(std::string_view bytes, const VCardCard& card, ContactDateField field,
                            const ContactDate& date);

}  // namespace platform
