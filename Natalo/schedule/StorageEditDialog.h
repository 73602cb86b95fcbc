#pragma once
// The editor of a plain schedule item: kind, status, date, time, weekdays,
// months and the monthly day rule. Only the rows that the chosen kind uses are
// shown; the item changes only when the user chooses Done.
#include <QHash>
#include <QSize>

#include <array>
#include <cstdint>

#include "platform/ui/FullScreenDialog.h"

class StorageItem;
class QLabel;
namespace keypad {
class CheckField;
class DatePicker;
class FormColumn;
class SpinnerList;
class TimePicker;
}  // namespace keypad

class StorageEditDialog : public keypad::FullScreenDialog {
  Q_OBJECT

 public:
  // `allowedKinds`: the Recurrence bits the kind list offers.
  StorageEditDialog(StorageItem& item, std::uint32_t templateId, std::uint32_t allowedKinds, bool showSeconds,
                    QWidget* parent);
  ~StorageEditDialog() override;

  keypad::SpinnerList* KindList() const { return m_kind; }
  keypad::SpinnerList* StatusList() const { return m_status; }
  keypad::DatePicker* DateField() const { return m_date; }
  keypad::TimePicker* TimeField() const { return m_time; }
  keypad::DatePicker* YearlyDateField() const { return m_yearDate; }
  keypad::CheckField* WeekDayBox(int index) const { return m_weekDays[static_cast<std::size_t>(index)]; }
  keypad::CheckField* MonthBox(int index) const { return m_months[static_cast<std::size_t>(index)]; }
  keypad::SpinnerList* MonthlyTypeList() const { return m_monthlyType; }
  keypad::SpinnerList* MonthDayList() const { return m_monthDay; }
  keypad::SpinnerList* WeekList() const { return m_week; }
  keypad::SpinnerList* WeekDayList() const { return m_weekDay; }
  // The kind whose rows are shown.
  std::uint32_t ShownKind() const { return m_dwShownKind; }

 protected:
  // The dialog's operations, in the order the schedule items know them.
  virtual void InitLabels();
  virtual void OnDestroy();
  virtual void FillControls();
  virtual int Validate();
  virtual void SaveToItem();
  virtual void OnCancel();

  void OnCommand(int command) override;
  void OnBack() override;
  void OnScreenResized(const QSize& size) override;

 private:
  void CreateControls();
  void FillMonthDayList();
  void SelectMonthDay();
  void LayOut(std::uint32_t kind);
  void OnKindChanged();
  void OnMonthlyTypeChanged();
  void ShowRow(QWidget* field, bool shown);
  std::uint32_t SelectedKind() const;

  std::uint32_t m_nTemplateId;
  std::uint32_t m_dwAllowedKinds;
  bool m_bShowSeconds;
  StorageItem* m_pItem;
  QSize m_lastScreenSize;
  std::uint32_t m_dwShownKind = 0;

  keypad::FormColumn* m_form = nullptr;
  keypad::SpinnerList* m_kind = nullptr;
  keypad::SpinnerList* m_status = nullptr;
  keypad::DatePicker* m_date = nullptr;
  keypad::TimePicker* m_time = nullptr;
  keypad::DatePicker* m_yearDate = nullptr;
  std::array<keypad::CheckField*, 7> m_weekDays{};
  std::array<keypad::CheckField*, 12> m_months{};
  keypad::SpinnerList* m_monthlyType = nullptr;
  keypad::SpinnerList* m_monthDay = nullptr;
  keypad::SpinnerList* m_week = nullptr;
  keypad::SpinnerList* m_weekDay = nullptr;
  // The label above each field, hidden with it.
  QHash<QWidget*, QLabel*> m_labels;
};

// Registers the dialog as the plain items' editor (StorageItem::CreateEditor).
void InstallStorageEditor();
