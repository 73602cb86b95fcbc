#include "platform/ui/MessageBox.h"

#include <QFile>
#include <QMessageBox>
#include <QPointer>
#include <QQueue>

namespace keypad {
namespace {

QQueue<int>& Answers() {
  static QQueue<int> answers;
  return answers;
}

QList<MessageBoxRecord>& Log() {
  static QList<MessageBoxRecord> log;
  return log;
}

QList<QPointer<QMessageBox>>& OpenBoxes() {
  static QList<QPointer<QMessageBox>> boxes;
  return boxes;
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

QMessageBox::Icon IconOf(unsigned flags) {
  switch (flags & 0xF0) {
    case MB_ICONSTOP:
      return QMessageBox::Critical;
    case MB_ICONQUESTION:
      return QMessageBox::Question;
    case MB_ICONEXCLAMATION:
      return QMessageBox::Warning;
    case MB_ICONINFORMATION:
      return QMessageBox::Information;
    default:
      return QMessageBox::NoIcon;
  }
}

}  // namespace

int ShowMessageBox(QWidget* owner, const QString& text, const QString& caption, unsigned flags) {
  Log().append({text, caption, flags});
  AppendToLogFile(Log().last());
  if (!Answers().isEmpty()) return Answers().dequeue();

  const bool yesNo = (flags & 0x0F) == MB_YESNO;
  QMessageBox box(IconOf(flags), caption, text, yesNo ? (QMessageBox::Yes | QMessageBox::No) : QMessageBox::Ok,
                  owner);
  box.setEscapeButton(yesNo ? QMessageBox::No : QMessageBox::Ok);
  OpenBoxes().append(&box);
  const int chosen = box.exec();
  OpenBoxes().removeAll(&box);
  if (yesNo) return chosen == QMessageBox::Yes ? IDYES : IDNO;
  return chosen == QMessageBox::Ok ? IDOK : IDCANCEL;
}

bool CloseMessageBoxes(const QString& caption) {
  bool closed = false;
  for (const auto& box : OpenBoxes()) {
    if (box && box->windowTitle() == caption) {
      box->done(-1);
      closed = true;
    }
  }
  return closed;
}

bool HasOpenMessageBox(const QString& caption) {
  for (const auto& box : OpenBoxes()) {
    if (box && box->windowTitle() == caption) return true;
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
