#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <set>
#include <thread>

#include "platform/contacts/ContactLog.h"
#include "platform/contacts/ContactStore.h"
#include "platform/contacts/ContactsFolderPath.h"
#include "platform/contacts/ObjectId.h"
#include "platform/registry/Registry.h"
#include "platform/text/Utf.h"
#include "tests/platform_contacts/ContactTestFiles.h"
#include "tests/support/TempDir.h"

using namespace platform;
using contacttest::Variant;

namespace {

// Object ids by first name, read through the store's interface.
std::map<std::u16string, std::uint32_t> IdsByFirstName(const std::filesystem::path& folder) {
  std::map<std::u16string, std::uint32_t> ids;
  ContactStore store(folder.string());
  EXPECT_TRUE(store.Logon());
  ContactFolder contacts;
  EXPECT_TRUE(store.GetDefaultFolder(FOLDER_CONTACTS, contacts));
  for (int i = 1; i <= contacts.GetCount(); ++i) {
    ContactItem item;
    EXPECT_TRUE(contacts.GetItem(i, item));
    std::u16string first;
    item.GetFirstName(first);
    ids[first] = item.GetOid();
  }
  return ids;
}

std::string Card(const std::string& first, const std::string& uid) {
  std::string card = "BEGIN:VCARD\r\nVERSION:3.0\r\n";
  if (!uid.empty()) card += "UID:" + uid + "\r\n";
  return card + "N:Last;" + first + ";;;\r\nEND:VCARD\r\n";
}

class LogCapture {
 public:
  LogCapture() {
    SetContactLogHook([this](std::string_view line) { lines.emplace_back(line); });
  }
  ~LogCapture() { SetContactLogHook({}); }
  std::vector<std::string> lines;
};

}  // namespace

TEST(ContactStore, ObjectIdsSurviveRenamesOfOtherFilesAndEdits) {
  testsupport::TempDir temp;
  const auto folder = temp.Path();
  ASSERT_TRUE(testsupport::WriteFileBytes(folder / "a.vcf", Card("Anna", "uid-anna")));
  ASSERT_TRUE(testsupport::WriteFileBytes(folder / "b.vcf", Card("Bert", "")));
  ASSERT_TRUE(testsupport::WriteFileBytes(folder / "c.vcf", Card("Carl", "uid-carl")));
  ASSERT_TRUE(testsupport::WriteFileBytes(folder / "d.vcf", Card("Dora", "")));
  const auto before = IdsByFirstName(folder);
  ASSERT_EQ(before.size(), 4u);
  std::set<std::uint32_t> distinct;
  for (const auto& [name, id] : before) {
    EXPECT_NE(id, 0u);
    distinct.insert(id);
  }
  EXPECT_EQ(distinct.size(), 4u);
  EXPECT_EQ(before.at(u"Anna"), HashObjectKey("uid-anna"));
  EXPECT_EQ(before.at(u"Bert"), HashObjectKey("b.vcf"));

  // Renaming the other files, even across the sort order, keeps Anna's, Carl's and Dora's ids.
  std::filesystem::rename(folder / "a.vcf", folder / "z-anna.vcf");
  std::filesystem::rename(folder / "c.vcf", folder / "0-carl.vcf");
  const auto after = IdsByFirstName(folder);
  EXPECT_EQ(after.at(u"Anna"), before.at(u"Anna"));
  EXPECT_EQ(after.at(u"Carl"), before.at(u"Carl"));
  EXPECT_EQ(after.at(u"Dora"), before.at(u"Dora"));

  ContactStore store(folder.string());
  ASSERT_TRUE(store.Logon());
  ContactItem anna;
  ASSERT_TRUE(store.GetItemFromOid(before.at(u"Anna"), anna));
  ASSERT_TRUE(anna.SetBirthday(Variant(1980, 1, 1)));
  ASSERT_TRUE(anna.Save());
  EXPECT_EQ(IdsByFirstName(folder), after);
  ContactItem none;
  EXPECT_FALSE(store.GetItemFromOid(12345u, none));
  EXPECT_FALSE(none.IsValid());
}

