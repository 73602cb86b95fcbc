#include "Natalo/editors/EntryEditor.h"

#include <QApplication>
#include <QKeyEvent>

#include "Natalo/AppText.h"
#include "Natalo/editors/EditorServices.h"
#include "platform/ui/DialogHost.h"
#include "Natalo/editors/EntryDialogs.h"
#include "Natalo/pickers/ContactChooser.h"
#include "common/entries/EntryCalendar.h"
#include "common/entries/EntryMatching.h"
#include "common/entries/EntryReminder.h"
#include "common/entries/FeskList.h"
#include "common/entries/ReminderChoice.h"
#include "common/entries/TextFormat.h"
#include "common/text/LocalePatterns.h"
#include "platform/contacts/ContactStore.h"
#include "platform/ui/CommandMenu.h"
#include "platform/ui/DateTimePicker.h"
#include "platform/ui/FormColumn.h"
#include "platform/ui/MessageBox.h"
#include "platform/ui/SoftKeyBar.h"
#include "platform/ui/SpinnerList.h"
#include "platform/ui/TextFields.h"

namespace {

QString Text(std::u16string_view text) { return ToQString(text); }

keypad::LineField* MakeLineField(int limit, const QString& value) {
  auto* field = new keypad::LineField;
  field->SetLimit(limit);
  field->setText(keypad::CutToLimit(value, limit));
  field->setCursorPosition(0);
  return field;
}

}  // namespace

EntryEditor::EntryEditor(FeskItem& entry, std::uint16_t kind, QWidget* parent)
    : FullScreenDialog(keypad::DialogHost(parent)), m_entry(entry), m_kind(kind), m_work(std::make_unique<FeskItem>(kind)) {
  CopyEntry(entry, *m_work);
  const LocalTable& t = LocalText();
  switch (kind) {
    case Birthday: SetTitle(Text(t.Get(u"DLG_BIRTHDAY_HEADER"))); break;
    case Anniversary: SetTitle(Text(t.Get(u"DLG_ANNIVERSARY_HEADER"))); break;
    default: SetTitle(Text(t.Get(u"DLG_OTHERDATE_HEADER"))); break;
  }
  m_menu = new keypad::CommandMenu(this);
  m_menu->AddCommand(kSetIcon, Text(t.Get(u"MENU_SET_ICON")));
  m_menu->AddCommand(kSetSound, Text(t.Get(u"MENU_SET_SOUND")));
  m_menu->AddCommand(kSetReminder, Text(t.Get(u"MENU_SET_REMINDER")));
  m_menu->AddCommand(kCancel, Text(t.Get(u"BTN_CANCEL")));
  SoftKeys()->SetCommandKey(keypad::SoftKeyBar::Left, Text(t.Get(u"BTN_DONE")), kDone);
  SoftKeys()->SetMenuKey(keypad::SoftKeyBar::Right, Text(t.Get(u"BTN_MENU")), m_menu);

  m_form = new keypad::FormColumn;
  QString dateLabel;
  if (kind == Birthday) {
    m_first = MakeLineField(kPersonNameLimit, EntryQString(entry.FirstName()));
    m_last = MakeLineField(kPersonNameLimit, EntryQString(entry.LastName()));
    m_form->AddRow(Text(t.Get(u"DLG_STATIC_FIRSTNAME")), m_first);
    m_form->AddRow(Text(t.Get(u"DLG_STATIC_LASTNAME")), m_last);
    dateLabel = Text(t.Get(u"DLG_STATIC_BIRTHDAYDATE"));
  } else {
    m_name = MakeLineField(kNameLimit, EntryQString(entry.Name()));
    if (kind == Anniversary) {
      m_form->AddRow(Text(t.Get(u"DLG_STATIC_ANNIVERSARY")), m_name);
      dateLabel = Text(t.Get(u"DLG_STATIC_ANNIVERSARYDATE"));
    } else {
      m_form->AddRow(Text(t.Get(u"DLG_STATIC_OTHERDATE")), m_name);
      dateLabel = Text(t.Get(u"DLG_STATIC_OTHERDATE_DATE"));
    }
  }
  if (HasContactChooser()) {
    for (keypad::LineField* field : {m_first, m_last, m_name}) {
      if (field) field->SetFocusHint(Text(t.Get(u"HINT_CONTACT")));
    }
  }
  m_date = new keypad::DatePicker;
  m_date->SetNames(UserCalendarNames());
  m_date->SetPicture(Text(g_szShortDate));
  // A typed 1604 would silently mean "no year": the years start after it.
  m_date->SetFirstYear(kYearUnknown + 1);
  m_date->SetYearMayBeEmpty(kind != OtherDate);
  platform::SystemTime date;
  if (!entry.HasYear()) {
    const CalendarDate day = DateOfFileTime(entry.m_ftDate);
    m_date->SetMonthDayWithoutYear(day.month, day.day);
  } else if (platform::FileTimeToSystemTime(entry.m_ftDate, date)) {
    m_date->SetValue(date);
  }
  m_form->AddRow(dateLabel, m_date);
  m_note = new keypad::NoteField;
  m_note->SetLimit(kNoteLimit);
  m_note->SetValue(EntryQString(entry.Note()));
  m_note->setMinimumHeight(3 * fontMetrics().height() + 8);
  m_form->AddRow(Text(t.Get(u"DLG_STATIC_NOTE")), m_note);
  m_reminder = new keypad::SpinnerList;
  m_reminder->AddItem(Text(t.Get(u"DLG_REMINDER_ON")));
  m_reminder->AddItem(Text(t.Get(u"DLG_REMINDER_OFF")));
  m_reminder->SetCurrentIndex(entry.m_bEnabled != 0 ? 0 : 1);
  m_form->AddRow(Text(t.Get(u"DLG_STATIC_REMINDER_STATUS")), m_reminder);
  ContentLayout()->addWidget(m_form);
}

