#include "Natalo/schedule/StorageEditDialog.h"

#include <QKeyEvent>
#include <QLabel>

#include "Natalo/AppText.h"
#include "Natalo/DialogKeys.h"
#include "platform/ui/DialogHost.h"
#include "common/store/Recurrence.h"
#include "common/store/StorageEditorHook.h"
#include "common/store/StorageItem.h"
#include "common/text/LocalePatterns.h"
#include "platform/clock/Clock.h"
#include "platform/ui/CheckField.h"
#include "platform/ui/DateTimePicker.h"
#include "platform/ui/FormColumn.h"
#include "platform/ui/MessageBox.h"
#include "platform/ui/SoftKeyBar.h"
#include "platform/ui/SpinnerList.h"
#include "platform/ui/WaitCursor.h"

namespace {

constexpr std::size_t kWorkDayWords = 23;
constexpr std::size_t kWeekendWords = 10;
constexpr int kLastOfKind = 24;
constexpr int kLastMonthDay = 31;

// A month check box: Left and Right do nothing there, so a slip of the finger
// on the way down the list cannot change a month.
class MonthCheckField : public keypad::CheckField {
 public:
  using CheckField::CheckField;

 protected:
  void keyPressEvent(QKeyEvent* event) override {
    if (event->key() == Qt::Key_Left || event->key() == Qt::Key_Right) {
      event->accept();
      return;
    }
    CheckField::keyPressEvent(event);
  }
};

QString Text(std::u16string_view key) { return ToQString(LocalText().Get(key)); }

// The comma-separated words of "DLG_MONTHLY_DAYS", at most `count` of them.
QStringList OrdinalWords(std::size_t count) {
  QStringList words = Text(u"DLG_MONTHLY_DAYS").split(QLatin1Char(','));
  while (static_cast<std::size_t>(words.size()) > count) words.removeLast();
  return words;
}

// Selects the entry carrying `value`; false when none does.
bool SelectByData(keypad::SpinnerList* list, int value) {
  for (int i = 0; i < list->Count(); ++i) {
    if (list->ItemData(i).toInt() == value) return list->SetCurrentIndex(i);
  }
  return false;
}

int DataOf(const keypad::SpinnerList* list, int fallback) {
  const int index = list->CurrentIndex();
  return index < 0 ? fallback : list->ItemData(index).toInt();
}

}  // namespace

StorageEditDialog::StorageEditDialog(StorageItem& item, std::uint32_t templateId, std::uint32_t allowedKinds,
                                     bool showSeconds, QWidget* parent)
    : FullScreenDialog(keypad::DialogHost(parent)),
      m_nTemplateId(templateId),
      m_dwAllowedKinds(allowedKinds),
      m_bShowSeconds(showSeconds),
      m_pItem(&item) {
  keypad::WaitCursor wait;
  CreateControls();
  InitLabels();
  FillControls();
  connect(m_kind, &keypad::SpinnerList::currentIndexChanged, this, [this] { OnKindChanged(); });
  connect(m_monthlyType, &keypad::SpinnerList::currentIndexChanged, this, [this] { OnMonthlyTypeChanged(); });
}

StorageEditDialog::~StorageEditDialog() { OnDestroy(); }

void StorageEditDialog::CreateControls() {
  m_form = new keypad::FormColumn;
  auto row = [this](QWidget* field) { m_labels.insert(field, m_form->AddRow(QStringLiteral(" "), field)); };
  m_kind = new keypad::SpinnerList;
  row(m_kind);
  m_status = new keypad::SpinnerList;
  row(m_status);
  m_date = new keypad::DatePicker;
  row(m_date);
  m_time = new keypad::TimePicker;
  row(m_time);
  m_yearDate = new keypad::DatePicker;
  row(m_yearDate);
  for (std::size_t i = 0; i < m_weekDays.size(); ++i) {
    m_weekDays[i] = new keypad::CheckField;
    if (i == 0) {
      row(m_weekDays[i]);
    } else {
      m_form->AddRow({}, m_weekDays[i]);
    }
  }
  m_monthlyType = new keypad::SpinnerList;
  row(m_monthlyType);
  m_monthDay = new keypad::SpinnerList;
  row(m_monthDay);
  m_week = new keypad::SpinnerList;
  row(m_week);
  m_weekDay = new keypad::SpinnerList;
  m_form->AddRow({}, m_weekDay);
  for (std::size_t i = 0; i < m_months.size(); ++i) {
    m_months[i] = new MonthCheckField;
    if (i == 0) {
      row(m_months[i]);
    } else {
      m_form->AddRow({}, m_months[i]);
    }
  }
  ContentLayout()->addWidget(m_form);
}

