#include "Natalo/ViewNoteDialog.h"

#include <QKeyEvent>
#include <QLabel>
#include <QPlainTextEdit>
#include <QScrollBar>
#include <QSignalBlocker>
#include <QTextCursor>

#include <algorithm>

#include "Natalo/AppText.h"
#include "common/entries/FeskItem.h"
#include "platform/ui/KeypadTheme.h"
#include "platform/ui/SoftKeyBar.h"

namespace {
constexpr int kCommandDone = 1;
constexpr int kCommandCancel = 2;
}  // namespace

ViewNoteDialog::ViewNoteDialog(FeskItem& entry, keypad::KeypadWindow* host)
    : FullScreenDialog(host), m_entry(entry) {
  const LocalTable& t = LocalText();
  SetTitle(QString::fromStdU16String(entry.GetDisplayName()));
  const int h = keypad::SystemTextHeight();
  m_label = new QLabel(ToQString(t.Get(u"DLG_VIEWNOTE_NOTE")), Content());
  m_label->setFont(keypad::CondensedFont(h, 700));
  m_note = new QPlainTextEdit(Content());
  m_note->setObjectName(QStringLiteral("NoteField"));
  m_note->setFont(keypad::CondensedFont(h * 12 / 10, 400));
  m_note->setPlainText(EntryQString(entry.Note()));
  m_note->setTabChangesFocus(true);
  m_note->setLineWrapMode(QPlainTextEdit::WidgetWidth);
  m_note->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  // The margins of the phone: wider on its larger screen.
  m_margin = keypad::kHighResolutionWidth < (host != nullptr ? host->width() : keypad::kDefaultScreenSize.width())
                 ? 24
                 : 16;

  SoftKeys()->SetCommandKey(keypad::SoftKeyBar::Left, ToQString(t.Get(u"BTN_DONE")), kCommandDone);
  if (entry.IsStar()) {
    // Read only: no caret, Up and Down scroll, every other key is dropped.
    m_note->setReadOnly(true);
    m_note->setTextInteractionFlags(Qt::NoTextInteraction);
    m_note->setFocusPolicy(Qt::StrongFocus);
    SoftKeys()->HideKey(keypad::SoftKeyBar::Right);
    SetBackKeyTakenOver(false);
  } else {
    SoftKeys()->SetCommandKey(keypad::SoftKeyBar::Right, ToQString(t.Get(u"BTN_CANCEL")), kCommandCancel);
    connect(m_note, &QPlainTextEdit::textChanged, this, [this] {
      if (m_note->document()->characterCount() - 1 <= kMaxNoteChars) return;
      const QSignalBlocker block(m_note);
      QTextCursor cursor = m_note->textCursor();
      const int position = cursor.position();
      m_note->setPlainText(m_note->toPlainText().left(kMaxNoteChars));
      cursor = m_note->textCursor();
      cursor.setPosition(std::min(position, kMaxNoteChars));
      m_note->setTextCursor(cursor);
    });
    QTextCursor end = m_note->textCursor();
    end.movePosition(QTextCursor::End);
    m_note->setTextCursor(end);
  }
  LayOut(host != nullptr ? host->size() : keypad::kDefaultScreenSize);
}

void ViewNoteDialog::LayOut(const QSize& size) {
  const int margin = size.width() > size.height() ? m_margin / 2 : m_margin;
  QVBoxLayout* layout = ContentLayout();
  if (layout->count() == 0) {
    layout->addWidget(m_label);
    layout->addWidget(m_note, 1);
  }
  layout->setContentsMargins(margin, 4, margin, 4);
  layout->setSpacing(2);
}

void ViewNoteDialog::OnScreenResized(const QSize& size) { LayOut(size); }

void ViewNoteDialog::OnCommand(int command) {
  if (command == kCommandDone) {
    Finish();
  } else if (command == kCommandCancel) {
    Done(keypad::kResultCancel);
  }
}

void ViewNoteDialog::Finish() {
  if (m_entry.IsStar()) {
    Done(keypad::kResultCancel);
    return;
  }
  const std::u16string text = m_note->toPlainText().left(kMaxNoteChars).toStdU16String();
  // Letter case counts: a note changed only in case is a change the user wants.
  if (text == m_entry.Note()) {
    Done(keypad::kResultCancel);
    return;
  }
  m_entry.SetNote(text);
  Done(keypad::kResultDone);
}

bool ViewNoteDialog::eventFilter(QObject* watched, QEvent* event) {
  // The soft keys and the Back key first; then a star's note takes only Up and Down.
  if (FullScreenDialog::eventFilter(watched, event)) return true;
  if (watched != m_note || !m_entry.IsStar() || !isVisible()) return false;
  switch (event->type()) {
    case QEvent::KeyPress: {
      const int key = static_cast<QKeyEvent*>(event)->key();
      QScrollBar* bar = m_note->verticalScrollBar();
      if (key == Qt::Key_Up) bar->setValue(bar->value() - 1);
      if (key == Qt::Key_Down) bar->setValue(bar->value() + 1);
      return true;
    }
    case QEvent::KeyRelease:
    case QEvent::InputMethod:
    case QEvent::ShortcutOverride:
      return true;
    default:
      return false;
  }
}

int RunViewNoteDialog(FeskItem& entry, keypad::KeypadWindow* host) {
  ViewNoteDialog dialog(entry, host);
  return dialog.Exec();
}
