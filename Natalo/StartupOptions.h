#pragma once
// How the application is started: the phone screen it stands in for, and the
// contact store it connects to (tests replace the connection to make it fail).
#include <QSize>
#include <QStringList>

#include <functional>
#include <memory>
#include <string>

namespace platform {
class ContactStore;
}

struct StartupOptions {
  // The phone's screen in logical pixels; its width selects the picture sets.
  QSize screen{240, 320};
  // Ends the program in order once the list was painted the first time, after
  // printing "first-paint" on standard output (start-up measurements).
  bool exitAfterFirstPaint = false;
  // Empty: the folder of the running program.
  std::string programFolder;
  // The contact store's session object; nullptr means it could not be made.
  std::function<std::unique_ptr<platform::ContactStore>()> createContactStore;
  // Log-on to the session; false means it failed.
  std::function<bool(platform::ContactStore&)> logonContactStore;
};

// Reads "--screen=WIDTHxHEIGHT" and "--exit-after-first-paint"; other arguments
// are ignored. Sizes below 120 pixels or unreadable ones keep the default.
StartupOptions ParseStartupOptions(const QStringList& arguments);
