#include "NataloUtil/ReminderDialog.h"

#include <QApplication>
#include <QEvent>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QPixmap>
#include <QPlainTextEdit>
#include <QScrollBar>
#include <QStringList>
#include <QVBoxLayout>

#include "NataloUtil/DeviceLock.h"
#include "NataloUtil/ReminderSession.h"
#include "NataloUtil/ReminderSound.h"
#include "NataloUtil/SnoozeRules.h"
#include "common/log/Log.h"
#include "common/text/LocalTable.h"
#include "platform/registry/DeviceState.h"
#include "platform/registry/Registry.h"
#include "platform/ui/CommandMenu.h"
#include "platform/ui/KeypadAccessible.h"
#include "platform/ui/KeypadTheme.h"
#include "platform/ui/SoftKeyBar.h"

namespace {

constexpr int kPictureSize = 48;
constexpr int kStatePollMs = 250;

QString Text(std::u16string_view key) { return QString::fromStdU16String(GetLocalTable().Get(key)); }
QString Q(const std::u16string& text) { return QString::fromStdU16String(text); }

// Line art (the zodiac sign) in one colour, its shape and edges kept: the
// dark signs would vanish on a dark window.
QImage InkedWith(const QImage& art, const QColor& ink) {
  QImage out = art.convertToFormat(QImage::Format_ARGB32);
  for (int y = 0; y < out.height(); ++y) {
    auto* line = reinterpret_cast<QRgb*>(out.scanLine(y));
    for (int x = 0; x < out.width(); ++x) line[x] = qRgba(ink.red(), ink.green(), ink.blue(), qAlpha(line[x]));
  }
  return out;
}

QLabel* CentredLabel(QWidget* parent, const QFont& font) {
  auto* label = new QLabel(parent);
  label->setAlignment(Qt::AlignCenter);
  label->setTextFormat(Qt::PlainText);
  label->setFont(font);
  return label;
}

}  // namespace

ReminderDialog::ReminderDialog(ReminderSession& session, ReminderSoundPlayer& sound, ReminderView view,
                               keypad::KeypadWindow* host)
    : keypad::FullScreenDialog(host), m_session(session), m_sound(sound), m_view(std::move(view)) {
  m_soundTimer.setSingleShot(false);
  m_soundTimer.setInterval(kSoundTimerMs);
  connect(&m_soundTimer, &QTimer::timeout, this, &ReminderDialog::OnSoundTimer);
  m_stateTimer.setInterval(kStatePollMs);
  connect(&m_stateTimer, &QTimer::timeout, this, [this] {
    if (m_lockWatch && m_lockWatch->Changed()) OnLockStateChanged();
    if (m_phoneWatch && m_phoneWatch->Changed()) OnPhoneStateChanged();
  });
  m_foregroundTimer.setInterval(kForegroundRetryMs);
  connect(&m_foregroundTimer, &QTimer::timeout, this, [this] {
    QWidget* top = window();
    if (m_bClosing || QApplication::activeWindow() == top || ++m_foregroundTries >= kForegroundAttempts) {
      m_foregroundTimer.stop();
      return;
    }
    top->raise();
    top->activateWindow();
  });
  BuildControls();
}

ReminderDialog::~ReminderDialog() = default;

