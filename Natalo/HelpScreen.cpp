#include "Natalo/HelpScreen.h"

#include <QKeyEvent>
#include <QTextBlock>
#include <QTextBrowser>
#include <QTextDocument>
#include <QTextFragment>

#include <vector>

#include "Natalo/AppText.h"
#include "platform/ui/KeypadTheme.h"
#include "platform/ui/SoftKeyBar.h"

namespace {

// A text browser for a keypad: Right and Left walk through the links (a phone
// has no Tab key), the action key follows the selected one.
class HelpBrowser : public QTextBrowser {
 public:
  using QTextBrowser::QTextBrowser;

 protected:
  void keyPressEvent(QKeyEvent* event) override {
    if (event->key() == Qt::Key_Right || event->key() == Qt::Key_Left) {
      SelectLink(event->key() == Qt::Key_Right);
      return;
    }
    QTextBrowser::keyPressEvent(event);
  }

 private:
  struct Link {
    int start = 0;
    int end = 0;
  };

  std::vector<Link> Links() const {
    std::vector<Link> links;
    for (QTextBlock block = document()->begin(); block.isValid(); block = block.next()) {
      for (auto it = block.begin(); !it.atEnd(); ++it) {
        const QTextFragment fragment = it.fragment();
        if (!fragment.isValid() || fragment.charFormat().anchorHref().isEmpty()) continue;
        const int end = fragment.position() + fragment.length();
        // A link split into fragments of different formats is still one link.
        if (!links.empty() && links.back().end == fragment.position()) {
          links.back().end = end;
        } else {
          links.push_back({fragment.position(), end});
        }
      }
    }
    return links;
  }

  // Selects the link after (or before) the selected one; without a selected
  // link on screen, the first one from the top of the view (or the last one
  // above its bottom). At the end of the links the selection stays.
  void SelectLink(bool next) {
    const QTextCursor current = textCursor();
    const bool onScreen = current.hasSelection() && viewport()->rect().intersects(cursorRect(current));
    int from = 0;
    if (onScreen) {
      from = next ? current.selectionEnd() : current.selectionStart();
    } else {
      from = cursorForPosition(next ? QPoint(0, 0) : QPoint(viewport()->width(), viewport()->height()))
                 .position();
    }
    const std::vector<Link> links = Links();
    const Link* chosen = nullptr;
    for (const Link& link : links) {
      if (next && link.start >= from) {
        chosen = &link;
        break;
      }
      if (!next && link.end <= from) chosen = &link;
    }
    if (chosen == nullptr) return;
    QTextCursor cursor(document());
    cursor.setPosition(chosen->start);
    cursor.setPosition(chosen->end, QTextCursor::KeepAnchor);
    setTextCursor(cursor);
    ensureCursorVisible();
  }
};

}  // namespace

HelpScreen::HelpScreen(const QString& file, keypad::KeypadWindow* host) : FullScreenDialog(host) {
  const LocalTable& t = LocalText();
  SetTitle(ToQString(t.Get(u"MENU_HELP")));
  // Back closes at once: the view edits nothing.
  SetBackKeyTakenOver(false);
  m_browser = new HelpBrowser(Content());
  m_browser->setObjectName(QStringLiteral("HelpText"));
  m_browser->setFrameShape(QFrame::NoFrame);
  m_browser->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  m_browser->setFont(keypad::CondensedFont(keypad::SystemTextHeight(), 400));
  // The page's own headings are sized for a desktop browser.
  m_browser->document()->setDefaultStyleSheet(QStringLiteral(
      "h1 { font-size: large; } h2 { font-size: medium; } table { border-collapse: collapse; }"));
  // Only links into the help itself are followed; the view has no network.
  m_browser->setOpenLinks(false);
  connect(m_browser, &QTextBrowser::anchorClicked, this, [this](const QUrl& link) {
    const QUrl target = m_browser->source().resolved(link);
    if (target.isLocalFile()) m_browser->setSource(target);
  });
  m_browser->setSource(QUrl::fromLocalFile(file));
  ContentLayout()->addWidget(m_browser);
  SoftKeys()->SetCommandKey(keypad::SoftKeyBar::Left, ToQString(t.Get(u"BTN_OK")), keypad::kResultDone);
  SoftKeys()->HideKey(keypad::SoftKeyBar::Right);
}

void HelpScreen::OnCommand(int command) {
  Done(command);
}

void ShowHelpScreen(const QString& file, keypad::KeypadWindow* host) {
  HelpScreen screen(file, host);
  screen.Exec();
}
