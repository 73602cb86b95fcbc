#pragma once
// Localized texts as Qt strings.
#include <QString>

#include <string>
#include <string_view>

#include "common/text/LocalTable.h"

inline QString ToQString(std::u16string_view text) {
  return QString::fromUtf16(text.data(), static_cast<qsizetype>(text.size()));
}

// The texts of the keys. Callers name each key literally in a Get call, so
// that the build checks that local.dat has it.
inline const LocalTable& LocalText() { return GetLocalTable(); }

// The text, or empty when the key is not defined.
inline QString DefinedText(const std::u16string& text) {
  return text == kUndefinedText ? QString() : ToQString(text);
}
