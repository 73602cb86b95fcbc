#pragma once
// Message boxes with the phone platform's flags and results, drawn by the kit
// inside the phone's screen: a full screen captioned with the box's caption,
// the icon and the text wrapped to the screen's width, the answers on the soft
// keys (OK; or Yes and No) and on Return (OK, Yes) and the Back key (OK, No).
// Tests answer them in advance: a queued answer is returned without showing
// anything, and every box (shown or answered) is recorded.
#include <QList>
#include <QString>

class QWidget;

namespace keypad {

// Buttons
inline constexpr unsigned MB_OK = 0x00;
inline constexpr unsigned MB_YESNO = 0x04;
// Icons
inline constexpr unsigned MB_ICONSTOP = 0x10;
inline constexpr unsigned MB_ICONQUESTION = 0x20;
inline constexpr unsigned MB_ICONEXCLAMATION = 0x30;
inline constexpr unsigned MB_ICONINFORMATION = 0x40;
// Results
inline constexpr int IDOK = 1;
inline constexpr int IDCANCEL = 2;
inline constexpr int IDYES = 6;
inline constexpr int IDNO = 7;

// Shows a modal box and returns the button chosen. Closing it without a button
// gives IDCANCEL for an OK box and IDNO for a Yes/No box.
int ShowMessageBox(QWidget* owner, const QString& text, const QString& caption, unsigned flags);

// The texts of the answer keys (the program's own language); English until set.
void SetMessageBoxButtonTexts(const QString& ok, const QString& yes, const QString& no);

// Closes every open box with this caption (as if closed without a button);
// true when one was open.
bool CloseMessageBoxes(const QString& caption);
bool HasOpenMessageBox(const QString& caption);

struct MessageBoxRecord {
  QString text;
  QString caption;
  unsigned flags = 0;
};

// Queues an answer for the next box (tests).
void PushMessageBoxAnswer(int answer);
// Boxes shown or answered since the last call (tests).
QList<MessageBoxRecord> TakeMessageBoxLog();

// For tests that run a whole program: queues the answers listed in
// NATALO_MESSAGEBOX_ANSWERS (numbers separated by commas), and when
// NATALO_MESSAGEBOX_LOG names a file, appends one line per box to it from now
// on: caption, flags in hexadecimal and text, separated by tabs, in UTF-8 (line
// feeds of the text written as "\n"). Programs call it once at start-up; without
// the variables nothing changes.
void ApplyMessageBoxEnvironment();

}  // namespace keypad