void StorageEditDialog::InitLabels() {
  const LocalTable& t = LocalText();
  SetTitle(ToQString(t.Get(u"DLG_HEADERTEXT")));
  m_labels[m_kind]->setText(ToQString(t.Get(u"DLG_OCCURS")));
  m_labels[m_status]->setText(ToQString(t.Get(u"DLG_STATUS")));
  m_labels[m_date]->setText(ToQString(t.Get(u"DLG_DATE")));
  m_labels[m_time]->setText(ToQString(t.Get(u"DLG_TIME")));
  m_labels[m_yearDate]->setText(ToQString(t.Get(u"DLG_YEARLYDATE")));
  m_labels[m_weekDays[0]]->setText(ToQString(t.Get(u"DLG_DAYS_OF_WEEK")));
  m_labels[m_months[0]]->setText(ToQString(t.Get(u"DLG_MONTHS")));
  m_labels[m_monthlyType]->setText(ToQString(t.Get(u"DLG_MONTHLY_TYPE")));
  m_labels[m_monthDay]->setText(ToQString(t.Get(u"DLG_MONTH_DAY")));
  m_labels[m_week]->setText(ToQString(t.Get(u"DLG_MONTH_DAY")));
  const std::u16string_view dayKeys[] = {u"MONDAY", u"TUESDAY",  u"WEDNESDAY", u"THURSDAY",
                                         u"FRIDAY", u"SATURDAY", u"SUNDAY"};
  for (std::size_t i = 0; i < m_weekDays.size(); ++i) m_weekDays[i]->setText(Text(dayKeys[i]));
  const std::u16string_view monthKeys[] = {u"MIDDLE_MONTH_1", u"MIDDLE_MONTH_2",  u"MIDDLE_MONTH_3",
                                           u"MIDDLE_MONTH_4", u"MIDDLE_MONTH_5",  u"MIDDLE_MONTH_6",
                                           u"MIDDLE_MONTH_7", u"MIDDLE_MONTH_8",  u"MIDDLE_MONTH_9",
                                           u"MIDDLE_MONTH_10", u"MIDDLE_MONTH_11", u"MIDDLE_MONTH_12"};
  for (std::size_t i = 0; i < m_months.size(); ++i) m_months[i]->setText(Text(monthKeys[i]));
  SetDoneCancelKeys(SoftKeys());
}

void StorageEditDialog::OnDestroy() {}