TEST(ContactStore, CollidingKeysGetDistinctNonZeroIdsInAFixedWay) {
  // The same card copied into two files (a synchronisation conflict) shares one UID.
  std::vector<ObjectKey> keys = {{"same", "b.vcf", 0}, {"same", "a.vcf", 0}, {"other", "c.vcf", 0}};
  std::vector<std::uint32_t> ids = AssignObjectIds(keys);
  EXPECT_EQ(ids[1], HashObjectKey("same"));  // a.vcf sorts first and keeps the plain hash
  EXPECT_EQ(ids[0], HashObjectKey("same#1"));
  EXPECT_EQ(ids[2], HashObjectKey("other"));
  std::reverse(keys.begin(), keys.end());
  std::vector<std::uint32_t> reversed = AssignObjectIds(keys);
  EXPECT_EQ(reversed[0], ids[2]);
  EXPECT_EQ(reversed[1], ids[1]);
  EXPECT_EQ(reversed[2], ids[0]);
}

TEST(ContactStore, TenThousandContacts) {
  testsupport::TempDir temp;
  std::vector<std::string> names;
  for (int i = 0; i < 10000; ++i) {
    std::string card = Card("P" + std::to_string(i), i % 3 == 0 ? "" : "uid-" + std::to_string(i));
    card.insert(card.find("END:VCARD"), "BDAY:1970-01-" + std::to_string(10 + i % 20) + "\r\n");
    // Cards without their end, far apart: the files are read on two threads.
    if (i % 2500 == 1) card.resize(card.find("END:VCARD"));
    names.push_back("c" + std::to_string(i) + ".vcf");
    ASSERT_TRUE(testsupport::WriteFileBytes(temp.Path() / names.back(), card));
  }
  std::sort(names.begin(), names.end());
  LogCapture log;
  std::vector<std::size_t> progress;
  const std::thread::id caller = std::this_thread::get_id();
  ContactStore store(temp.Path().string());
  ASSERT_TRUE(store.Logon([&](std::size_t done, std::size_t files) {
    EXPECT_EQ(std::this_thread::get_id(), caller);
    EXPECT_EQ(files, 10000u);
    progress.push_back(done);
  }));
  ASSERT_GE(progress.size(), 2u);
  EXPECT_EQ(progress.front(), 0u);
  EXPECT_EQ(progress.back(), 10000u);
  EXPECT_TRUE(std::is_sorted(progress.begin(), progress.end()));
  // In file order, as one thread reading the files in turn finds them.
  std::vector<std::string> expectedLog;
  std::vector<std::u16string> expectedNames;
  for (const std::string& name : names) {
    const int i = std::stoi(name.substr(1));
    if (i % 2500 == 1) {
      expectedLog.push_back("skipped a card without END:VCARD in " + temp.Path().string() + "/" + name);
    } else {
      expectedNames.push_back(u"P" + platform::FromUtf8(std::to_string(i)));
    }
  }
  EXPECT_EQ(log.lines, expectedLog);
  ContactFolder contacts;
  ASSERT_TRUE(store.GetDefaultFolder(FOLDER_CONTACTS, contacts));
  ASSERT_EQ(contacts.GetCount(), 9996);
  std::set<std::uint32_t> ids;
  for (int i = 1; i <= contacts.GetCount(); ++i) {
    ContactItem item;
    ASSERT_TRUE(contacts.GetItem(i, item));
    ContactItem byId;
    ASSERT_TRUE(store.GetItemFromOid(item.GetOid(), byId));
    std::u16string a;
    std::u16string b;
    item.GetFirstName(a);
    byId.GetFirstName(b);
    ASSERT_EQ(a, expectedNames[static_cast<std::size_t>(i - 1)]);
    ASSERT_EQ(a, b);
    ASSERT_NE(item.GetBirthday(), VARIANT_DATE_NOT_SET);
    ids.insert(item.GetOid());
  }
  EXPECT_EQ(ids.size(), 9996u);
  EXPECT_FALSE(ids.count(0));
}

