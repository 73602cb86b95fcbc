// The application Natalo: the user's list of birthdays, anniversaries and other dates.
#include <QApplication>

#include "Natalo/NataloApp.h"
#include "platform/ui/MessageBox.h"

int main(int argc, char** argv) {
  QApplication application(argc, argv);
  // The compositor's application id (Wayland): the installed natalo.desktop.
  QGuiApplication::setDesktopFileName(QStringLiteral("natalo"));
  keypad::ApplyMessageBoxEnvironment();
  NataloApp app(ParseStartupOptions(QApplication::arguments()));
  const int code = app.Start();
  if (code != NataloApp::kRunning) return code;
  return app.Run();
}
