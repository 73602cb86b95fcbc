#include "platform/contacts/ContactStore.h"

#include "platform/contacts/ContactDirectory.h"
#include "platform/contacts/ContactsFolderPath.h"

namespace platform {
namespace {

double ToVariant(const ContactDate& date) {
  double value = VARIANT_DATE_NOT_SET;
  if (!ContactDateToVariant(date, value)) return VARIANT_DATE_NOT_SET;
  return value;
}

}  // namespace

std::uint32_t ContactItem::GetOid() const { return m_dir ? m_dir->records[m_index].oid : 0; }

bool ContactItem::GetFirstName(std::u16string& out) const {
  out = m_dir ? m_dir->records[m_index].fields.firstName : std::u16string();
  return !out.empty();
}

bool ContactItem::GetLastName(std::u16string& out) const {
  out = m_dir ? m_dir->records[m_index].fields.lastName : std::u16string();
  return !out.empty();
}

ContactDate ContactItem::GetBirthdayDate() const { return m_dir ? m_dir->records[m_index].fields.birthday : ContactDate{}; }

ContactDate ContactItem::GetAnniversaryDate() const {
  return m_dir ? m_dir->records[m_index].fields.anniversary : ContactDate{};
}

double ContactItem::GetBirthday() const { return ToVariant(GetBirthdayDate()); }

double ContactItem::GetAnniversary() const { return ToVariant(GetAnniversaryDate()); }

bool ContactItem::SetDate(double value, std::optional<ContactDate>& pending) {
  if (!m_dir) return false;
  if (value == VARIANT_DATE_NOT_SET) {
    pending = ContactDate{};
    return true;
  }
  ContactDate date;
  if (!VariantToContactDate(value, date)) return false;
  pending = date;
  return true;
}

bool ContactItem::SetBirthday(double value) { return SetDate(value, m_newBirthday); }

bool ContactItem::SetAnniversary(double value) { return SetDate(value, m_newAnniversary); }

bool ContactItem::Save() {
  if (!m_dir) return false;
  if (!m_newBirthday && !m_newAnniversary) return true;
  if (!WriteContactDates(*m_dir, m_index, m_newBirthday, m_newAnniversary)) return false;
  m_newBirthday.reset();
  m_newAnniversary.reset();
  return true;
}

int ContactFolder::GetCount() const { return m_dir ? static_cast<int>(m_dir->records.size()) : 0; }

bool ContactFolder::GetItem(int index, ContactItem& out) const {
  if (!m_dir || index < 1 || static_cast<std::size_t>(index) > m_dir->records.size()) return false;
  out = ContactItem(m_dir, static_cast<std::size_t>(index - 1));
  return true;
}

ContactStore::ContactStore() : m_useSettings(true) {}

ContactStore::ContactStore(std::string folder) : m_folder(std::move(folder)) {}

ContactStore::~ContactStore() = default;

bool ContactStore::Logon(const std::function<void(std::size_t filesRead, std::size_t files)>& progress) {
  if (m_useSettings) m_folder = GetContactsFolderPath();
  auto dir = std::make_shared<ContactDirectory>();
  if (m_folder.empty() || !LoadContactDirectory(m_folder, *dir, progress)) return false;
  m_dir = std::move(dir);
  return true;
}

void ContactStore::Logoff() { m_dir.reset(); }

bool ContactStore::GetDefaultFolder(int kind, ContactFolder& out) const {
  if (!m_dir || kind != FOLDER_CONTACTS) return false;
  out = ContactFolder(m_dir);
  return true;
}

bool ContactStore::GetItemFromOid(std::uint32_t oid, ContactItem& out) const {
  if (!m_dir) return false;
  auto it = m_dir->byOid.find(oid);
  if (it == m_dir->byOid.end()) return false;
  out = ContactItem(m_dir, it->second);
  return true;
}

}  // namespace platform
