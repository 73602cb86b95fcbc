#pragma once
// The application's main window: the keypad window with one screen holding the
// entry list and the two soft-key menus. It runs the commands of the menus and
// of the list, saves the entries after each change and asks the engine to
// recompute the reminders; it saves the show and sort settings when it closes.
#include "platform/ui/KeypadScreen.h"
#include "platform/ui/KeypadWindow.h"

#include <functional>
#include <memory>

class AppPictures;
struct ContactScanReport;
class EntryListView;
class FeskItem;
class FeskList;
class MainMenu;

class MainWindow : public keypad::KeypadWindow {
  Q_OBJECT

 public:
  // `list` is the application list; `pictures` the zodiac and status pictures.
  MainWindow(const QString& title, FeskList& list, const AppPictures* pictures, bool bHighRes);
  ~MainWindow() override;

  EntryListView& List() const { return *m_list; }
  MainMenu& Menu() const { return *m_menu; }
  keypad::KeypadScreen& Screen() const { return *m_screen; }

  // What asks the engine to recompute the reminders after a successful save.
  void SetRecalculate(std::function<bool()> recalculate) { m_recalculate = std::move(recalculate); }

  // Runs a menu or window command.
  void RunCommand(int command);
  void UpdateMenuState();
  void UpdateCheckMarks();

  // Offers to import the contacts' dates when the list holds no entry of the
  // user's own and the offer was never made; runs once at the end of start-up.
  void OfferFirstRunScan();

  // Brings the window to the front (a second start of the program asks for it).
  void ComeForward();

 public slots:
  // The reminder utility changed the reminder state of an entry.
  void OnReminderStateChanged();

 signals:
  // The window is closing by the user or the Exit command; the show and sort
  // settings were saved.
  void closedByUser();

 protected:
  void closeEvent(QCloseEvent* event) override;
  // On activation the list takes the focus and the menu follows its selection.
  bool event(QEvent* event) override;

 private:
  // Commands on entries (MainCommands.cpp).
  void NewEntry(std::uint16_t kind);
  void EditEntry();
  void ViewNote();
  void DeleteEntry();
  void ToggleEnabled();
  void ToggleSkipNext();
  void SetIcon();
  void RunEntryDialog(int command);
  void ToggleShowFlag(int command);
  void SetSortKey(std::uint32_t key);
  void SetSortOrder(bool bAscending);
  void OpenHelp();
  // The settings menu; the list follows what its dialogs change.
  void OpenSettings();

  // The contact scan (import/ScanCommand.cpp): 1 when it ran to its end, 0
  // when the options dialog was cancelled or the contacts could not be read.
  int RunContactScan(bool withOptions, ContactScanReport* report);
  // The menu's import: options, scan, report.
  void ImportContacts();

  // Saves the list; tells the user when that failed or a refused file was moved
  // aside. True when saved.
  bool Save(bool removeWhenEmpty = false);
  // Saves and, when that succeeded, recomputes the reminders.
  void SaveAndRecalculate(bool removeWhenEmpty = false);
  // Sort, menu state and repaint after an entry changed in place.
  void AfterEntryChanged();
  int ShowMessage(const QString& text, unsigned flags, QWidget* owner = nullptr);

  QString m_szTitle;
  FeskList& m_entries;
  keypad::KeypadScreen* m_screen;
  EntryListView* m_list;
  std::unique_ptr<MainMenu> m_menu;
  std::function<bool()> m_recalculate;
};