void StorageEditDialog::FillControls() {
  const StorageItem& item = *m_pItem;
  const struct {
    std::u16string_view key;
    std::uint32_t kind;
  } kinds[] = {{u"DLG_OCCURS_NEXT24H", Next24Hours}, {u"DLG_OCCURS_ONCE", Once},
               {u"DLG_OCCURS_EVERYDAY", EveryDay},   {u"DLG_OCCURS_WEEKLY", Weekly},
               {u"DLG_OCCURS_MONTHLY", Monthly},     {u"DLG_OCCURS_YEARLY", Yearly}};
  m_kind->Clear();
  for (const auto& k : kinds) {
    if ((m_dwAllowedKinds & k.kind) != 0) m_kind->AddItem(Text(k.key), static_cast<int>(k.kind));
  }
  // A kind this editor does not offer selects nothing, so that it is kept
  // unless the user chooses another.
  if (!SelectByData(m_kind, static_cast<int>(item.m_dwKind))) m_kind->ClearSelection();

  if ((m_dwAllowedKinds & Monthly) != 0) {
    m_monthlyType->Clear();
    m_monthlyType->AddItem(Text(u"DLG_MONTHLY_TYPE_BYDAY"), ByDay);
    m_monthlyType->AddItem(Text(u"DLG_MONTHLY_TYPE_BYWEEKDAY"), ByWeekDay);
    m_monthlyType->AddItem(Text(u"DLG_MONTHLY_TYPE_BYWORKDAYS"), ByWorkDays);
    m_monthlyType->AddItem(Text(u"DLG_MONTHLY_TYPE_BYWEEKENDS"), ByWeekends);
    SelectByData(m_monthlyType, item.m_wMonthlyType);
    FillMonthDayList();
    SelectMonthDay();
    const std::u16string_view weekKeys[] = {u"DLG_MONTHLY_WEEK_FIRST", u"DLG_MONTHLY_WEEK_SECOND",
                                            u"DLG_MONTHLY_WEEK_THIRD", u"DLG_MONTHLY_WEEK_FOURTH",
                                            u"DLG_MONTHLY_WEEK_LAST"};
    m_week->Clear();
    for (int i = 0; i < 5; ++i) m_week->AddItem(Text(weekKeys[i]), i);
    const std::u16string_view dayKeys[] = {u"MONDAY", u"TUESDAY",  u"WEDNESDAY", u"THURSDAY",
                                           u"FRIDAY", u"SATURDAY", u"SUNDAY"};
    m_weekDay->Clear();
    for (int i = 0; i < 7; ++i) m_weekDay->AddItem(Text(dayKeys[i]), 1 << i);
    // Any week number past the fourth means the last week.
    m_week->SetCurrentIndex(static_cast<int>(std::min<std::uint32_t>(item.m_dwWeekOfMonth, 4)));
    SelectByData(m_weekDay, static_cast<int>(item.m_dwWeekDay));
  }

  m_status->Clear();
  m_status->AddItem(Text(u"DLG_STATUS_OFF"), 0);
  m_status->AddItem(Text(u"DLG_STATUS_ON"), 1);
  m_status->SetCurrentIndex(item.m_bEnabled != 0 ? 1 : 0);

  platform::SystemTime start;
  const bool hasStart = platform::FileTimeToSystemTime(item.m_ftStart, start);
  for (keypad::DateTimePicker* picker : {static_cast<keypad::DateTimePicker*>(m_date),
                                         static_cast<keypad::DateTimePicker*>(m_time),
                                         static_cast<keypad::DateTimePicker*>(m_yearDate)}) {
    picker->SetNames(UserCalendarNames());
  }
  m_date->SetPicture(ToQString(g_szShortDate));
  m_time->SetPicture(ToQString(m_bShowSeconds ? g_szTime : g_szTimeNoSec));
  m_yearDate->SetPicture(ToQString(g_szShortDateNoYear));
  if (hasStart) {
    m_date->SetValue(start);
    m_time->SetValue(start);
    m_yearDate->SetValue(start);
  }

  if ((m_dwAllowedKinds & Weekly) != 0) {
    for (std::size_t i = 0; i < m_weekDays.size(); ++i) m_weekDays[i]->setChecked((item.m_dwWeekDays & (1u << i)) != 0);
  }
  if ((m_dwAllowedKinds & Monthly) != 0) {
    for (std::size_t i = 0; i < m_months.size(); ++i) m_months[i]->setChecked((item.m_dwMonths & (1u << i)) != 0);
  }
  LayOut(item.m_dwKind);
}

void StorageEditDialog::FillMonthDayList() {
  m_monthDay->Clear();
  switch (DataOf(m_monthlyType, ByDay)) {
    case ByDay:
      for (int day = 1; day <= kLastMonthDay; ++day) m_monthDay->AddItem(QString::number(day), day);
      m_monthDay->AddItem(Text(u"DLG_MONTHLY_LASTDAY"), 0);
      break;
    case ByWorkDays: {
      const QStringList words = OrdinalWords(kWorkDayWords);
      for (int i = 0; i < words.size(); ++i) m_monthDay->AddItem(words[i], i + 1);
      m_monthDay->AddItem(Text(u"DLG_MONTHLY_LASTDAY_WORK"), kLastOfKind);
      break;
    }
    case ByWeekends: {
      const QStringList words = OrdinalWords(kWeekendWords);
      for (int i = 0; i < words.size(); ++i) m_monthDay->AddItem(words[i], i + 1);
      m_monthDay->AddItem(Text(u"DLG_MONTHLY_LASTDAY_WEEKEND"), kLastOfKind);
      break;
    }
    default: break;
  }
}

