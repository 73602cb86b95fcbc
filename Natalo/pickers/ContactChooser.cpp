#include "Natalo/pickers/ContactChooser.h"

#include <QApplication>
#include <QKeyEvent>

#include <algorithm>

#include "Natalo/AppText.h"
#include "Natalo/pickers/ChoosingDialog.h"
#include "common/entries/FeskItem.h"
#include "common/entries/TextFormat.h"
#include "platform/contacts/ContactStore.h"
#include "platform/ui/FullScreenDialog.h"
#include "platform/ui/PictureList.h"
#include "platform/ui/SoftKeyBar.h"
#include "platform/ui/TextFields.h"

std::vector<ContactChoice> ListContactChoices(const platform::ContactStore& store) {
  std::vector<ContactChoice> out;
  platform::ContactFolder folder;
  if (!store.GetDefaultFolder(platform::FOLDER_CONTACTS, folder)) return out;
  for (int i = 1; i <= folder.GetCount(); ++i) {
    platform::ContactItem item;
    if (!folder.GetItem(i, item)) continue;
    FeskItem person(Birthday);
    std::u16string first, last;
    item.GetFirstName(first);
    item.GetLastName(last);
    // Shown as the editors will take them: without leading and trailing spaces.
    person.SetFirstName(TrimSpaces(first));
    person.SetLastName(TrimSpaces(last));
    const QString name = QString::fromStdU16String(person.GetDisplayName()).trimmed();
    // A contact whose names are only spaces has nothing to show or to take.
    if (name.isEmpty() || name == QLatin1String(",")) continue;
    out.push_back({name, item.GetOid()});
  }
  std::stable_sort(out.begin(), out.end(), [](const ContactChoice& a, const ContactChoice& b) {
    return QString::compare(a.name, b.name, Qt::CaseInsensitive) < 0;
  });
  return out;
}

namespace {

class ContactChooser : public ChoosingDialog {
 public:
  ContactChooser(std::vector<ContactChoice> choices, QWidget* parent)
      : ChoosingDialog(parent), m_choices(std::move(choices)) {
    const LocalTable& t = LocalText();
    SetTitle(ToQString(t.Get(u"DLG_CONTACTS_HEADER")));
    // Escape cancels at once; Backspace deletes in the search field.
    SetBackKeyTakenOver(false);
    m_search = new keypad::LineField;
    m_search->SetLimit(64);
    m_search->setPlaceholderText(ToQString(t.Get(u"DLG_CONTACTS_SEARCH")));
    m_list = new keypad::PictureList;
    m_list->setFocusPolicy(Qt::NoFocus);
    ContentLayout()->addWidget(m_search);
    ContentLayout()->addWidget(m_list, 1);
    m_search->installEventFilter(this);
    connect(m_search, &QLineEdit::textChanged, this, [this] { Fill(); });
    connect(m_list, &QListWidget::itemActivated, this, [this] { Choose(); });
    Fill();
  }

  std::uint32_t Chosen() const { return m_chosen; }
  keypad::PictureList* List() const { return m_list; }

 protected:
  void OnBack() override { Done(keypad::kResultCancel); }

  bool eventFilter(QObject* watched, QEvent* event) override {
    if (watched == m_search && event->type() == QEvent::KeyPress) {
      auto* key = static_cast<QKeyEvent*>(event);
      if (key->key() == Qt::Key_Up || key->key() == Qt::Key_Down || key->key() == Qt::Key_PageUp ||
          key->key() == Qt::Key_PageDown) {
        QKeyEvent copy(QEvent::KeyPress, key->key(), key->modifiers());
        QApplication::sendEvent(m_list, &copy);
        return true;
      }
      if (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) {
        Choose();
        return true;
      }
    }
    return FullScreenDialog::eventFilter(watched, event);
  }

 private:
  void Fill() {
    const QString needle = m_search->text().trimmed();
    m_list->clear();
    for (const ContactChoice& c : m_choices) {
      if (!needle.isEmpty() && !c.name.contains(needle, Qt::CaseInsensitive)) continue;
      m_list->AddRow({}, c.name, QVariant::fromValue<quint32>(c.oid));
    }
    m_list->SelectRow(0);
  }

  void Choose() override {
    if (m_list->currentRow() < 0) return;
    m_chosen = m_list->RowData(m_list->currentRow()).value<quint32>();
    Done(keypad::kResultDone);
  }

  std::vector<ContactChoice> m_choices;
  keypad::LineField* m_search = nullptr;
  keypad::PictureList* m_list = nullptr;
  std::uint32_t m_chosen = 0;
};

}  // namespace

int RunContactChooser(const platform::ContactStore& store, std::uint32_t& oid, QWidget* parent) {
  ContactChooser chooser(ListContactChoices(store), parent);
  const int result = chooser.Exec();
  if (result != keypad::kResultDone) return keypad::kResultCancel;
  oid = chooser.Chosen();
  return keypad::kResultDone;
}
