#pragma once
// Rewrites one date of one card and leaves every other byte of the file as it was.
#include <string>
#include <string_view>

#include "platform/contacts/ContactCard.h"

namespace platform {

// Returns the file's bytes with the field's date of `card` (a card read from
// `bytes`) replaced by `date`:
// - the line that holds the date is replaced by a single unfolded line with the
//   same group, name and parameters (VALUE, ENCODING, CHARSET and the omit-year
//   parameter are dropped, except that a line that wrote its year-less date with
//   a placeholder year, such as 1604, keeps that year and the parameter for a
//   date without a year) and the same line break; the date keeps the form the
//   line used (basic "19850314" or extended "1985-03-14"), except that a date
//   without a year in a 4.0 card is always written in the basic "--0314";
// - without such a line, one is added before END:VCARD: BDAY, or ANNIVERSARY in
//   a 4.0 card and X-ANNIVERSARY in older ones; 4.0 writes the basic form,
//   2.1 and 3.0 the extended form;
// - a date that is not set removes the line.
// A date without a year is written "--03-14" ("--0314" in the basic form), or
// with the line's placeholder year as said above.
std::string ReplaceCardDate(std::string_view bytes, const VCardCard& card, ContactDateField field,
                            const ContactDate& date);

}  // namespace platform
