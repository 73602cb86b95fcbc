#include "NataloUtil/UtilProgram.h"

#include <QApplication>
#include <QCloseEvent>
#include <QGuiApplication>
#include <QScreen>
#include <QTimer>

#include <fontconfig/fontconfig.h>
#include <sys/resource.h>

#include <cstdio>
#include <cstdlib>
#include <functional>
#include <thread>
#include <utility>
#include <vector>

#include "NataloUtil/DesktopNotification.h"
#include "NataloUtil/DeviceLock.h"
#include "NataloUtil/ReminderDialog.h"
#include "NataloUtil/ReminderSession.h"
#include "NataloUtil/ReminderSound.h"
#include "NataloUtil/CommandLine.h"
#include "NataloUtil/SnoozeRules.h"
#include "NataloUtil/UtilEngine.h"
#include "NataloUtil/UtilLog.h"
#include "common/entries/EntryPictures.h"
#include "common/entries/TextFormat.h"
#include "common/settings/AppSettings.h"
#include "common/text/LocalTable.h"
#include "common/text/LocalePatterns.h"
#include "common/store/ReminderAnswer.h"
#include "common/store/StorageMove.h"
#include "common/text/ProgramFolder.h"
#include "platform/imaging/AppPictures.h"
#include "platform/imaging/IconLibrary.h"
#include "platform/process/Process.h"
#include "platform/sound/EventSound.h"
#include "platform/sound/SoundPlayer.h"
#include "platform/sound/SoundCategory.h"
#include "platform/sync/NamedEvent.h"
#include "platform/text/Utf.h"
#include "platform/ui/CommandMenu.h"
#include "platform/ui/KeypadTheme.h"
#include "platform/ui/KeypadWindow.h"
#include "platform/ui/MessageBox.h"

namespace {

void Trace(const std::string& line) {
  const char* path = std::getenv(kTraceVariable);
  if (!path || !*path) return;
  if (FILE* file = std::fopen(path, "a")) {
    std::fprintf(file, "%s\n", line.c_str());
    std::fclose(file);
  }
}

// The platform's event sound, with the moment it plays in the trace.
int PlayAndTrace(const std::u16string& event, const void* window) {
  const int result = platform::PlayEventSound(event, window);
  Trace("sound " + std::to_string(result) + " " + std::to_string(platform::GetLocalFileTime()));
  return result;
}

// How often the window looks for an answer from another program.
constexpr int kAnswerPollMs = 100;

void Recalculate(const std::string& folder) {
  UtilEngine engine;
  engine.Load(folder);
  engine.CallCalculateEvents();
  engine.Free();
}

// The utility's own window ("_QV_FESK_U"): a phone-shaped window in the middle
// of the screen, above other windows. A close request from the window manager
// dismisses the reminder.
class UtilMainWindow : public keypad::KeypadWindow {
 public:
  UtilMainWindow() {
    setObjectName(QStringLiteral("_QV_FESK_U"));
    setWindowFlag(Qt::WindowStaysOnTopHint);
    SetMainScreen(new keypad::KeypadScreen);
  }
  QPointer<ReminderDialog> m_dialog;
  bool m_bDestroying = false;

 protected:
  void closeEvent(QCloseEvent* event) override {
    if (!m_bDestroying && m_dialog) {
      event->ignore();
      m_dialog->RunCommand(kCmdCancel);
      return;
    }
    keypad::KeypadWindow::closeEvent(event);
  }
};

// Settles the active reminder's snooze state and starts its sound. The sound
// takes longer to start than the window to paint, so it starts before the
// window is made; the window's dialog finds it started.
void StartReminderSound(ReminderSession& session, ReminderSoundPlayer& sound) {
  FeskItem* item = session.ActiveReminder();
  if (!item) return;
  session.CheckFirstTimeReminder(*item);
  // The sound's own values are chosen and written beside the window as well,
  // from copies of the entry and the settings.
  const std::shared_ptr<const FeskItem> entry = CopyEntry(*item);
  const AppSettings settings = g_settings;
  const auto writeSoundCategory = [entry, settings] {
    platform::EnsureSystemSoundDefaults();
    WriteReminderSoundCategory(ChooseReminderSound(*entry, settings));
  };
  if (IsPhoneCallActive()) {
    writeSoundCategory();
  } else {
    sound.StartSoundAhead(nullptr, writeSoundCategory);
  }
}

class ReminderRun {
 public:
  ReminderRun(ReminderSession& session, bool missed, ReminderSoundPlayer& sound)
      : m_session(session), m_bMissed(missed), m_sound(sound) {}

