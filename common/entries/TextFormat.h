#pragma once
// Fills the "%s" places of a localized format text with texts, in order.
#include <initializer_list>
#include <string>
#include <string_view>

// "%%" gives one "%"; a "%s" without an argument left gives nothing; any other
// "%" sequence is copied as written.
std::u16string FormatText(std::u16string_view format, std::initializer_list<std::u16string_view> args);

// The decimal text of a number.
std::u16string DecimalText(long long value);

// The text without leading and trailing spaces (U+0020 only), as contact names are taken.
std::u16string TrimSpaces(const std::u16string& text);