// The stored day of the item. A ByDay value below 0 (days before the last) can
// be stored but not chosen here: nothing is selected. A working-day value below
// 1 selects the 23rd word.
void StorageEditDialog::SelectMonthDay() {
  const int value = m_pItem->m_nMonthDay;
  const int type = DataOf(m_monthlyType, ByDay);
  if (type == ByWorkDays && value < 1) {
    m_monthDay->SetCurrentIndex(static_cast<int>(kWorkDayWords) - 1);
  } else if (!SelectByData(m_monthDay, value)) {
    m_monthDay->ClearSelection();
  }
}

std::uint32_t StorageEditDialog::SelectedKind() const {
  return static_cast<std::uint32_t>(DataOf(m_kind, static_cast<int>(m_pItem->m_dwKind)));
}

void StorageEditDialog::ShowRow(QWidget* field, bool shown) {
  field->setVisible(shown);
  if (QLabel* label = m_labels.value(field)) label->setVisible(shown);
}

void StorageEditDialog::LayOut(std::uint32_t kind) {
  m_dwShownKind = kind;
  const bool monthly = kind == Monthly;
  const bool byWeekDay = DataOf(m_monthlyType, ByDay) == ByWeekDay;
  ShowRow(m_date, kind == Once);
  ShowRow(m_yearDate, kind == Yearly);
  for (keypad::CheckField* box : m_weekDays) ShowRow(box, kind == Weekly);
  for (keypad::CheckField* box : m_months) ShowRow(box, monthly);
  ShowRow(m_monthlyType, monthly);
  ShowRow(m_monthDay, monthly && !byWeekDay);
  ShowRow(m_week, monthly && byWeekDay);
  ShowRow(m_weekDay, monthly && byWeekDay);
  m_lastScreenSize = size();
}

void StorageEditDialog::OnKindChanged() {
  const std::uint32_t kind = SelectedKind();
  if (kind == Weekly) {
    m_pItem->m_dwWeekDays = AllWeekDays;
    for (keypad::CheckField* box : m_weekDays) box->setChecked(true);
  } else if (kind == Monthly) {
    m_pItem->m_dwMonths = AllMonths;
    for (keypad::CheckField* box : m_months) box->setChecked(true);
    SelectByData(m_monthlyType, m_pItem->m_wMonthlyType);
    FillMonthDayList();
    SelectMonthDay();
  }
  LayOut(kind);
  m_kind->setFocus(Qt::OtherFocusReason);
}

void StorageEditDialog::OnMonthlyTypeChanged() {
  m_pItem->m_wMonthlyType = static_cast<std::uint16_t>(DataOf(m_monthlyType, ByDay));
  FillMonthDayList();
  m_monthDay->SetCurrentIndex(0);
  if (m_pItem->m_wMonthlyType == ByWeekDay) {
    m_week->SetCurrentIndex(static_cast<int>(std::min<std::uint32_t>(m_pItem->m_dwWeekOfMonth, 4)));
    if (m_pItem->m_dwWeekDay < MondayBit || m_pItem->m_dwWeekDay > SundayBit) m_pItem->m_dwWeekDay = MondayBit;
    if (!SelectByData(m_weekDay, static_cast<int>(m_pItem->m_dwWeekDay))) m_weekDay->SetCurrentIndex(0);
  }
  LayOut(SelectedKind());
}

// Year digits that make no year yet would otherwise save today's date.
int StorageEditDialog::Validate() {
  const std::uint32_t kind = SelectedKind();
  const keypad::DatePicker* datePicker = kind == Yearly ? m_yearDate : m_date;
  if (kind == Next24Hours || datePicker->HasValue()) return 1;
  keypad::ShowMessageBox(this, Text(u"MSG_DATE_INCOMPLETE"), ToQString(LocalText().GetAppName()),
                         keypad::MB_OK | keypad::MB_ICONEXCLAMATION);
  return 0;
}