  // Prepares the texts of the active reminder.
  bool GetNextReminder(bool bHighRes) {
    FeskItem* item = m_session.ActiveReminder();
    if (!item) {
      m_session.CloseQueue();
      return false;
    }
    m_view.texts = BuildReminderTexts(*item, g_settings.g_dwDisplayNames, g_settings.g_dwZodiac, Today());
    m_view.daysToEvent = DaysToEvent(*item);
    m_view.missed = m_bMissed;
    m_view.picture = LoadSingleIcon(m_session.ProgramFolder(), item->m_dwIcon);
    if (m_view.texts.showZodiac) {
      m_pictures.Load(bHighRes);
      if (const QImage* zodiac = m_pictures.Zodiac(m_view.texts.zodiacSign, false)) m_view.zodiac = *zodiac;
    }
    m_window.setWindowTitle(QString::fromStdU16String(m_view.texts.title));
    return true;
  }

  // Sends the desktop notification unless the user chose the window only,
  // and shows the window unless the user chose the notification only and
  // the server took it. The dialog runs either way: its sound and its
  // 60-second timer work for a hidden window too. A window shown whatever
  // the server answers does not wait for it: the notification follows the
  // window's first paint.
  void Show() {
    if (g_settings.g_dwShowRemindersAs == kShowNotificationOnly) {
      if (!SendNotification()) ShowWindow();
    } else {
      ShowWindow();
      AfterFirstPaint([this] {
        if (m_session.ActiveReminder()) SendNotification();
      });
    }
    QTimer::singleShot(0, &m_window, [this] { ActivateDialog(); });
  }

  // Work the window does not wait for: runs once, in the order given, after
  // the window's first paint, or as soon as the dialog runs when the window
  // is not shown.
  void AfterFirstPaint(std::function<void()> work) { m_afterFirstPaint.push_back(std::move(work)); }

 private:
  QString Text(std::u16string_view key) const { return QString::fromStdU16String(GetLocalTable().Get(key)); }

  void RunAfterFirstPaint() {
    m_afterFirstPaintDone = true;
    for (const std::function<void()>& work : std::exchange(m_afterFirstPaint, {})) work();
  }

  bool SendNotification() {
    if (g_settings.g_dwShowRemindersAs == kShowWindowOnly) return false;
    const FeskItem* item = m_session.ActiveReminder();
    const ReminderTexts& t = m_view.texts;
    NotificationContent content;
    content.summary = QString::fromStdU16String(t.title);
    if (m_view.missed) content.lines << Text(u"DLG_UTIL_MISSED");
    for (const std::u16string* line : {&t.line1, &t.line2, &t.line3}) {
      if (!line->empty()) content.lines << QString::fromStdU16String(*line);
    }
    content.picture = m_view.picture;
    content.dismissLabel = Text(u"BTN_UTIL_DISMISS");
    content.snoozeLabel = QString::fromStdU16String(
        FormatText(GetLocalTable().Get(u"BTN_UTIL_NOTIFY_SNOOZE"), {GetLocalTable().Get(u"BTN_UTIL_SNOOZE_2")}));
    content.howToAnswer = Text(u"DLG_UTIL_NOTIFY_HOW");
    m_notification = std::make_unique<DesktopNotification>();
    if (!m_notification->Show(content, DesktopNotification::StoredId(item->m_nUID))) {
      Trace("notification failed");
      m_notification.reset();
      return false;
    }
    DesktopNotification::StoreId(item->m_nUID, m_notification->Id());
    Trace("notified " + std::to_string(item->m_nUID) + " " + std::to_string(m_notification->Id()));
    QObject::connect(m_notification.get(), &DesktopNotification::actionInvoked, &m_window,
                     [this](const QString& key) { OnNotificationAction(key); });
    // Gone without an answer (expired, closed by the server, or the server
    // left): the window is the way to answer now.
    QObject::connect(m_notification.get(), &DesktopNotification::closed, &m_window, [this](uint reason) {
      Trace("notification closed " + std::to_string(reason));
      if (!m_window.isVisible()) ShowWindow();
    });
    return true;
  }

