#pragma once
// The application process: brings its parts up in a fixed order, runs the
// message loop and takes them down again. Every failure before the message loop
// ends the process without saving anything.
#include <QPointer>
#include <QString>

#include <memory>
#include <optional>
#include <string>

#include "Natalo/EngineBinding.h"
#include "Natalo/StartupOptions.h"
#include "platform/imaging/AppPictures.h"
#include "platform/ui/WaitCursor.h"

class FeskList;
class InstanceServer;
class MainWindow;
namespace platform {
class ContactStore;
class NamedMutex;
}  // namespace platform

// The event-sound functions of the platform, bound at start-up.
using PlayEventSoundFn = int (*)(const std::u16string& event, const void* window);
using StopEventSoundsFn = int (*)(const std::u16string& name);

class NataloApp {
 public:
  // Start() returns this when the application is up and Run() should follow.
  static constexpr int kRunning = 0x7FFFFFFF;

  explicit NataloApp(StartupOptions options);
  ~NataloApp();
  NataloApp(const NataloApp&) = delete;
  NataloApp& operator=(const NataloApp&) = delete;

  // The start-up up to the message loop: kRunning, or the exit code.
  int Start();
  // The message loop and the shutdown; the exit code.
  int Run();

  // The running application, or nullptr.
  static NataloApp* Current();

  const QString& AppName() const { return m_szAppName; }
  bool HighResolution() const { return m_bHighRes; }
  MainWindow* Window() const { return m_pMainWindow.get(); }
  FeskList* List() const { return m_pList.get(); }
  platform::ContactStore* Contacts() const { return m_pContacts.get(); }
  const EngineBinding& Engine() const { return m_engine; }
  PlayEventSoundFn m_pfnPlayEventSound = nullptr;
  StopEventSoundsFn m_pfnStopEventSounds = nullptr;

 private:
  // Shows a box before the texts exist: a fixed English text captioned "Info".
  void FailBeforeTexts(const QString& text);
  // Step 6: false when the process must end because another instance runs.
  bool TakeInstanceRule();
  bool CreateMainWindow();
  // After the first paint: the engine's recalculation and the sync thread.
  void StartBackgroundWork();
  void Shutdown();

  StartupOptions m_options;
  std::optional<keypad::WaitCursor> m_wait;
  std::string m_szProgramFolder;
  std::string m_szDataFolder;  // where the dates and the sync notice live
  QString m_szAppName;
  bool m_bHighRes = true;
  std::unique_ptr<platform::ContactStore> m_pContacts;
  std::unique_ptr<platform::NamedMutex> m_pInstanceMutex;
  std::unique_ptr<InstanceServer> m_pInstanceServer;
  AppPictures m_pictures;
  std::unique_ptr<FeskList> m_pList;
  std::unique_ptr<MainWindow> m_pMainWindow;
  EngineBinding m_engine;
  bool m_bIconLibraryLoaded = false;
  bool m_bBackgroundWorkStarted = false;
};