void StorageEditDialog::SaveToItem() {
  StorageItem& item = *m_pItem;
  const std::uint32_t kind = SelectedKind();
  item.m_dwKind = kind;
  item.m_bEnabled = m_status->CurrentIndex() == 1 ? 1 : 0;

  const platform::SystemTime now = platform::GetLocalTime();
  platform::SystemTime date;
  const keypad::DatePicker* datePicker = kind == Yearly ? m_yearDate : m_date;
  if (kind == Next24Hours || !datePicker->GetValue(date)) date = now;
  platform::SystemTime time;
  if (!m_time->GetValue(time)) time = now;
  platform::SystemTime start = date;
  start.wHour = time.wHour;
  start.wMinute = time.wMinute;
  start.wSecond = m_bShowSeconds ? time.wSecond : 0;
  start.wMilliseconds = 0;
  platform::FileTime ft = 0;
  if (platform::SystemTimeToFileTime(start, ft)) item.m_ftStart = ft;
  if (kind == Next24Hours && platform::GetLocalFileTime() >= item.m_ftStart) {
    item.m_ftStart += platform::FILETIME_PER_DAY;
  }

  std::uint32_t weekDays = 0;
  if (kind == Weekly) {
    for (std::size_t i = 0; i < m_weekDays.size(); ++i) weekDays |= m_weekDays[i]->isChecked() ? 1u << i : 0;
  } else if (kind == EveryDay) {
    weekDays = AllWeekDays;
  }
  item.m_dwWeekDays = weekDays;

  if (kind == Monthly) {
    std::uint32_t months = 0;
    for (std::size_t i = 0; i < m_months.size(); ++i) months |= m_months[i]->isChecked() ? 1u << i : 0;
    item.m_dwMonths = months;
    item.m_wMonthlyType = static_cast<std::uint16_t>(DataOf(m_monthlyType, ByDay));
    if (item.m_wMonthlyType == ByWeekDay) {
      item.m_dwWeekOfMonth = static_cast<std::uint32_t>(DataOf(m_week, 0));
      item.m_dwWeekDay = static_cast<std::uint32_t>(DataOf(m_weekDay, MondayBit));
    } else {
      item.m_nMonthDay = DataOf(m_monthDay, item.m_nMonthDay);
    }
  } else {
    item.m_dwMonths = 0;
  }
}

void StorageEditDialog::OnCancel() {}

void StorageEditDialog::OnCommand(int command) {
  if (command == keypad::kResultDone) {
    if (Validate() == 0) return;
    SaveToItem();
    Done(keypad::kResultDone);
  } else if (command == keypad::kResultCancel) {
    OnCancel();
    Done(keypad::kResultCancel);
  }
}

void StorageEditDialog::OnBack() { OnCommand(keypad::kResultCancel); }

void StorageEditDialog::OnScreenResized(const QSize& size) {
  if (size == m_lastScreenSize) return;
  LayOut(m_dwShownKind);
  m_kind->setFocus(Qt::OtherFocusReason);
}

namespace {

class StorageEditorRun : public StorageEditor {
 public:
  StorageEditorRun(StorageItem& item, std::uint32_t templateId, std::uint32_t allowedKinds, bool showSeconds)
      : m_item(item), m_templateId(templateId), m_allowedKinds(allowedKinds), m_showSeconds(showSeconds) {}

  int Run(void* parent) override {
    StorageEditDialog dialog(m_item, m_templateId, m_allowedKinds, m_showSeconds, static_cast<QWidget*>(parent));
    dialog.FocusFirstField();
    return dialog.Exec();
  }

 private:
  StorageItem& m_item;
  std::uint32_t m_templateId;
  std::uint32_t m_allowedKinds;
  bool m_showSeconds;
};

}  // namespace

void InstallStorageEditor() {
  SetStorageEditorHook([](StorageItem& item, std::uint32_t templateId, std::uint32_t allowedKinds, bool showSeconds)
                           -> std::unique_ptr<StorageEditor> {
    return std::make_unique<StorageEditorRun>(item, templateId, allowedKinds, showSeconds);
  });
}