  // An action of the notification runs the window's own command, as its soft
  // key or menu would; the default action brings the window up.
  void OnNotificationAction(const QString& key) {
    Trace("action " + key.toStdString());
    if (key == QLatin1String(kActionDefault)) {
      if (!m_window.isVisible()) ShowWindow();
      if (m_window.m_dialog) m_window.m_dialog->BringToFront();
      return;
    }
    RunOnDialog(key == QLatin1String(kActionDismiss) ? kCmdDismiss : kDefaultSnoozeCommand);
  }

  // The dialog starts from the event loop; an answer that came before it
  // waits for it.
  void RunOnDialog(int command) {
    if (m_window.m_dialog) {
      m_window.m_dialog->RunCommand(command);
    } else if (m_session.ActiveReminder()) {
      QTimer::singleShot(20, &m_window, [this, command] { RunOnDialog(command); });
    }
  }

  void ShowWindow() {
    // Waking the display starts a helper program: the first time, it waits
    // for the window's first paint rather than compete with it.
    if (m_afterFirstPaintDone) {
      WakeDisplay();
    } else {
      AfterFirstPaint(&WakeDisplay);
    }
    const QRect screen = QGuiApplication::primaryScreen() ? QGuiApplication::primaryScreen()->availableGeometry() : QRect();
    if (screen.isValid()) m_window.move(screen.center() - QPoint(m_window.width() / 2, m_window.height() / 2));
    m_window.show();
    m_window.raise();
    m_window.activateWindow();
    QApplication::alert(&m_window);
  }

  // The loop of the utility's window: run the dialog while a reminder is
  // active; with none left, close the window and end.
  void ActivateDialog() {
    FeskItem* item = m_session.ActiveReminder();
    if (!item) {
      m_window.m_bDestroying = true;
      m_window.close();
      QApplication::quit();
      return;
    }
    const std::int32_t uid = item->m_nUID;
    ReminderDialog dialog(m_session, m_sound, m_view, &m_window);
    m_window.m_dialog = &dialog;
    const bool missed = m_bMissed;
    QObject::connect(&dialog, &ReminderDialog::firstPainted, &dialog, [this, uid, missed, &dialog] {
      Trace("shown " + std::to_string(uid) + " " + std::to_string(platform::GetLocalFileTime()) +
            (missed ? " missed" : ""));
      RunTestCommands(dialog);
      RunAfterFirstPaint();
    });
    if (!m_window.isVisible()) QTimer::singleShot(0, &dialog, [this] { RunAfterFirstPaint(); });
    // The command line's snooze and dismiss of this entry, taken as the
    // notification's actions are.
    auto snooze = platform::NamedEvent::Create(ReminderAnswerEventName(uid, ReminderAnswer::Snooze));
    auto dismiss = platform::NamedEvent::Create(ReminderAnswerEventName(uid, ReminderAnswer::Dismiss));
    bool answeredFromOutside = false;
    QTimer answers;
    answers.setInterval(kAnswerPollMs);
    QObject::connect(&answers, &QTimer::timeout, &dialog, [&] {
      for (auto* event : {dismiss.get(), snooze.get()}) {
        if (event == nullptr || event->Wait(0) != platform::WaitResult::Acquired) continue;
        Trace("answered " + std::to_string(uid));
        answeredFromOutside = true;
        dialog.RunCommand(event == dismiss.get() ? kCmdDismiss : kDefaultSnoozeCommand);
        return;
      }
    });
    answers.start();
    dialog.Run();
    answers.stop();
    // Answered before the window painted: the notification is not sent.
    RunAfterFirstPaint();
    // From here on no other program finds this reminder shown.
    snooze.reset();
    dismiss.reset();
    m_window.m_dialog = nullptr;
    // Answered in the window or from the notification: the notification goes.
    if (m_notification) m_notification->Close();
    if (answeredFromOutside) {
      if (const auto answered = platform::NamedEvent::Open(ReminderAnsweredEventName(uid))) answered->Set();
    }
    QTimer::singleShot(0, &m_window, [this] { ActivateDialog(); });
  }

