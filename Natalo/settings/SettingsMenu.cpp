#include "Natalo/settings/SettingsMenu.h"

#include <QKeyEvent>
#include <QListWidget>

#include "Natalo/AppText.h"
#include "platform/ui/DialogHost.h"
#include "Natalo/settings/ReminderOptionsDialog.h"
#include "Natalo/settings/SoundOptionsDialog.h"
#include "Natalo/settings/ViewOptionsDialog.h"
#include "platform/ui/KeypadTheme.h"
#include "platform/ui/SoftKeyBar.h"

namespace {

constexpr int kCommandDone = 32788;
constexpr const char16_t* kRowKeys[] = {u"DLG_HEADER_OPTIONS_VIEW", u"DLG_HEADER_REMINDER_OPTIONS",
                                        u"DLG_HEADER_SOUNDS"};

}  // namespace

SettingsMenu::SettingsMenu(const SettingsHooks& hooks, QWidget* parent)
    : FullScreenDialog(keypad::DialogHost(parent)), m_hooks(hooks) {
  const LocalTable& t = LocalText();
  SetTitle(ToQString(t.Get(u"MENU_SETTINGS")));
  SoftKeys()->SetCommandKey(keypad::SoftKeyBar::Left, ToQString(t.Get(u"BTN_DONE")), kCommandDone);

  m_rows = new QListWidget;
  m_rows->setFont(keypad::LabelFont());
  m_rows->setFrameShape(QFrame::NoFrame);
  m_rows->setSelectionBehavior(QAbstractItemView::SelectRows);
  m_rows->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  for (int row = 0; row < 3; ++row) {
    m_rows->addItem(QStringLiteral(" %1  %2").arg(row + 1).arg(ToQString(t.Get(kRowKeys[row]))));
  }
  m_rows->setCurrentRow(0);
  m_rows->installEventFilter(this);
  connect(m_rows, &QListWidget::itemActivated, this, [this] { OpenRow(m_rows->currentRow()); });
  ContentLayout()->addWidget(m_rows);
  m_rows->setFocus(Qt::OtherFocusReason);
}

void SettingsMenu::OpenRow(int row) {
  if (row < 0 || row > 2) return;
  m_rows->setCurrentRow(row);
  m_rows->scrollToItem(m_rows->item(row));
  switch (row) {
    case 0:
      if (ViewOptionsDialog(this).Exec() == keypad::kResultDone && m_hooks.viewChanged) m_hooks.viewChanged();
      break;
    case 1:
      if (ReminderOptionsDialog(this).Exec() == keypad::kResultDone && m_hooks.reminderDefaultsChanged) {
        m_hooks.reminderDefaultsChanged();
      }
      break;
    default: SoundOptionsDialog(this).Exec(); break;
  }
  m_rows->setFocus(Qt::OtherFocusReason);
}

void SettingsMenu::OnCommand(int command) {
  (void)command;
  Done(keypad::kResultCancel);
}

bool SettingsMenu::eventFilter(QObject* watched, QEvent* event) {
  if (watched == m_rows && event->type() == QEvent::KeyPress) {
    const auto* key = static_cast<QKeyEvent*>(event);
    if (key->key() >= Qt::Key_1 && key->key() <= Qt::Key_3) {
      OpenRow(key->key() - Qt::Key_1);
      return true;
    }
    if (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter || key->key() == Qt::Key_Select) {
      OpenRow(m_rows->currentRow());
      return true;
    }
    // Other characters would move the selection by the rows' first letters.
    if (!key->text().isEmpty() && key->text().at(0).isPrint()) return true;
  }
  return FullScreenDialog::eventFilter(watched, event);
}

int OpenSettingsMenu(QWidget* owner, const SettingsHooks& hooks) {
  SettingsMenu menu(hooks, owner);
  menu.Exec();
  return keypad::kResultCancel;
}
