#include "Natalo/MainMenu.h"

#include "Natalo/AppText.h"
#include "Natalo/Commands.h"
#include "Natalo/EntryCommandDialogs.h"
#include "common/entries/FeskItem.h"
#include "common/settings/AppSettings.h"
#include "platform/ui/SoftKeyBar.h"

MainMenu::MainMenu(QWidget* parent)
    : m_action(new keypad::CommandMenu(parent)), m_general(new keypad::CommandMenu(parent)) {
  const LocalTable& t = LocalText();

  keypad::CommandMenu* newMenu = m_action->AddSubMenu(ToQString(t.Get(u"MENU_NEW")));
  newMenu->AddCommand(cmd::kNewBirthday, ToQString(t.Get(u"MENU_NEW_BIRTHDAY")));
  newMenu->AddCommand(cmd::kNewAnniversary, ToQString(t.Get(u"MENU_NEW_ANNIVERSARY")));
  newMenu->AddCommand(cmd::kNewOtherDate, ToQString(t.Get(u"MENU_NEW_OTHERDATE")));
  m_action->AddSeparatorLine();
  m_action->AddCommand(cmd::kEdit, ToQString(t.Get(u"MENU_EDIT")));
  m_action->AddCommand(cmd::kViewNote, ToQString(t.Get(u"MENU_VIEWNOTE")));
  m_action->AddCommand(cmd::kDelete, ToQString(t.Get(u"MENU_DELETE")));
  m_action->AddCommand(cmd::kDisableActivate, ToQString(t.Get(u"MENU_DISABLE")));
  m_action->AddCommand(cmd::kSkipNext, ToQString(t.Get(u"MENU_SKIP_NEXT")));
  m_action->AddSeparatorLine();
  keypad::CommandMenu* more = m_action->AddSubMenu(ToQString(t.Get(u"MENU_MORE")));
  more->AddCommand(cmd::kSetIcon, ToQString(t.Get(u"MENU_SET_ICON")));
  more->AddCommand(cmd::kSetReminder, ToQString(t.Get(u"MENU_SET_REMINDER")));
  more->AddCommand(cmd::kSetSound, ToQString(t.Get(u"MENU_SET_SOUND")));

  keypad::CommandMenu* show = m_general->AddSubMenu(ToQString(t.Get(u"MENU_SHOW")));
  show->AddCommand(cmd::kShowBirthdays, ToQString(t.Get(u"MENU_SHOW_BIRTHDAYS")));
  show->AddCommand(cmd::kShowAnniversaries, ToQString(t.Get(u"MENU_SHOW_ANNIVERSARIES")));
  show->AddCommand(cmd::kShowOtherDates, ToQString(t.Get(u"MENU_SHOW_OTHERDATES")));
  show->AddSeparatorLine();
  show->AddCommand(cmd::kShowStars, ToQString(t.Get(u"MENU_SHOW_STARS")));
  keypad::CommandMenu* sort = m_general->AddSubMenu(ToQString(t.Get(u"MENU_SORT")));
  sort->AddCommand(cmd::kSortByOccurrence, ToQString(t.Get(u"MENU_SORT_BYOCURRENCEORDER")));
  sort->AddCommand(cmd::kSortByDayOfYear, ToQString(t.Get(u"MENU_SORT_BYDAYOFTHEYEAR")));
  sort->AddCommand(cmd::kSortByAge, ToQString(t.Get(u"MENU_SORT_BYAGE")));
  sort->AddCommand(cmd::kSortByType, ToQString(t.Get(u"MENU_SORT_BYTYPE")));
  sort->AddCommand(cmd::kSortByName, ToQString(t.Get(u"MENU_SORT_BYNAME")));
  // Sort key 5 has a text but no item; the command exists without one.
  sort->AddSeparatorLine();
  sort->AddCommand(cmd::kSortAscending, ToQString(t.Get(u"MENU_SORT_ASCENDING")));
  sort->AddCommand(cmd::kSortDescending, ToQString(t.Get(u"MENU_SORT_DESCENDING")));
  m_general->AddSeparatorLine();
  m_general->AddCommand(cmd::kScanContacts, ToQString(t.Get(u"MENU_SCANCONTACTS")));
  m_general->AddSeparatorLine();
  m_general->AddCommand(cmd::kSettings, ToQString(t.Get(u"MENU_SETTINGS")));
  m_general->AddCommand(cmd::kAbout, ToQString(t.Get(u"MENU_ABOUT")));
  m_general->AddCommand(cmd::kHelp, ToQString(t.Get(u"MENU_HELP")));
  m_general->AddCommand(cmd::kExit, ToQString(t.Get(u"MENU_EXIT")));
}

void MainMenu::Attach(keypad::SoftKeyBar& keys) {
  const LocalTable& t = LocalText();
  keys.SetMenuKey(keypad::SoftKeyBar::Left, ToQString(t.Get(u"BTN_ACTION")), m_action);
  keys.SetMenuKey(keypad::SoftKeyBar::Right, ToQString(t.Get(u"BTN_MENU")), m_general);
}

void MainMenu::UpdateMenuState(const FeskItem* selected) {
  const LocalTable& t = LocalText();
  keypad::CommandMenu& a = *m_action;
  const EntryCommandDialogs& dialogs = GetEntryCommandDialogs();
  const bool own = selected != nullptr && !selected->IsStar();
  a.SetEnabled(cmd::kEdit, own);
  a.SetEnabled(cmd::kDelete, own);
  a.SetEnabled(cmd::kDisableActivate, own);
  // A star's note can be read, so View note needs only a selected entry.
  a.SetEnabled(cmd::kViewNote, selected != nullptr);
  // A dialog that is not there greys its item rather than doing nothing.
  a.SetEnabled(cmd::kSetIcon, own && dialogs.pfnIconPicker != nullptr);
  a.SetEnabled(cmd::kSetReminder, own && dialogs.pfnReminderDialog != nullptr);
  a.SetEnabled(cmd::kSetSound, own && dialogs.pfnSoundDialog != nullptr);
  const bool enabled = selected != nullptr && selected->m_bEnabled != 0;
  if (selected != nullptr) {
    a.SetText(cmd::kDisableActivate, ToQString(enabled ? t.Get(u"MENU_DISABLE") : t.Get(u"MENU_ACTIVATE")));
  }
  a.SetText(cmd::kSkipNext, ToQString(enabled && selected->m_wSkipNext != 0 ? t.Get(u"MENU_UNDO_SKIP_NEXT")
                                                                            : t.Get(u"MENU_SKIP_NEXT")));
  a.SetEnabled(cmd::kSkipNext, own && enabled);
}

void MainMenu::UpdateCheckMarks(const AppSettings& settings) {
  keypad::CommandMenu& g = *m_general;
  for (int command : cmd::kSortCommands) g.SetChecked(command, false);
  const std::uint32_t sort = settings.g_dwSort <= 5 ? settings.g_dwSort : 0;
  g.SetChecked(cmd::kSortCommands[sort], true);
  g.SetChecked(cmd::kSortAscending, settings.g_bSortAscending != 0);
  g.SetChecked(cmd::kSortDescending, settings.g_bSortAscending == 0);
  g.SetChecked(cmd::kShowBirthdays, settings.g_bShowBirthdays != 0);
  g.SetChecked(cmd::kShowAnniversaries, settings.g_bShowAnniversaries != 0);
  g.SetChecked(cmd::kShowOtherDates, settings.g_bShowOtherDates != 0);
  g.SetChecked(cmd::kShowStars, settings.g_bShowStars != 0);
}
