#pragma once
// The contact store: the user's contacts, kept as a folder of vCards (one .vcf
// file per contact, as address-book synchronisers keep them; files holding
// several cards are read too).
//
// A store is used from one thread at a time. Log-on reads the folder; items
// fetched afterwards are snapshots that stay valid after log-off. Dates are
// variant day numbers (VariantDate.h); VARIANT_DATE_NOT_SET (949998.0) means
// that the contact has no such date.
//
// Dates without a year: a card may give a birthday or anniversary as day and
// month only ("--0314", or Apple's 1604 with X-APPLE-OMIT-YEAR). GetBirthday()
// and GetAnniversary() report such a date as VARIANT_DATE_NOT_SET, so that no
// caller computes an age from a placeholder year. GetBirthdayDate() and
// GetAnniversaryDate() report it with yearKnown false and the year
// CONTACT_YEAR_UNKNOWN (1604); writing a variant date in that year writes a
// date without a year.
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "platform/contacts/ContactDate.h"
#include "platform/contacts/VariantDate.h"

namespace platform {

struct ContactDirectory;

// The folder kind of the contacts folder, the only kind this store has.
inline constexpr int FOLDER_CONTACTS = 10;

class ContactItem {
 public:
  ContactItem() = default;

  bool IsValid() const { return m_dir != nullptr; }
  std::uint32_t GetOid() const;
  // False (and an empty text) when the card has no such name.
  bool GetFirstName(std::u16string& out) const;
  bool GetLastName(std::u16string& out) const;
  double GetBirthday() const;
  double GetAnniversary() const;
  ContactDate GetBirthdayDate() const;
  ContactDate GetAnniversaryDate() const;

  // Change the date to be written by Save(); the time of day is ignored and
  // VARIANT_DATE_NOT_SET removes the date. False for a value that is no date.
  bool SetBirthday(double value);
  bool SetAnniversary(double value);
  // Writes the changed dates into the contact's card; every other byte of the
  // file stays as it was. False when the file cannot be written or the card is
  // gone; the file is then unchanged.
  bool Save();

 private:
  friend class ContactFolder;
  friend class ContactStore;
  ContactItem(std::shared_ptr<ContactDirectory> dir, std::size_t index) : m_dir(std::move(dir)), m_index(index) {}
  bool SetDate(double value, std::optional<ContactDate>& pending);

  std::shared_ptr<ContactDirectory> m_dir;
  std::size_t m_index = 0;
  std::optional<ContactDate> m_newBirthday;
  std::optional<ContactDate> m_newAnniversary;
};

class ContactFolder {
 public:
  ContactFolder() = default;
  int GetCount() const;
  // Item at a 1-based index, in the order of the files' names.
  bool GetItem(int index, ContactItem& out) const;

 private:
  friend class ContactStore;
  explicit ContactFolder(std::shared_ptr<ContactDirectory> dir) : m_dir(std::move(dir)) {}
  std::shared_ptr<ContactDirectory> m_dir;
};

class ContactStore {
 public:
  // The folder named by the settings (ContactsFolderPath.h), resolved at log-on.
  ContactStore();
  explicit ContactStore(std::string folder);
  ~ContactStore();
  ContactStore(const ContactStore&) = delete;
  ContactStore& operator=(const ContactStore&) = delete;

  // Reads the folder. A missing folder is an empty store; false when the path
  // names something that is not a readable folder. `progress` hears the files
  // read so far of all (a large folder takes a while).
  bool Logon(const std::function<void(std::size_t filesRead, std::size_t files)>& progress = {});
  void Logoff();
  bool IsLoggedOn() const { return m_dir != nullptr; }
  const std::string& GetFolderPath() const { return m_folder; }

  bool GetDefaultFolder(int kind, ContactFolder& out) const;
  bool GetItemFromOid(std::uint32_t oid, ContactItem& out) const;

 private:
  bool m_useSettings = false;
  std::string m_folder;
  std::shared_ptr<ContactDirectory> m_dir;
};

}  // namespace platform