void ReminderDialog::BuildControls() {
  const ReminderTexts& t = m_view.texts;
  const bool hasNote = !t.note.empty();
  const int h = keypad::SystemTextHeight();
  const keypad::KeypadColours colours = keypad::ThemeColours();
  SetTitle(Q(t.title));

  auto* layout = ContentLayout();
  layout->setContentsMargins(4, 4, 4, 4);
  layout->setSpacing(3);
  if (m_view.missed) {
    m_missed = CentredLabel(Content(), keypad::CondensedFont(h, 700, true));
    m_missed->setText(Text(u"DLG_UTIL_MISSED"));
    m_missed->setStyleSheet(QStringLiteral("color: %1;").arg(colours.alert.name()));
    layout->addWidget(m_missed);
  }
  auto* first = new QHBoxLayout;
  first->setSpacing(4);
  m_picture = new QLabel(Content());
  m_picture->setFixedSize(kPictureSize, kPictureSize);
  if (!m_view.picture.isNull()) {
    m_picture->setPixmap(QPixmap::fromImage(
        m_view.picture.scaled(kPictureSize, kPictureSize, Qt::KeepAspectRatio, Qt::SmoothTransformation)));
  }
  m_line1 = CentredLabel(Content(), keypad::CondensedFont(hasNote ? h * 12 / 10 : h * 14 / 10, 700));
  m_line1->setWordWrap(true);
  m_line1->setText(Q(t.line1));
  m_line1->setStyleSheet(QStringLiteral("color: %1;").arg(colours.caption.name()));
  first->addWidget(m_picture, 0, Qt::AlignTop);
  first->addWidget(m_line1, 1);
  layout->addLayout(first);

  m_line2 = CentredLabel(Content(), keypad::CondensedFont(h * 11 / 10, 700));
  m_line2->setWordWrap(true);
  m_line2->setText(Q(t.line2));
  layout->addWidget(m_line2);

  m_zodiacRow = new QWidget(Content());
  auto* zodiac = new QHBoxLayout(m_zodiacRow);
  zodiac->setContentsMargins(0, 0, 0, 0);
  zodiac->setSpacing(3);
  m_zodiacHead = CentredLabel(m_zodiacRow, keypad::CondensedFont(h * 11 / 10, 400));
  m_zodiacPicture = new QLabel(m_zodiacRow);
  if (!m_view.zodiac.isNull()) {
    m_zodiacPicture->setPixmap(
        QPixmap::fromImage(colours.dark ? InkedWith(m_view.zodiac, colours.caption) : m_view.zodiac));
  }
  auto* tail = CentredLabel(m_zodiacRow, keypad::CondensedFont(h * 11 / 10, 400));
  tail->setText(Q(t.zodiacTail));
  zodiac->addStretch(1);
  zodiac->addWidget(m_zodiacHead);
  zodiac->addWidget(m_zodiacPicture);
  zodiac->addWidget(tail);
  zodiac->addStretch(1);
  m_zodiacRow->setVisible(t.showZodiac);
  layout->addWidget(m_zodiacRow);

  m_line3 = CentredLabel(Content(), keypad::CondensedFont(h, 400, true));
  m_line3->setWordWrap(true);
  m_line3->setText(Q(t.line3));
  layout->addWidget(m_line3);

  m_note = new QPlainTextEdit(Content());
  m_note->setReadOnly(true);
  m_note->setFont(keypad::CondensedFont(h, 400));
  m_note->setPlainText(Q(t.note));
  m_note->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  m_note->setTextInteractionFlags(Qt::NoTextInteraction);
  m_note->installEventFilter(this);
  m_note->setVisible(hasNote);
  layout->addWidget(m_note, 1);
  if (!hasNote) layout->addStretch(1);

  // Soft keys: Dismiss on the left, the snooze menu on the right.
  m_menu = new keypad::CommandMenu(this);
  for (int i = 0; i < 3; ++i) {
    const std::u16string key = u"BTN_UTIL_SNOOZE_" + std::u16string(1, static_cast<char16_t>(u'1' + i));
    m_menu->AddCommand(kCmdSnoozeFirst + i, Text(key));
  }
  keypad::CommandMenu* more = m_menu->AddSubMenu(Text(u"BTN_UTIL_SNOOZE_MORE"));
  for (int i = 3; i < 8; ++i) {
    const std::u16string key = u"BTN_UTIL_SNOOZE_" + std::u16string(1, static_cast<char16_t>(u'1' + i));
    more->AddCommand(kCmdSnoozeFirst + i, Text(key));
  }
  m_menu->AddSeparatorLine();
  m_menu->AddCommand(kCmdToggleSound, Text(u"BTN_UTIL_MUTE"));
  for (int command = kCmdSnoozeFirst; command <= kCmdSnoozeLast; ++command) {
    m_menu->SetEnabled(command, IsSnoozeAvailable(command, m_view.daysToEvent));
  }
  // The soft-key bar hands the menu's commands to OnCommand.
  SoftKeys()->SetCommandKey(keypad::SoftKeyBar::Left, Text(u"BTN_UTIL_DISMISS"), kCmdDismiss);
  SoftKeys()->SetMenuKey(keypad::SoftKeyBar::Right, Text(u"BTN_UTIL_MENU"), m_menu);
  m_bSoundOn = true;

  // A screen reader reads the window as an alert: its lines in the order shown.
  QStringList spoken;
  if (m_view.missed) spoken << m_missed->text();
  spoken << Q(t.line1) << Q(t.line2);
  if (t.showZodiac) spoken << (Q(t.zodiacHead) + QLatin1Char(' ') + Q(t.zodiacTail)).trimmed();
  spoken << Q(t.line3) << Q(t.note);
  spoken.removeAll(QString());
  keypad::MarkAsAlert(this, spoken.join(QLatin1Char('\n')));
}

