// The application Natalo: the user's list of birthdays, anniversaries and other dates.
#include <QApplication>

#include "Natalo/NataloApp.h"
#include "platform/ui/MessageBox.h"

int main(int argc, char** argv) {
  QApplication application(argc, argv);
  keypad::ApplyMessageBoxEnvironment();
  NataloApp app(ParseStartupOptions(QApplication::arguments()));
  const int code = app.Start();
  if (code != NataloApp::kRunning) return code;
  return app.Run();
}
