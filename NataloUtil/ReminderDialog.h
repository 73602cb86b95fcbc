#pragma once
// The reminder window: who or what the reminder is about, the entry's picture,
// for birthdays the zodiac sign, the note, and the soft keys Dismiss and a
// menu of snooze lengths with Mute/Play. Every way out snoozes or dismisses.
#include <QElapsedTimer>
#include <QImage>
#include <QPointer>
#include <QTimer>

#include <memory>

#include "NataloUtil/ReminderTexts.h"
#include "platform/ui/FullScreenDialog.h"

class QLabel;
class QPlainTextEdit;
class QWidget;
class ReminderSession;
class ReminderSoundPlayer;
namespace keypad {
class CommandMenu;
}
namespace platform {
class RegistryWatch;
}

inline constexpr int kSoundTimerMs = 60'000;
// Keys pressed this long after the window opens are still ignored: they were
// meant for the program that had the focus before.
inline constexpr int kKeyGraceMs = 1000;
// Bringing the window to the front is tried this often, this far apart.
inline constexpr int kForegroundAttempts = 21;
inline constexpr int kForegroundRetryMs = 200;

struct ReminderView {
  ReminderTexts texts;
  QImage picture;  // 48 by 48
  QImage zodiac;   // 24 (large screen) or 16 pixels
  int daysToEvent = 0;
  bool missed = false;
};

class ReminderDialog : public keypad::FullScreenDialog {
  Q_OBJECT

 public:
  ReminderDialog(ReminderSession& session, ReminderSoundPlayer& sound, ReminderView view, keypad::KeypadWindow* host);
  ~ReminderDialog() override;

  // Runs the dialog: Open() and then the dialog's own loop.
  int Run();
  // The opening steps: waits while a call is active, lays out, watches the
  // lock and phone state, then starts the sound and its timer.
  void Open();

  // Commands of the soft keys and the menu, and 2 (dismiss).
  void RunCommand(int command);
  // The sound timer ran out.
  void OnSoundTimer();
  // Lock state (1524) and phone state (1527) changed.
  void OnLockStateChanged();
  void OnPhoneStateChanged();
  // The dialog came to the front.
  void OnActivated();
  // Brings the window to the front, and again every kForegroundRetryMs until
  // it is the active window or kForegroundAttempts tries were made.
  void BringToFront();

  keypad::CommandMenu* Menu() const { return m_menu; }
  bool ZodiacShown() const;
  bool NoteShown() const;
  bool SoundOn() const { return m_bSoundOn; }
  bool SoundTimerActive() const { return m_soundTimer.isActive(); }
  bool CallActive() const { return m_bCallActive; }

 signals:
  void firstPainted();

 protected:
  void OnCommand(int command) override { RunCommand(command); }
  // Escape and Backspace do nothing here: a key meant for another program
  // must not dismiss a reminder unseen. Dismiss is the soft key's.
  void OnBack() override {}
  void OnScreenResized(const QSize& size) override;
  bool eventFilter(QObject* watched, QEvent* event) override;
  bool event(QEvent* event) override;

 private:
  void BuildControls();
  void LayOut();
  void StartSoundTimer();
  void End();

  ReminderSession& m_session;
  ReminderSoundPlayer& m_sound;
  ReminderView m_view;
  keypad::CommandMenu* m_menu = nullptr;
  QLabel* m_missed = nullptr;
  QLabel* m_picture = nullptr;
  QLabel* m_line1 = nullptr;
  QLabel* m_line2 = nullptr;
  QWidget* m_zodiacRow = nullptr;
  QLabel* m_zodiacHead = nullptr;
  QLabel* m_zodiacPicture = nullptr;
  QLabel* m_line3 = nullptr;
  QPlainTextEdit* m_note = nullptr;
  QTimer m_soundTimer;
  QTimer m_stateTimer;
  QTimer m_foregroundTimer;
  int m_foregroundTries = 0;
  QElapsedTimer m_openedAt;
  std::unique_ptr<platform::RegistryWatch> m_lockWatch;
  std::unique_ptr<platform::RegistryWatch> m_phoneWatch;
  bool m_bSoundOn = false;
  bool m_bClosing = false;
  bool m_bCallActive = false;
  bool m_bPainted = false;
};