bool ReminderDialog::ZodiacShown() const { return m_zodiacRow->isVisibleTo(this); }
bool ReminderDialog::NoteShown() const { return m_note->isVisibleTo(this); }

void ReminderDialog::LayOut() {
  const ReminderTexts& t = m_view.texts;
  const bool landscape = IsLandscape();
  m_zodiacHead->setText(Q(!landscape && t.note.empty() ? t.zodiacHeadPortrait : t.zodiacHead));
  // The longer head text only where the row still fits on the screen.
  if (m_zodiacRow->sizeHint().width() > Content()->width() - 8) m_zodiacHead->setText(Q(t.zodiacHead));
  // Line 1 wraps to at most three lines upright and two lines turned.
  const int maxLines = landscape ? 2 : 3;
  const QFontMetrics metrics(m_line1->font());
  const int width = std::max(40, Content()->width() - kPictureSize - 16);
  const QRect needed = metrics.boundingRect(QRect(0, 0, width, 10000), Qt::TextWordWrap | Qt::AlignCenter, m_line1->text());
  const int lines = std::clamp((needed.height() + metrics.lineSpacing() - 1) / metrics.lineSpacing(), 1, maxLines);
  m_line1->setFixedHeight(std::max(lines * metrics.lineSpacing(), metrics.lineSpacing()));
}

void ReminderDialog::OnScreenResized(const QSize& size) {
  (void)size;
  LayOut();
}

int ReminderDialog::Run() {
  Open();
  return Exec();
}

void ReminderDialog::Open() {
  WaitWhilePhoneCallActive([](int ms) { SleepMilliseconds(ms); });
  m_bClosing = false;
  LayOut();
  m_lockWatch = std::make_unique<platform::RegistryWatch>(platform::RegistryRoot::LocalMachine,
                                                          std::u16string(platform::kDeviceStateKey),
                                                          std::u16string(platform::kLockValue));
  m_phoneWatch = std::make_unique<platform::RegistryWatch>(platform::RegistryRoot::LocalMachine,
                                                           std::u16string(platform::kPhoneStateKey),
                                                           std::u16string(platform::kPhoneStatusValue));
  m_stateTimer.start();
  m_openedAt.start();
  QTimer::singleShot(0, this, [this] {
    if (m_bClosing) return;
    m_sound.StartSound(this);
    StartSoundTimer();
    BringToFront();
  });
}

void ReminderDialog::BringToFront() {
  if (m_bClosing) return;
  m_foregroundTries = 0;
  if (QWidget* top = window()) {
    top->raise();
    top->activateWindow();
  }
  m_foregroundTimer.start();
}

void ReminderDialog::StartSoundTimer() {
  if (m_bSoundOn && !m_bCallActive && !m_bClosing) m_soundTimer.start();
}

void ReminderDialog::OnActivated() {
  if (m_bClosing) return;
  StartSoundTimer();
  if (QWidget* top = window()) {
    top->raise();
    // Asked only when another window is active: a request while this one is
    // active comes back as another activation, and two windows doing so would
    // hand the focus to and fro for ever.
    if (QApplication::activeWindow() != top) top->activateWindow();
  }
}

