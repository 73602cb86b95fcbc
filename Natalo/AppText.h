#pragma once
// Localized texts as Qt strings.
#include <QString>

#include <string>

#include "common/text/LocalTable.h"

inline QString ToQString(const std::u16string& text) { return QString::fromStdU16String(text); }

// The texts of the keys. Callers name each key literally in a Get call, so
// that the build checks that local.dat has it.
inline const LocalTable& LocalText() { return GetLocalTable(); }

// The text, or empty when the key is not defined.
inline QString DefinedText(const std::u16string& text) {
  return text == kUndefinedText ? QString() : ToQString(text);
}