EntryEditor::~EntryEditor() = default;

bool EntryEditor::IsNameField(const QWidget* widget) const {
  return widget && (widget == m_first || widget == m_last || widget == m_name);
}

bool EntryEditor::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() == QEvent::KeyPress && isVisible() && !QApplication::activePopupWidget()) {
    auto* key = static_cast<QKeyEvent*>(event);
    auto* target = qobject_cast<QWidget*>(watched);
    const bool action = key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter;
    // The note keeps Return for its line breaks.
    if (action && target && target == window()->focusWidget() && isAncestorOf(target) && target != m_note) {
      ActionKey();
      return true;
    }
  }
  return FullScreenDialog::eventFilter(watched, event);
}

void EntryEditor::ActionKey() {
  if (HasContactChooser() && IsNameField(window()->focusWidget())) {
    ChooseContact();
  } else {
    Accept();
  }
}

void EntryEditor::OnCommand(int command) {
  switch (command) {
    case kDone: Accept(); break;
    case kCancel: Done(keypad::kResultCancel); break;
    case kSetIcon: RunIconPicker(*m_work, this); break;
    case kSetSound: RunSoundDialog(*m_work, this); break;
    case kSetReminder: RunReminderDialog(*m_work, this); break;
    default: break;
  }
}

void EntryEditor::OnScreenResized(const QSize&) {
  // The form is one column at any width; the focus returns to the first name field.
  (m_first ? m_first : m_name)->setFocus(Qt::OtherFocusReason);
}

void EntryEditor::ShowMessage(const QString& text) {
  keypad::ShowMessageBox(this, text, Text(LocalText().GetAppName()), keypad::MB_OK | keypad::MB_ICONEXCLAMATION);
}

bool EntryEditor::Check() {
  const LocalTable& t = LocalText();
  // A name field that still shows the contact hint counts as empty.
  if (m_kind == Birthday && m_first->Value().isEmpty() && m_last->Value().isEmpty()) {
    ShowMessage(Text(t.Get(u"MSG_BIRTHDAY_NAMES_EMPTY")));
    return false;
  }
  if (m_kind == Anniversary && m_name->Value().isEmpty()) {
    ShowMessage(Text(t.Get(u"MSG_ANNIVERSARY_NAME_EMPTY")));
    return false;
  }
  if (m_kind == OtherDate && m_name->Value().isEmpty()) {
    ShowMessage(Text(t.Get(u"MSG_OTHERDATE_NAME_EMPTY")));
    return false;
  }
  platform::SystemTime picked;
  // Digits typed into the year that make no year leave the picker without a
  // date; birthdays and anniversaries may leave the year empty, other dates not.
  const bool yearOptional = m_kind != OtherDate;
  int month = 0, day = 0;
  const bool withoutYear = yearOptional && m_date->GetMonthDayWithoutYear(month, day);
  if (!withoutYear && !m_date->GetValue(picked)) {
    const char16_t* key = yearOptional ? u"MSG_ENTRY_YEAR_INCOMPLETE_OR_EMPTY" : u"MSG_ENTRY_YEAR_INCOMPLETE";
    ShowMessage(Text(FormatText(t.Get(key), {DecimalText(kYearUnknown + 1)})));
    return false;
  }
  // A date without a year is never in the future.
  if (m_kind != OtherDate && !withoutYear) {
    platform::FileTime midnight = 0;
    if (!MidnightOf({picked.wYear, picked.wMonth, picked.wDay}, midnight) ||
        midnight > platform::GetLocalFileTime()) {
      ShowMessage(Text(t.Get(u"MSG_WRONG_DATE")));
      return false;
    }
  }
  return true;
}