TEST(ContactStore, FolderShapesAndBrokenFiles) {
  testsupport::TempDir temp;
  const auto folder = temp.Path() / "book";
  LogCapture log;
  {
    ContactStore missing(folder.string());
    EXPECT_TRUE(missing.Logon());
    ContactFolder contacts;
    EXPECT_TRUE(missing.GetDefaultFolder(FOLDER_CONTACTS, contacts));
    EXPECT_EQ(contacts.GetCount(), 0);
  }
  contacttest::CopyData(folder, {"truncated.vcf"});
  contacttest::CopyData(folder / "family", {"server-40.vcf"});  // a collection of a synchronised book
  ASSERT_TRUE(testsupport::WriteFileBytes(folder / "empty.vcf", ""));
  ASSERT_TRUE(testsupport::WriteFileBytes(folder / "binary.VCF", std::string("\0\xff\x01" "BEGIN:VCARD\0", 15)));
  ASSERT_TRUE(testsupport::WriteFileBytes(folder / ".hidden.vcf", Card("Hidden", "h")));
  ASSERT_TRUE(testsupport::WriteFileBytes(folder / "notes.txt", Card("Text", "t")));
  std::filesystem::create_directories(folder / "family" / "deeper");
  ASSERT_TRUE(testsupport::WriteFileBytes(folder / "family" / "deeper" / "x.vcf", Card("Deep", "d")));

  ContactStore store(folder.string());
  ASSERT_TRUE(store.Logon());
  ContactFolder contacts;
  ASSERT_TRUE(store.GetDefaultFolder(FOLDER_CONTACTS, contacts));
  ASSERT_EQ(contacts.GetCount(), 2);
  ContactItem item;
  EXPECT_FALSE(contacts.GetItem(0, item));
  EXPECT_FALSE(contacts.GetItem(3, item));
  ASSERT_TRUE(contacts.GetItem(1, item));  // "family/server-40.vcf" sorts first
  std::u16string first;
  EXPECT_TRUE(item.GetFirstName(first));
  EXPECT_EQ(first, u"Jane");
  // A year-less birthday is not a date to compute an age from; its day and month stay readable.
  EXPECT_EQ(item.GetBirthday(), VARIANT_DATE_NOT_SET);
  EXPECT_FALSE(item.GetBirthdayDate().yearKnown);
  EXPECT_EQ(item.GetBirthdayDate().day, 14);
  EXPECT_EQ(item.GetAnniversary(), Variant(2005, 7, 4));
  ASSERT_TRUE(contacts.GetItem(2, item));
  EXPECT_TRUE(item.GetLastName(first));
  EXPECT_EQ(first, u"Whole");
  EXPECT_EQ(item.GetBirthday(), VARIANT_DATE_NOT_SET);
  ASSERT_EQ(log.lines.size(), 1u);
  EXPECT_NE(log.lines[0].find("truncated.vcf"), std::string::npos);

  store.Logoff();
  EXPECT_FALSE(store.GetDefaultFolder(FOLDER_CONTACTS, contacts));
  EXPECT_TRUE(item.IsValid());  // a fetched item outlives the connection

  ContactStore onAFile((folder / "empty.vcf").string());
  EXPECT_FALSE(onAFile.Logon());
}

TEST(ContactStore, FolderComesFromTheSettingsOrTheDataFolder) {
  testsupport::TestEnvironment env;
  EXPECT_EQ(GetContactsFolderPath(), (env.Root() / "data" / "Natalo" / "contacts").string());
  const auto custom = env.Root() / "mine";
  contacttest::CopyData(custom, {"phone-21.vcf"});
  ASSERT_TRUE(RegWriteString(RegistryRoot::CurrentUser, CONTACTS_FOLDER_KEY, CONTACTS_FOLDER_VALUE,
                             FromUtf8(custom.string())));
  ContactStore store;
  ASSERT_TRUE(store.Logon());
  EXPECT_EQ(store.GetFolderPath(), custom.string());
  ContactFolder contacts;
  ASSERT_TRUE(store.GetDefaultFolder(FOLDER_CONTACTS, contacts));
  EXPECT_EQ(contacts.GetCount(), 1);
}
