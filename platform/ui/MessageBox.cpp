#include "platform/ui/MessageBox.h"

#include <QApplication>
#include <QBoxLayout>
#include <QFile>
#include <QKeyEvent>
#include <QLabel>
#include <QPointer>
#include <QQueue>
#include <QScrollArea>
#include <QStyle>

#include "platform/ui/FullScreenDialog.h"
#include "platform/ui/KeypadAccessible.h"
#include "platform/ui/KeypadTheme.h"
#include "platform/ui/SoftKeyBar.h"

namespace keypad {
namespace {

struct ButtonTexts {
  QString ok = QStringLiteral("OK");
  QString yes = QStringLiteral("Yes");
  QString no = QStringLiteral("No");
};

ButtonTexts& Buttons() {
  static ButtonTexts texts;
  return texts;
}

QQueue<int>& Answers() {
  static QQueue<int> answers;
  return answers;
}

QList<MessageBoxRecord>& Log() {
  static QList<MessageBoxRecord> log;
  return log;
}

QString& LogFile() {
  static QString path;
  return path;
}

void AppendToLogFile(const MessageBoxRecord& record) {
  if (LogFile().isEmpty()) return;
  QFile file(LogFile());
  if (!file.open(QIODevice::Append | QIODevice::WriteOnly)) return;
  QString text = record.text;
  text.replace(QLatin1Char('\n'), QLatin1String("\\n"));
  const QString line = record.caption + QLatin1Char('\t') + QString::number(record.flags, 16) + QLatin1Char('\t') +
                       text + QLatin1Char('\n');
  file.write(line.toUtf8());
}

QStyle::StandardPixmap IconOf(unsigned flags, bool& any) {
  any = true;
  switch (flags & 0xF0) {
    case MB_ICONSTOP: return QStyle::SP_MessageBoxCritical;
    case MB_ICONQUESTION: return QStyle::SP_MessageBoxQuestion;
    case MB_ICONEXCLAMATION: return QStyle::SP_MessageBoxWarning;
    case MB_ICONINFORMATION: return QStyle::SP_MessageBoxInformation;
    default: any = false; return QStyle::SP_MessageBoxInformation;
  }
}

// The box: a full screen of the keypad window the owner belongs to, or a
// phone-sized window of its own when there is none.
class MessageScreen : public FullScreenDialog {
 public:
  MessageScreen(KeypadWindow* host, const QString& text, const QString& caption, unsigned flags)
      : FullScreenDialog(host), m_yesNo((flags & 0x0F) == MB_YESNO) {
    setObjectName(QStringLiteral("MessageBox"));
    SetTitle(caption);
    SetBackKeyTakenOver(false);
    auto* row = new QWidget;
    m_row = new QBoxLayout(QBoxLayout::LeftToRight, row);
    m_row->setContentsMargins(8, 8, 8, 8);
    m_row->setSpacing(8);
    bool hasIcon = false;
    const QStyle::StandardPixmap icon = IconOf(flags, hasIcon);
    if (hasIcon) {
      auto* picture = new QLabel;
      picture->setObjectName(QStringLiteral("MessageIcon"));
      picture->setPixmap(style()->standardIcon(icon).pixmap(32, 32));
      picture->setAlignment(Qt::AlignTop);
      m_row->addWidget(picture, 0, Qt::AlignTop | Qt::AlignLeft);
    }
    m_text = new QLabel(text);
    m_text->setObjectName(QStringLiteral("MessageText"));
    m_text->setTextFormat(Qt::PlainText);
    m_text->setWordWrap(true);
    m_text->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    m_text->setFont(CondensedFont(SystemTextHeight(), 400));
    m_row->addWidget(m_text, 1, Qt::AlignTop);
    auto* scroll = new QScrollArea;
    scroll->setFrameShape(QFrame::NoFrame);
    scroll->setWidgetResizable(true);
    scroll->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    scroll->setWidget(row);
    scroll->setFocusPolicy(Qt::NoFocus);
    ContentLayout()->addWidget(scroll);
    if (m_yesNo) {
      SoftKeys()->SetCommandKey(SoftKeyBar::Left, Buttons().yes, IDYES);
      SoftKeys()->SetCommandKey(SoftKeyBar::Right, Buttons().no, IDNO);
    } else {
      SoftKeys()->SetCommandKey(SoftKeyBar::Left, Buttons().ok, IDOK);
      SoftKeys()->HideKey(SoftKeyBar::Right);
    }
    if (host == nullptr) setWindowModality(Qt::ApplicationModal);
    MarkAsAlert(this, text);
  }

