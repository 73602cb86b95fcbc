#pragma once
// One full screen of the keypad window: a title strip, the content, and the
// soft-key bar. Handles the Back key (Escape, or Backspace outside text fields):
// in a text field it deletes the character before the caret; elsewhere its
// release calls OnBack().
#include <QSize>
#include <QString>
#include <QVBoxLayout>
#include <QWidget>

class QLabel;
class QVBoxLayout;

namespace keypad {

class SoftKeyBar;

class KeypadScreen : public QWidget {
  Q_OBJECT

 public:
  explicit KeypadScreen(QWidget* parent = nullptr);

  void SetTitle(const QString& title);
  QString Title() const;
  SoftKeyBar* SoftKeys() const { return m_softKeys; }
  // The area between title and soft keys; put the screen's widgets here.
  QWidget* Content() const { return m_content; }
  // Installs a layout on Content() (or returns the one there).
  QVBoxLayout* ContentLayout();

  // When false (the default), the Back key anywhere acts at once on key-down
  // like a cancel; when true the screen has taken it over: text fields get it
  // as a delete, elsewhere its key-up calls OnBack().
  void SetBackKeyTakenOver(bool taken) { m_backTakenOver = taken; }
  bool BackKeyTakenOver() const { return m_backTakenOver; }

  // Is the screen wider than it is tall?
  bool IsLandscape() const { return width() > height(); }

 signals:
  void commandChosen(int command);

 protected:
  // What the Back key does when it is not handed to a text field.
  virtual void OnBack() {}
  // The soft keys and menus send their command numbers here.
  virtual void OnCommand(int command) { emit commandChosen(command); }
  // Called when the screen's size changes to a new size (the screen turned).
  virtual void OnScreenResized(const QSize& size) { (void)size; }

  bool eventFilter(QObject* watched, QEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void showEvent(QShowEvent* event) override;
  void hideEvent(QHideEvent* event) override;
  bool event(QEvent* event) override;

 private:
  bool HandleBackKey(QKeyEvent* key, bool press);
  // The title at the strip's width; a title too long ends in "…".
  void ShowTitle();
  void ColourTitle();

  QString m_titleText;
  QLabel* m_title = nullptr;
  QWidget* m_content = nullptr;
  SoftKeyBar* m_softKeys = nullptr;
  bool m_backTakenOver = false;
  bool m_backDown = false;
  QSize m_lastSize;
};

// True for widgets that edit text (the Back key deletes there).
bool IsTextField(const QWidget* widget);

}  // namespace keypad
