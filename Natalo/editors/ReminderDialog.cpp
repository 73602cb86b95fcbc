#include "Natalo/editors/ReminderDialog.h"

#include "Natalo/AppText.h"
#include "Natalo/DialogKeys.h"
#include "platform/ui/DialogHost.h"
#include "common/entries/EntryReminder.h"
#include "common/entries/FeskItem.h"
#include "common/entries/ReminderChoice.h"
#include "common/settings/AppSettings.h"
#include "common/text/LocalePatterns.h"
#include "platform/ui/DateTimePicker.h"
#include "platform/ui/FormColumn.h"
#include "platform/ui/SoftKeyBar.h"
#include "platform/ui/SpinnerList.h"
#include "platform/ui/WaitCursor.h"

ReminderDialog::ReminderDialog(FeskItem& entry, QWidget* parent)
    : FullScreenDialog(keypad::DialogHost(parent)), m_entry(entry) {
  keypad::WaitCursor wait;
  const LocalTable& t = LocalText();
  switch (entry.m_wKind) {
    case Birthday: SetTitle(ToQString(t.Get(u"DLG_HEADER_REMINDER_B"))); break;
    case Anniversary: SetTitle(ToQString(t.Get(u"DLG_HEADER_REMINDER_A"))); break;
    default: SetTitle(ToQString(t.Get(u"DLG_HEADER_REMINDER_OD"))); break;
  }
  SetDoneCancelKeys(SoftKeys());

  LoadReminderSettings();
  auto* form = new keypad::FormColumn;
  m_config = new keypad::SpinnerList;
  m_config->AddItem(ToQString(t.Get(u"DLG_REMINDER_PROGRAMSOUNDCONFIG")));
  m_config->AddItem(ToQString(t.Get(u"DLG_REMINDER_CUSTOMSOUNDCONFIG")));
  m_config->SetCurrentIndex(entry.m_bOwnReminder != 0 ? 1 : 0);
  form->AddRow(ToQString(t.Get(u"DLG_REMINDER_STATIC_CONFIG")), m_config);

  m_choice = new keypad::SpinnerList;
  m_choice->FillFromKeyText(ToQString(t.Get(u"DLG_RO_DATE")));
  m_time = new keypad::TimePicker;
  m_time->SetNames(UserCalendarNames());
  m_time->SetPicture(ToQString(g_szTimeNoSec));
  platform::SystemTime at;
  if (entry.m_bOwnReminder != 0) {
    m_choice->SetCurrentIndex(static_cast<int>(ReminderChoiceForDays(ReminderDays(entry.m_ftDate, entry.m_ftStart))));
    platform::FileTimeToSystemTime(entry.m_ftStart, at);
  } else {
    m_choice->SetCurrentIndex(static_cast<int>(g_settings.g_dwReminderDate));
    at.wHour = static_cast<std::uint16_t>(g_settings.g_wReminderTime >> 8);
    at.wMinute = static_cast<std::uint16_t>(g_settings.g_wReminderTime & 0xFF);
  }
  m_time->SetValue(at);
  form->AddRow(ToQString(t.Get(u"DLG_REMINDER_STATIC_DATE")), m_choice);
  form->AddRow(ToQString(t.Get(u"DLG_REMINDER_STATIC_TIME")), m_time);
  ContentLayout()->addWidget(form);
  connect(m_config, &keypad::SpinnerList::currentIndexChanged, this, [this] { UpdateEnabled(); });
  UpdateEnabled();
}

void ReminderDialog::UpdateEnabled() {
  const bool own = m_config->CurrentIndex() == 1;
  m_choice->setEnabled(own);
  m_time->setEnabled(own);
}

void ReminderDialog::OnCommand(int command) {
  if (command == keypad::kResultDone) {
    Save();
    Done(keypad::kResultDone);
  } else {
    Done(keypad::kResultCancel);
  }
}

void ReminderDialog::OnScreenResized(const QSize&) { m_config->setFocus(Qt::OtherFocusReason); }

void ReminderDialog::Save() {
  m_entry.m_bOwnReminder = m_config->CurrentIndex() == 1 ? 1 : 0;
  if (m_entry.m_bOwnReminder != 0) {
    platform::SystemTime at;
    if (m_time->GetValue(at)) {
      ApplyReminder(m_entry, static_cast<std::uint32_t>(std::max(m_choice->CurrentIndex(), 0)),
                    static_cast<std::uint16_t>(at.wHour * 256 + at.wMinute));
    }
  } else {
    ApplyDefaultReminder(m_entry);
  }
}
