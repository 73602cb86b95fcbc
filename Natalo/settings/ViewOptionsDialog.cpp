#include "Natalo/settings/ViewOptionsDialog.h"

#include <algorithm>
#include <chrono>

#include "Natalo/AppText.h"
#include "common/entries/EntryTexts.h"
#include "common/entries/FeskItem.h"
#include "common/settings/AppSettings.h"
#include "platform/clock/Clock.h"
#include "platform/ui/FormColumn.h"
#include "platform/ui/SpinnerList.h"

namespace {

struct ViewRow {
  const char16_t* label;
  const char16_t* entries;  // nullptr: the date samples
  std::uint32_t AppSettings::*setting;
};

constexpr ViewRow kViewRows[] = {
    {u"DLG_VO_STATIC_DISPLAYNAMES", u"DLG_VO_DISPLAYNAMES", &AppSettings::g_dwDisplayNames},
    {u"DLG_VO_STATIC_FFF", u"DLG_VO_FFF", &AppSettings::g_dwFirstLineFormat},
    {u"DLG_VO_STATIC_DISPLAYAGE", u"DLG_VO_DISPLAYAGE", &AppSettings::g_dwDisplayAge},
    {u"DLG_VO_STATIC_SHOWDAYSLEFT", u"DLG_VO_SHOWDAYSLEFT", &AppSettings::g_dwDaysLeft},
    {u"DLG_VO_STATIC_DATEFORMAT", nullptr, &AppSettings::g_dwDateFormat},
    {u"DLG_VO_STATIC_YEARVALUE", u"DLG_VO_YEARVALUE", &AppSettings::g_dwYearValue},
    {u"DLG_VO_STATIC_ZODIAC", u"DLG_VO_ZODIAC", &AppSettings::g_dwZodiac},
};
constexpr std::size_t kDaysLeftRow = 3;

// Today as a new birthday in each of the six date formats, with the stored year.
void FillDateSamples(keypad::SpinnerList& list) {
  FeskItem birthday(Birthday);
  birthday.m_ftDate = platform::GetLocalFileTime();
  EntryTextContext context = CurrentTextContext();
  context.view.dwYearValue = 0;
  for (std::uint32_t format = 0; format < 6; ++format) {
    context.view.dwDateFormat = format;
    list.AddItem(ToQString(FormatEntryDate(birthday, context)));
  }
}

}  // namespace

ViewOptionsDialog::ViewOptionsDialog(QWidget* parent) : SettingsDialog(parent, u"DLG_HEADER_OPTIONS_VIEW") {
  const LocalTable& t = LocalText();

  LoadViewSettings();
  auto* form = new keypad::FormColumn;
  for (std::size_t i = 0; i < m_lists.size(); ++i) {
    const ViewRow& row = kViewRows[i];
    auto* list = new keypad::SpinnerList;
    if (row.entries != nullptr) {
      list->FillFromKeyText(ToQString(t.Get(row.entries)));
    } else {
      FillDateSamples(*list);
    }
    std::uint32_t value = g_settings.*row.setting;
    if (i == kDaysLeftRow) value = value != 0 ? 1 : 0;
    // A stored value beyond the list shows its first entry.
    if (!list->SetCurrentIndex(static_cast<int>(value))) list->SetCurrentIndex(0);
    form->AddRow(ToQString(t.Get(row.label)), list);
    m_lists[i] = list;
  }
  ContentLayout()->addWidget(form);
}

void ViewOptionsDialog::OnScreenResized(const QSize&) { m_lists[0]->setFocus(Qt::OtherFocusReason); }

bool ViewOptionsDialog::Save() {
  AppSettings chosen = g_settings;
  for (std::size_t i = 0; i < m_lists.size(); ++i) {
    chosen.*kViewRows[i].setting = static_cast<std::uint32_t>(std::max(m_lists[i]->CurrentIndex(), 0));
  }
  if (!SaveViewSettings(chosen)) {
    // Put back what the reminder utility read before, as far as that goes.
    SaveViewSettings(g_settings, RetryRule{1, std::chrono::milliseconds(0)});
    return false;
  }
  g_settings = chosen;
  return true;
}
