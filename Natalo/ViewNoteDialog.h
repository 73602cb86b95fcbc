#pragma once
// The note of one entry on a full screen, titled with the entry's name. An own
// entry's note can be changed (at most 1023 characters); a star's note can
// only be read and scrolled with Up and Down.
#include "platform/ui/FullScreenDialog.h"

class FeskItem;
class QLabel;
class QPlainTextEdit;

class ViewNoteDialog : public keypad::FullScreenDialog {
  Q_OBJECT

 public:
  static constexpr int kMaxNoteChars = 1023;

  explicit ViewNoteDialog(FeskItem& entry, keypad::KeypadWindow* host = keypad::KeypadWindow::Current());

  QLabel* Label() const { return m_label; }
  QPlainTextEdit* NoteField() const { return m_note; }

 protected:
  void OnCommand(int command) override;
  void OnScreenResized(const QSize& size) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void LayOut(const QSize& size);
  void Finish();

  FeskItem& m_entry;
  QLabel* m_label = nullptr;
  QPlainTextEdit* m_note = nullptr;
  int m_margin = 16;
};

// Opens the dialog; 1 when the note was changed and stored in the entry, 2 otherwise.
int RunViewNoteDialog(FeskItem& entry, keypad::KeypadWindow* host = keypad::KeypadWindow::Current());
