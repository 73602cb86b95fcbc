#include "Natalo/settings/ReminderOptionsDialog.h"

#include <algorithm>
#include <chrono>

#include "Natalo/AppText.h"
#include "common/settings/AppSettings.h"
#include "common/text/LocalePatterns.h"
#include "platform/ui/DateTimePicker.h"
#include "platform/ui/FormColumn.h"
#include "platform/ui/SpinnerList.h"

ReminderOptionsDialog::ReminderOptionsDialog(QWidget* parent) : SettingsDialog(parent, u"DLG_HEADER_REMINDER_OPTIONS") {
  const LocalTable& t = LocalText();

  LoadReminderSettings();
  auto* form = new keypad::FormColumn;
  m_choice = new keypad::SpinnerList;
  m_choice->FillFromKeyText(ToQString(t.Get(u"DLG_RO_DATE")));
  // A stored value beyond the list shows its first entry.
  if (!m_choice->SetCurrentIndex(static_cast<int>(g_settings.g_dwReminderDate))) m_choice->SetCurrentIndex(0);
  form->AddRow(ToQString(t.Get(u"DLG_RO_STATIC_DATE")), m_choice);

  m_time = new keypad::TimePicker;
  m_time->SetNames(UserCalendarNames());
  m_time->SetPicture(ToQString(g_szTimeNoSec));
  platform::SystemTime at;
  at.wHour = static_cast<std::uint16_t>(std::min(g_settings.g_wReminderTime >> 8, 23));
  at.wMinute = static_cast<std::uint16_t>(std::min(g_settings.g_wReminderTime & 0xFF, 59));
  m_time->SetValue(at);
  form->AddRow(ToQString(t.Get(u"DLG_RO_STATIC_TIME")), m_time);

  m_wake = new keypad::SpinnerList;
  m_wake->FillFromKeyText(ToQString(t.Get(u"DLG_RO_NEEDUNLOCK")));
  m_wake->SetCurrentIndex(g_settings.g_dwNeedUnlock != 0 ? 1 : 0);
  form->AddRow(ToQString(t.Get(u"DLG_RO_STATIC_NEEDUNLOCK")), m_wake);

  m_showAs = new keypad::SpinnerList;
  m_showAs->FillFromKeyText(ToQString(t.Get(u"DLG_RO_SHOWAS")));
  if (!m_showAs->SetCurrentIndex(static_cast<int>(g_settings.g_dwShowRemindersAs))) m_showAs->SetCurrentIndex(0);
  form->AddRow(ToQString(t.Get(u"DLG_RO_STATIC_SHOWAS")), m_showAs);
  ContentLayout()->addWidget(form);
}

void ReminderOptionsDialog::OnScreenResized(const QSize&) { m_choice->setFocus(Qt::OtherFocusReason); }

bool ReminderOptionsDialog::Save() {
  AppSettings chosen = g_settings;
  chosen.g_dwReminderDate = static_cast<std::uint32_t>(std::max(m_choice->CurrentIndex(), 0));
  platform::SystemTime at;
  if (m_time->GetValue(at)) chosen.g_wReminderTime = static_cast<std::uint16_t>(at.wHour * 256 + at.wMinute);
  chosen.g_dwNeedUnlock = m_wake->CurrentIndex() > 0 ? 1 : 0;
  chosen.g_dwShowRemindersAs = static_cast<std::uint32_t>(std::max(m_showAs->CurrentIndex(), 0));
  if (!SaveReminderChoices(chosen)) {
    // Put back what the reminder utility read before, as far as that goes.
    SaveReminderChoices(g_settings, RetryRule{1, std::chrono::milliseconds(0)});
    return false;
  }
  g_settings = chosen;
  return true;
}
