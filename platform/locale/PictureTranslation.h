#pragma once
// Turns Qt's date and time formats into the picture syntax of UserLocale.h.
#include <string>
#include <string_view>

namespace platform {

// Qt writes the AM/PM marker as AP, ap, A or a (tt here), means the 24-hour
// clock by h when no marker is present (H here), appends a time zone t (dropped
// here, with the brackets and spaces around it) and milliseconds z (dropped).
// Literal letters and non-ASCII text are quoted; punctuation stays as it is.
std::u16string QtFormatToPicture(std::u16string_view qtFormat);

// A time picture with a seconds field: unchanged when it has one, else ":ss"
// (with the separator in front of the minutes) after the minutes. Empty when the
// minutes are not preceded by a one-character separator.
std::u16string AddSecondsToTimePicture(std::u16string_view picture);

}  // namespace platform