void ReminderDialog::RunCommand(int command) {
  if (m_bClosing) return;
  if (command == kCmdToggleSound) {
    if (m_bSoundOn) {
      m_sound.StopSound();
      m_soundTimer.stop();
      m_bSoundOn = false;
      m_menu->SetText(kCmdToggleSound, Text(u"BTN_UTIL_PLAY"));
    } else {
      m_sound.StartSound(this);
      m_bSoundOn = true;
      StartSoundTimer();
      m_menu->SetText(kCmdToggleSound, Text(u"BTN_UTIL_MUTE"));
    }
    return;
  }
  if (command == kCmdDismiss || command == kCmdCancel) {
    m_bClosing = true;
    m_session.DismissActiveReminder();
    End();
    return;
  }
  if (const std::uint32_t seconds = SnoozeSecondsOfCommand(command)) {
    if (!IsSnoozeAvailable(command, m_view.daysToEvent)) return;
    m_bClosing = true;
    m_session.SetReminderSnooze(seconds, false);
    End();
  }
}

void ReminderDialog::OnSoundTimer() {
  if (m_bClosing || !m_bSoundOn) return;
  m_bClosing = true;
  m_session.SetReminderSnooze(0, true);
  End();
}

void ReminderDialog::OnLockStateChanged() {
  if (m_bClosing || ReadLockState() != 0) return;
  if (QApplication::activeWindow() == window()) return;
  BringToFront();
}

void ReminderDialog::OnPhoneStateChanged() {
  if (m_bClosing) return;
  if (IsPhoneCallActive()) {
    m_bCallActive = true;
    m_soundTimer.stop();
  } else if (m_bCallActive) {
    m_bCallActive = false;
    OnActivated();
  }
}

void ReminderDialog::End() {
  m_bClosing = true;
  m_sound.StopSound();
  m_soundTimer.stop();
  m_stateTimer.stop();
  m_foregroundTimer.stop();
  m_lockWatch.reset();
  m_phoneWatch.reset();
  Done(keypad::kResultCancel);
}

bool ReminderDialog::eventFilter(QObject* watched, QEvent* event) {
  const auto type = event->type();
  if ((type == QEvent::KeyPress || type == QEvent::KeyRelease) && !QApplication::activePopupWidget() &&
      (!m_openedAt.isValid() || m_openedAt.elapsed() < kKeyGraceMs)) {
    // Typed into another program as the window came up: not meant for it.
    auto* target = qobject_cast<QWidget*>(watched);
    if (target && target->window() == window()) return true;
  }
  if (watched == m_note && (type == QEvent::KeyPress || type == QEvent::KeyRelease || type == QEvent::InputMethod)) {
    const int key = type == QEvent::InputMethod ? 0 : static_cast<QKeyEvent*>(event)->key();
    // The soft keys keep working over the note; the Back key goes to the
    // screen, which ignores it.
    if (key == Qt::Key_F1 || key == Qt::Key_F2 || key == Qt::Key_Escape || key == Qt::Key_Backspace) {
      return keypad::FullScreenDialog::eventFilter(watched, event);
    }
    if (type == QEvent::KeyPress) {
      if (key == Qt::Key_Up || key == Qt::Key_Down) {
        QScrollBar* bar = m_note->verticalScrollBar();
        bar->setValue(bar->value() + (key == Qt::Key_Down ? 1 : -1));
      }
    }
    return true;
  }
  return keypad::FullScreenDialog::eventFilter(watched, event);
}

bool ReminderDialog::event(QEvent* event) {
  if (event->type() == QEvent::Paint && !m_bPainted) {
    m_bPainted = true;
    const bool handled = keypad::FullScreenDialog::event(event);
    QTimer::singleShot(0, this, [this] { emit firstPainted(); });
    return handled;
  }
  if (event->type() == QEvent::WindowActivate) OnActivated();
  return keypad::FullScreenDialog::event(event);
}
