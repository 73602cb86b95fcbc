#pragma once
// Qt's locale tables, for the locales that BuiltInLocales.h does not hold.
// QtLocale() is defined twice: by QtLocale.cpp, which links Qt into the
// program, and by QtLocaleOnDemand.cpp, which loads the same code as the module
// NataloLocale.so from the program's folder on the first call, so that a
// program that links it ahead of platform_locale starts without Qt.
#include <string>

#include "platform/locale/UserLocale.h"

namespace platform {

struct QtLocaleFunctions {
  bool (*languageEnglishName)(const std::string& localeName, std::u16string& out);
  LocalePictures (*localePictures)(const std::string& localeName);
  CalendarNames (*calendarNames)(const std::string& localeName);
};

// Null when the module cannot be loaded.
const QtLocaleFunctions* QtLocale();

}  // namespace platform

// The module's one exported symbol.
extern "C" const platform::QtLocaleFunctions* natalo_qt_locale();