  QString Caption() const { return Title(); }
  // Ends the box as if closed without a button.
  void CloseWithoutAnswer() { Done(m_yesNo ? IDNO : IDCANCEL); }

 protected:
  void OnCommand(int command) override { Done(command); }
  void OnBack() override { Done(m_yesNo ? IDNO : IDOK); }
  bool eventFilter(QObject* watched, QEvent* event) override {
    if (event->type() == QEvent::KeyPress && isVisible() && !QApplication::activePopupWidget()) {
      const int key = static_cast<QKeyEvent*>(event)->key();
      auto* target = qobject_cast<QWidget*>(watched);
      if ((key == Qt::Key_Return || key == Qt::Key_Enter) && target != nullptr &&
          (target == this || isAncestorOf(target) || target == window())) {
        Done(m_yesNo ? IDYES : IDOK);
        return true;
      }
    }
    return FullScreenDialog::eventFilter(watched, event);
  }
  // On a narrow screen the icon stands above the text, so that the text has
  // the whole width instead of wrapping after every other word.
  void resizeEvent(QResizeEvent* event) override {
    FullScreenDialog::resizeEvent(event);
    m_row->setDirection(width() < kNarrowWidth ? QBoxLayout::TopToBottom : QBoxLayout::LeftToRight);
  }
  void closeEvent(QCloseEvent* event) override {
    CloseWithoutAnswer();
    FullScreenDialog::closeEvent(event);
  }

 private:
  static constexpr int kNarrowWidth = 200;
  bool m_yesNo;
  QBoxLayout* m_row = nullptr;
  QLabel* m_text = nullptr;
};

QList<QPointer<MessageScreen>>& OpenBoxes() {
  static QList<QPointer<MessageScreen>> boxes;
  return boxes;
}

KeypadWindow* HostOf(QWidget* owner) {
  if (owner != nullptr) {
    if (auto* window = qobject_cast<KeypadWindow*>(owner->window())) return window;
  }
  return KeypadWindow::Current();
}

}  // namespace

void SetMessageBoxButtonTexts(const QString& ok, const QString& yes, const QString& no) {
  Buttons() = {ok, yes, no};
}

int ShowMessageBox(QWidget* owner, const QString& text, const QString& caption, unsigned flags) {
  Log().append({text, caption, flags});
  AppendToLogFile(Log().last());
  if (!Answers().isEmpty()) return Answers().dequeue();

  KeypadWindow* host = HostOf(owner);
  if (host != nullptr && !host->isVisible()) host = nullptr;
  MessageScreen box(host, text, caption, flags);
  OpenBoxes().append(&box);
  const int chosen = box.Exec();
  OpenBoxes().removeAll(&box);
  return chosen;
}

bool CloseMessageBoxes(const QString& caption) {
  bool closed = false;
  for (const auto& box : OpenBoxes()) {
    if (box && box->Caption() == caption) {
      box->CloseWithoutAnswer();
      closed = true;
    }
  }
  return closed;
}

bool HasOpenMessageBox(const QString& caption) {
  for (const auto& box : OpenBoxes()) {
    if (box && box->Caption() == caption) return true;
  }
  return false;
}

void ApplyMessageBoxEnvironment() {
  const QString answers = qEnvironmentVariable("NATALO_MESSAGEBOX_ANSWERS");
  for (const QString& piece : answers.split(QLatin1Char(','), Qt::SkipEmptyParts)) {
    bool ok = false;
    const int answer = piece.trimmed().toInt(&ok);
    if (ok) Answers().enqueue(answer);
  }
  LogFile() = qEnvironmentVariable("NATALO_MESSAGEBOX_LOG");
}

void PushMessageBoxAnswer(int answer) { Answers().enqueue(answer); }

QList<MessageBoxRecord> TakeMessageBoxLog() {
  QList<MessageBoxRecord> out;
  out.swap(Log());
  return out;
}

}  // namespace keypad