  static void RunTestCommands(ReminderDialog& dialog) {
    const char* commands = std::getenv(kCommandsVariable);
    if (!commands || !*commands) return;
    const std::string text = commands;
    const char* step = std::getenv(kCommandDelayVariable);
    const int pause = step ? static_cast<int>(ParseDecimal(step)) : 100;
    std::size_t start = 0;
    int delay = 0;
    while (start <= text.size()) {
      const std::size_t comma = text.find(',', start);
      const int command = static_cast<int>(ParseDecimal(text.substr(start, comma == std::string::npos ? std::string::npos : comma - start)));
      delay += pause;
      QPointer<ReminderDialog> target(&dialog);
      // Menu commands go through the menu, as a user's choice does.
      QTimer::singleShot(delay, &dialog, [target, command] {
        if (!target) return;
        if (target->Menu()->Find(command)) {
          target->Menu()->Trigger(command);
        } else {
          target->RunCommand(command);
        }
      });
      if (comma == std::string::npos) break;
      start = comma + 1;
    }
  }

  ReminderSession& m_session;
  bool m_bMissed;
  ReminderSoundPlayer& m_sound;
  ReminderView m_view;
  AppPictures m_pictures;
  UtilMainWindow m_window;
  std::unique_ptr<DesktopNotification> m_notification;
  std::vector<std::function<void()>> m_afterFirstPaint;
  bool m_afterFirstPaintDone = false;
};

int RunReminder(int argc, char** argv, const std::string& folder, const std::string& line) {
  // The sound system and the font configuration load on their own threads
  // from the start, while the reminder is read and the window is prepared.
  std::jthread soundSystem([] { platform::SoundPlayer::Prepare(); });
  std::jthread fontConfiguration([] { FcInit(); });
  ReminderSession session(folder);
  UtilEngine engine;
  // 1. Pick the reminder.
  if (!session.GetData(line)) {
    Recalculate(folder);
    Trace("nothing to show");
    return 0;
  }
  // 2. Early or too old? A reminder started late by the notification service
  // (the machine was off or asleep) is still shown while its day has not passed.
  bool missed = false;
  bool show = CheckEarlyFired(session.FireTime());
  if (!show) {
    const char* late = std::getenv(kMissedReminderVariable);
    if (late && std::string(late) == "1" && IsMissedReminderStillDue(*session.ActiveReminder(), session.FireTime(), Today())) {
      show = true;
      missed = true;
    }
  }
  // 3. The engine stays loaded until the end. A reminder on its own loads it
  // after the window's first paint.
  bool engineLoaded = false;
  const auto loadEngine = [&] {
    if (!std::exchange(engineLoaded, true)) engine.Load(folder);
  };
  if (!show || session.RecalcNeeded()) loadEngine();
  if (session.RecalcNeeded()) engine.CallCalculateEvents();
  // 4. Too old: leave it to the engine.
  if (!show) {
    WriteLog("Reminder too old");
    Trace("too old");
    engine.CallCalculateEvents();
    session.CloseQueue();
    engine.Free();
    return 0;
  }
  // 5. The phone's battery notice does not exist here. 6. The sound service is linked in.
  // 7. Never during a call.
  WaitWhilePhoneCallActive([](int ms) { SleepMilliseconds(ms); });
  // 8. Texts. None of the steps up to the sound needs the application object,
  // and the sound takes longest to start: it starts before the application
  // is made.
  const bool textsLoaded = GetLocalTable().Load();
  ReminderSoundPlayer sound(&PlayAndTrace, &platform::StopEventSounds, true);
  if (textsLoaded) {
    InitLocalePatterns();
    Trace("texts " + std::to_string(platform::GetLocalFileTime()));
    // 12. Settings, lock and sound.
    LoadAllSettings();
    DisplayWakeKeySender keys;
    CheckLockUnlock(ReadLockState(), g_settings.g_dwNeedUnlock, g_settings.g_szDevicePassword, keys);
    StartReminderSound(session, sound);
  }
  QApplication application(argc, argv);
  // The compositor's application id (Wayland) names the utility's own desktop
  // entry, natalo-reminder.desktop, for its name and icon.
  QGuiApplication::setDesktopFileName(QStringLiteral("natalo-reminder"));
  keypad::ApplyMessageBoxEnvironment();
  keypad::InstallFontSubstitutions();
  if (!textsLoaded) {
    keypad::ShowMessageBox(nullptr, QStringLiteral("Can't find resource file!"), QStringLiteral("Info"),
                           keypad::MB_OK | keypad::MB_ICONSTOP);
    session.CloseQueue();
    engine.Free();
    return 0;
  }
  // The window's fonts come from the configuration read on its own thread.
  fontConfiguration.join();
  // 10. The window; its texts and pictures.
  ReminderRun run(session, missed, sound);
  const bool bHighRes = keypad::kDefaultScreenSize.width() > keypad::kHighResolutionWidth;
  SetHighResolutionScreen(bHighRes);
  if (run.GetNextReminder(bHighRes)) {
    // The notification that started this process is used up, and the engine
    // arms only the next moment: arm it as soon as the window is up, so a
    // reminder falling due while this window stays open starts its utility,
    // which finds the queue taken and puts it back, instead of passing unseen.
    run.Show();
    run.AfterFirstPaint([&] {
      loadEngine();
      engine.CallCalculateEvents();
    });
  }
  // 13. Until the window is gone.
  if (session.ActiveReminder()) QApplication::exec();
  // 14. End.
  session.CloseQueue();
  loadEngine();
  engine.CallCalculateEvents();
  engine.Free();
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  Trace("done " + std::to_string(usage.ru_maxrss));
  return 0;
}

}  // namespace

int RunNataloUtil(int argc, char** argv) {
  // The phone switched to full power first; here the display is woken when
  // the reminder window opens, and a recalculation leaves it alone.
  const std::string folder = platform::ToUtf8(GetProgramFolder());
  std::string message;
  const std::string dataFolder = PrepareDataFolder(folder, message);
  if (!dataFolder.empty()) OpenUtilLog(dataFolder);
  ReportDataFolderMessage(message);
  // Without the data folder there are no dates to remind of; the armed
  // notifications stay for a later start.
  if (dataFolder.empty()) return 0;
  const std::string line = platform::CommandLineOf(argc, argv);
  WriteLog("Started with \"%s\"", line.c_str());
  Trace("start " + std::to_string(platform::GetLocalFileTime()));
  if (IsRecalculationCommand(line)) {
    Recalculate(folder);
    return 0;
  }
  return RunReminder(argc, argv, folder, line);
}
