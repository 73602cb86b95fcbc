#include "Natalo/AboutBox.h"

#include <QBuffer>
#include <QImage>
#include <QTextBrowser>

#include "Natalo/AppText.h"
#include "common/text/Version.h"
#include "platform/imaging/AppPictures.h"
#include "platform/ui/FullScreenDialog.h"
#include "platform/ui/KeypadTheme.h"
#include "platform/ui/SoftKeyBar.h"

namespace {

QString Paragraph(const std::u16string& text) {
  return QStringLiteral("<p>") + ToQString(text).toHtmlEscaped() + QStringLiteral("</p>");
}

QString IconAsHtml() {
  const QImage icon = LoadAppIcon(48);
  if (icon.isNull()) return {};
  QByteArray png;
  QBuffer buffer(&png);
  buffer.open(QIODevice::WriteOnly);
  icon.save(&buffer, "PNG");
  return QStringLiteral("<img src=\"data:image/png;base64,") + QString::fromLatin1(png.toBase64()) +
         QStringLiteral("\" width=\"48\" height=\"48\">");
}

}  // namespace

QString AboutText(const QString& appName) {
  const LocalTable& t = LocalText();
  QString html = QStringLiteral("<div align=\"center\">") + IconAsHtml() + QStringLiteral("<h3>") +
                 appName.toHtmlEscaped() + QStringLiteral("</h3>") +
                 ToQString(t.Get(u"ABOUT_VERSION")).toHtmlEscaped().replace(QLatin1String("%s"),
                                                                           QStringLiteral(NATALO_VERSION)) +
                 QStringLiteral("</div>");
  html += Paragraph(t.Get(u"ABOUT_PURPOSE"));
  html += Paragraph(t.Get(u"ABOUT_LICENCE"));
  html += Paragraph(t.Get(u"ABOUT_PICTURES"));
  html += Paragraph(t.Get(u"ABOUT_FONTS"));
  return html;
}

void ShowAboutBox(const QString& appName, keypad::KeypadWindow* host) {
  keypad::FullScreenDialog box(host);
  box.SetTitle(ToQString(LocalText().Get(u"MENU_ABOUT")));
  box.SetBackKeyTakenOver(false);
  auto* text = new QTextBrowser(box.Content());
  text->setObjectName(QStringLiteral("AboutText"));
  text->setFrameShape(QFrame::NoFrame);
  text->setFont(keypad::CondensedFont(keypad::SystemTextHeight(), 400));
  text->setHtml(AboutText(appName));
  box.ContentLayout()->addWidget(text);
  box.SoftKeys()->SetCommandKey(keypad::SoftKeyBar::Left, ToQString(LocalText().Get(u"BTN_OK")),
                                keypad::kResultDone);
  box.SoftKeys()->HideKey(keypad::SoftKeyBar::Right);
  QObject::connect(&box, &keypad::KeypadScreen::commandChosen, &box, [&box](int result) { box.Done(result); });
  box.Exec();
}
