#pragma once
// Localized texts as Qt strings.
#include <QString>

#include <string>
#include <string_view>

#include "common/entries/EntryText.h"
#include "common/text/LocalTable.h"

inline QString ToQString(std::u16string_view text) {
  return QString::fromUtf16(text.data(), static_cast<qsizetype>(text.size()));
}

// An entry's text, kept as Latin-1 or UTF-16.
inline QString EntryQString(const EntryText& text) {
  if (text.IsLatin1()) return QString::fromLatin1(text.Bytes().data(), static_cast<qsizetype>(text.size()));
  return ToQString(text.Units());
}

// The texts of the keys. Callers name each key literally in a Get call, so
// that the build checks that local.dat has it.
inline const LocalTable& LocalText() { return GetLocalTable(); }

// The text, or empty when the key is not defined.
inline QString DefinedText(const std::u16string& text) {
  return text == kUndefinedText ? QString() : ToQString(text);
}
