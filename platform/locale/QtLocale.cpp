#include "platform/locale/QtLocale.h"

#include <QLocale>
#include <QString>

#include "platform/locale/PictureTranslation.h"

namespace platform {
namespace {

// "de_DE.UTF-8@euro" names the locale de_DE; "C" and "POSIX" the C locale.
QLocale ToQLocale(const std::string& name) {
  std::string base = name.substr(0, name.find_first_of(".@"));
  if (base.empty() || base == "C" || base == "POSIX") return QLocale::c();
  return QLocale(QString::fromStdString(base));
}

std::u16string ToU16(const QString& s) {
  return s.toStdU16String();
}

bool QtLanguageEnglishName(const std::string& localeName, std::u16string& out) {
  const QLocale locale = ToQLocale(localeName);
  const QLocale::Language language = locale.language();
  if (language == QLocale::C || language == QLocale::AnyLanguage) return false;
  const QString name = QLocale::languageToString(language);
  if (name.isEmpty()) return false;
  out = ToU16(name);
  return true;
}

LocalePictures QtLocalePictures(const std::string& localeName) {
  const QLocale locale = ToQLocale(localeName);
  LocalePictures p;
  p.shortDate = QtFormatToPicture(ToU16(locale.dateFormat(QLocale::ShortFormat)));
  p.longDate = QtFormatToPicture(ToU16(locale.dateFormat(QLocale::LongFormat)));
  // The short time written with seconds reads like the locale's everyday clock;
  // some long formats spell the units out instead ("H時mm分ss秒").
  p.time = AddSecondsToTimePicture(QtFormatToPicture(ToU16(locale.timeFormat(QLocale::ShortFormat))));
  if (p.time.empty()) p.time = QtFormatToPicture(ToU16(locale.timeFormat(QLocale::LongFormat)));
  return p;
}

CalendarNames QtCalendarNames(const std::string& localeName) {
  const QLocale locale = ToQLocale(localeName);
  CalendarNames n;
  for (int i = 0; i < 7; ++i) {
    const int qtDay = i == 0 ? 7 : i;  // Qt counts Monday 1 .. Sunday 7
    n.longDay[i] = ToU16(locale.dayName(qtDay, QLocale::LongFormat));
    n.shortDay[i] = ToU16(locale.dayName(qtDay, QLocale::ShortFormat));
  }
  for (int i = 0; i < 12; ++i) {
    n.longMonth[i] = ToU16(locale.monthName(i + 1, QLocale::LongFormat));
    n.shortMonth[i] = ToU16(locale.monthName(i + 1, QLocale::ShortFormat));
    n.longMonthStandalone[i] = ToU16(locale.standaloneMonthName(i + 1, QLocale::LongFormat));
    n.shortMonthStandalone[i] = ToU16(locale.standaloneMonthName(i + 1, QLocale::ShortFormat));
  }
  n.am = ToU16(locale.amText());
  n.pm = ToU16(locale.pmText());
  return n;
}

constexpr QtLocaleFunctions kFunctions{&QtLanguageEnglishName, &QtLocalePictures, &QtCalendarNames};

}  // namespace

const QtLocaleFunctions* QtLocale() {
  return &kFunctions;
}

}  // namespace platform

extern "C" __attribute__((visibility("default"))) const platform::QtLocaleFunctions* natalo_qt_locale() {
  return &platform::kFunctions;
}
