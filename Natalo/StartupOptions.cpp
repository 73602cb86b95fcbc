#include "Natalo/StartupOptions.h"

#include "platform/contacts/ContactStore.h"

namespace {

constexpr int kSmallestScreenSide = 120;

}  // namespace

StartupOptions ParseStartupOptions(const QStringList& arguments) {
  StartupOptions options;
  options.createContactStore = [] { return std::make_unique<platform::ContactStore>(); };
  options.logonContactStore = [](platform::ContactStore& store) { return store.Logon(); };
  for (const QString& argument : arguments) {
    if (argument == QLatin1String("--exit-after-first-paint")) {
      options.exitAfterFirstPaint = true;
    } else if (argument.startsWith(QLatin1String("--screen="))) {
      const QStringList sides = argument.mid(9).split(QLatin1Char('x'));
      if (sides.size() != 2) continue;
      bool okWidth = false;
      bool okHeight = false;
      const int width = sides[0].toInt(&okWidth);
      const int height = sides[1].toInt(&okHeight);
      if (okWidth && okHeight && width >= kSmallestScreenSide && height >= kSmallestScreenSide) {
        options.screen = QSize(width, height);
      }
    }
  }
  return options;
}