void EntryEditor::WriteFields(FeskItem& entry) const {
  CopyEntry(*m_work, entry);
  if (m_kind == Birthday) {
    entry.SetFirstName(keypad::CutToLimit(m_first->Value(), kPersonNameLimit).toStdU16String());
    entry.SetLastName(keypad::CutToLimit(m_last->Value(), kPersonNameLimit).toStdU16String());
  } else {
    entry.SetName(keypad::CutToLimit(m_name->Value(), kNameLimit).toStdU16String());
  }
  entry.SetNote(keypad::CutToLimit(m_note->Value(), kNoteLimit).toStdU16String());

  platform::SystemTime picked;
  CalendarDate day = Today();
  int month = 0, dayOfMonth = 0;
  if (m_date->GetValue(picked)) {
    day = {picked.wYear, picked.wMonth, picked.wDay};
  } else if (m_kind != OtherDate && m_date->GetMonthDayWithoutYear(month, dayOfMonth)) {
    day = {kYearUnknown, month, dayOfMonth};
  }
  const std::uint16_t time = CurrentReminderDefaults().wTime;
  platform::FileTime midnight = 0;
  if (MidnightOf(day, midnight)) {
    entry.m_ftDate = midnight + std::min(time >> 8, 23) * platform::FILETIME_PER_HOUR +
                     std::min(time & 0xFF, 59) * platform::FILETIME_PER_MINUTE;
  }
  if (m_reminder->CurrentIndex() >= 0) entry.m_bEnabled = m_reminder->CurrentIndex() == 0 ? 1 : 0;

  if (entry.m_bOwnReminder != 0) {
    // The own reminder keeps its distance to the date and its time of day.
    const std::uint32_t choice = ReminderChoiceForDays(ReminderDays(m_work->m_ftDate, m_work->m_ftStart));
    platform::SystemTime start;
    std::uint16_t at = 0;
    if (platform::FileTimeToSystemTime(m_work->m_ftStart, start)) {
      at = static_cast<std::uint16_t>(start.wHour * 256 + start.wMinute);
    }
    ApplyReminder(entry, choice, at);
  } else {
    ApplyDefaultReminder(entry);
  }
}

void EntryEditor::Accept() {
  if (!Check()) return;
  if (m_kind == OtherDate) {
    WriteFields(m_entry);
    Done(keypad::kResultDone);
    return;
  }
  // The entry is written first, so that a listed entry is matched with its new
  // names; when the check finds another entry the old values come back, so a
  // later Cancel leaves the entry as it was.
  FeskItem before(m_entry.m_wKind);
  CopyEntry(m_entry, before);
  WriteFields(m_entry);
  const EditorServices services = GetEditorServices();
  std::int32_t uid = 0;
  if (services.list && FindMatchingEntry(*services.list, m_entry, m_kind, &uid) && uid != m_entry.m_nUID) {
    CopyEntry(before, m_entry);
    const LocalTable& t = LocalText();
    ShowMessage(Text(m_kind == Birthday ? t.Get(u"MSG_DUPLICATE_BIRTHDAY") : t.Get(u"MSG_DUPLICATE_ANNIVERSARY")));
    return;
  }
  Done(keypad::kResultDone);
}

void EntryEditor::ChooseContact() {
  const EditorServices services = GetEditorServices();
  if (!services.contacts) return;
  std::uint32_t oid = 0;
  if (RunContactChooser(*services.contacts, oid, this) != keypad::kResultDone) return;
  platform::ContactItem contact;
  if (!services.contacts->GetItemFromOid(oid, contact)) return;
  std::u16string first, last;
  contact.GetFirstName(first);
  const bool hasLast = contact.GetLastName(last);
  first = TrimSpaces(first);
  last = TrimSpaces(last);
  if (m_kind == Birthday) {
    m_first->setText(keypad::CutToLimit(Text(first), kPersonNameLimit));
    m_last->setText(keypad::CutToLimit(Text(last), kPersonNameLimit));
  } else if (!hasLast) {
    m_name->clear();
  } else {
    FeskItem person(Birthday);
    person.SetFirstName(first);
    person.SetLastName(last);
    const std::u16string name = FormatText(LocalText().Get(u"DLG_FORMAT_ANNIVERSARYNAME"), {person.GetDisplayName()});
    m_name->setText(keypad::CutToLimit(Text(name), kNameLimit));
  }
  m_work->m_dwContactOid = oid;
  // A date the card gives without a year brings its month and day; the year is
  // left empty, for the user to type or to leave so.
  const platform::ContactDate partial =
      m_kind == Birthday ? contact.GetBirthdayDate() : contact.GetAnniversaryDate();
  if (partial.IsSet() && !partial.yearKnown) {
    m_date->SetMonthDayWithoutYear(partial.month, partial.day);
    m_date->setFocus(Qt::OtherFocusReason);
    return;
  }
  // A past date of the contact replaces the picked one; an unset or future one does not.
  const double value = m_kind == Birthday ? contact.GetBirthday() : contact.GetAnniversary();
  platform::SystemTime st;
  if (value != platform::VARIANT_DATE_NOT_SET && platform::VariantTimeToSystemTime(value, st)) {
    const CalendarDate today = Today();
    const CalendarDate day{st.wYear, st.wMonth, st.wDay};
    if (DayNumber(day) < DayNumber(today)) {
      st.wHour = st.wMinute = st.wSecond = st.wMilliseconds = 0;
      m_date->SetValue(st);
    }
  }
}
