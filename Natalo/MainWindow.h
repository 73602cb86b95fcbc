#pragma once
// The application's main window: the keypad window with one screen holding the
// entry list and the two soft-key menus. It runs the commands it knows and
// saves the show and sort settings when it closes.
#include "platform/ui/KeypadScreen.h"
#include "platform/ui/KeypadWindow.h"

#include <memory>

class AppPictures;
class EntryListView;
class MainMenu;
class StorageList;

class MainWindow : public keypad::KeypadWindow {
  Q_OBJECT

 public:
  // `list` is the application list; `pictures` the zodiac and status pictures.
  MainWindow(const QString& title, StorageList& list, const AppPictures* pictures, bool bHighRes);
  ~MainWindow() override;

  EntryListView& List() const { return *m_list; }
  MainMenu& Menu() const { return *m_menu; }
  keypad::KeypadScreen& Screen() const { return *m_screen; }

  // Runs a menu or window command.
  void RunCommand(int command);
  void UpdateMenuState();
  void UpdateCheckMarks();

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
  keypad::KeypadScreen* m_screen;
  EntryListView* m_list;
  std::unique_ptr<MainMenu> m_menu;
};
