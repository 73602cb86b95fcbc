#pragma once
// The editor of one date entry: birthday, anniversary or other date. It works
// on a copy of the entry, which its menu's icon, sound and reminder dialogs
// change; the entry itself is written only when Done passes the checks.
#include <cstdint>
#include <memory>

#include "common/entries/FeskItem.h"
#include "platform/ui/FullScreenDialog.h"

class QLabel;
namespace keypad {
class CommandMenu;
class DatePicker;
class FormColumn;
class LineField;
class NoteField;
class SpinnerList;
}  // namespace keypad

class EntryEditor : public keypad::FullScreenDialog {
  Q_OBJECT

 public:
  // Menu commands.
  enum Command { kDone = 1, kCancel = 2, kSetIcon = 10, kSetSound = 11, kSetReminder = 12 };
  // Text limits of the fields, in UTF-16 characters.
  static constexpr int kPersonNameLimit = 119;
  static constexpr int kNameLimit = 249;
  static constexpr int kNoteLimit = 1023;

  EntryEditor(FeskItem& entry, std::uint16_t kind, QWidget* parent);
  ~EntryEditor() override;

  FeskItem& WorkingCopy() { return *m_work; }
  // Null for fields the kind has not got.
  keypad::LineField* FirstNameField() const { return m_first; }
  keypad::LineField* LastNameField() const { return m_last; }
  keypad::LineField* NameField() const { return m_name; }
  keypad::DatePicker* DateField() const { return m_date; }
  keypad::NoteField* Note() const { return m_note; }
  keypad::SpinnerList* ReminderSwitch() const { return m_reminder; }
  keypad::CommandMenu* Menu() const { return m_menu; }

  // The action key: in a name field it opens the contact chooser, elsewhere it saves.
  void ActionKey();
  // Done: checks, then saves; the dialog ends with 1 unless a check failed.
  void Accept();

 protected:
  void OnCommand(int command) override;
  void OnScreenResized(const QSize& size) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  bool HasContactChooser() const { return m_kind == Birthday || m_kind == Anniversary; }
  bool IsNameField(const QWidget* widget) const;
  bool Check();
  void WriteFields(FeskItem& entry) const;
  void ChooseContact();
  void ShowMessage(const QString& text);

  FeskItem& m_entry;
  std::uint16_t m_kind;
  std::unique_ptr<FeskItem> m_work;
  keypad::FormColumn* m_form = nullptr;
  keypad::LineField* m_first = nullptr;
  keypad::LineField* m_last = nullptr;
  keypad::LineField* m_name = nullptr;
  keypad::DatePicker* m_date = nullptr;
  keypad::NoteField* m_note = nullptr;
  keypad::SpinnerList* m_reminder = nullptr;
  keypad::CommandMenu* m_menu = nullptr;
};
