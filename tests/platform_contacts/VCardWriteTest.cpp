#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include "platform/contacts/ContactStore.h"
#include "platform/contacts/VCardEditor.h"
#include "platform/contacts/WritableFile.h"
#include "tests/platform_contacts/ContactTestFiles.h"
#include "tests/support/TempDir.h"

using namespace platform;
using contacttest::Date;
using contacttest::DateNoYear;
using contacttest::Variant;
using testsupport::ReadFileBytes;

namespace {

std::string Replace(std::string text, const std::string& from, const std::string& to) {
  std::size_t pos = text.find(from);
  EXPECT_NE(pos, std::string::npos) << from;
  if (pos != std::string::npos) text.replace(pos, from.size(), to);
  return text;
}

std::string Edit(const std::string& bytes, std::size_t cardIndex, ContactDateField field, const ContactDate& date) {
  VCardReadResult read = ReadVCards(bytes);
  EXPECT_LT(cardIndex, read.cards.size());
  return ReplaceCardDate(bytes, read.cards.at(cardIndex), field, date);
}

int CountFiles(const std::filesystem::path& folder) {
  int n = 0;
  for ([[maybe_unused]] const auto& e : std::filesystem::directory_iterator(folder)) ++n;
  return n;
}

class ContactFolderTest : public ::testing::Test {
 protected:
  testsupport::TempDir m_temp;
  std::filesystem::path m_folder = m_temp.Path() / "contacts";

  ContactItem OnlyItemOf(ContactStore& store) {
    EXPECT_TRUE(store.Logon());
    ContactFolder folder;
    EXPECT_TRUE(store.GetDefaultFolder(FOLDER_CONTACTS, folder));
    ContactItem item;
    EXPECT_TRUE(folder.GetItem(1, item));
    return item;
  }
};

}  // namespace

// Each edit replaces exactly the date line and nothing else, in the syntax the card uses.
TEST(VCardEdit, ChangesOnlyTheDateLine) {
  const std::string outlook = contacttest::ReadData("outlook-21.vcf");
  EXPECT_EQ(Edit(outlook, 0, ContactDateField::Birthday, Date(1963, 1, 2)),
            Replace(outlook, "BDAY:19621107\r\n", "BDAY:19630102\r\n"));
  EXPECT_EQ(Edit(outlook, 0, ContactDateField::Anniversary, Date(1991, 7, 8)),
            Replace(outlook, "X-MS-ANNIVERSARY:19900615\r\n", "X-MS-ANNIVERSARY:19910708\r\n"));

  const std::string evolution = contacttest::ReadData("evolution-30.vcf");
  EXPECT_EQ(Edit(evolution, 0, ContactDateField::Anniversary, Date(2002, 10, 9)),
            Replace(evolution, "X-EVOLUTION-ANNIVERSARY:2001-09-08\n", "X-EVOLUTION-ANNIVERSARY:2002-10-09\n"));

  // A year-less Apple date keeps its placeholder form; a full date drops the omit-year marker.
  const std::string apple = contacttest::ReadData("apple-30.vcf");
  EXPECT_EQ(Edit(apple, 0, ContactDateField::Birthday, DateNoYear(4, 1)),
            Replace(apple, "BDAY;X-APPLE-OMIT-YEAR=1604:1604-03-14", "BDAY;X-APPLE-OMIT-YEAR=1604:1604-04-01"));
  EXPECT_EQ(Edit(apple, 0, ContactDateField::Birthday, Date(1980, 4, 1)),
            Replace(apple, "BDAY;X-APPLE-OMIT-YEAR=1604:1604-03-14", "BDAY:1980-04-01"));
  EXPECT_EQ(Edit(apple, 0, ContactDateField::Anniversary, Date(2005, 7, 13)),
            Replace(apple, "item2.X-ABDATE;type=pref:2004-06-12", "item2.X-ABDATE;type=pref:2005-07-13"));

  const std::string server = contacttest::ReadData("server-40.vcf");
  EXPECT_EQ(Edit(server, 0, ContactDateField::Birthday, Date(1979, 3, 14)),
            Replace(server, "BDAY:--0314", "BDAY:19790314"));
  const std::string fnOnly = contacttest::ReadData("fn-only-40.vcf");
  EXPECT_EQ(Edit(fnOnly, 0, ContactDateField::Anniversary, Date(2011, 1, 1)),
            Replace(fnOnly, "ANNIVERSARY;VALUE=date-and-or-time:20100522T160000", "ANNIVERSARY:20110101"));
}

TEST(VCardEdit, AddsAMissingDateAndRemovesACleared) {
  const std::string several = contacttest::ReadData("several.vcf");
  // The third card has no anniversary: added before its END line, CR LF like the card.
  const std::string thirdEnd = "BDAY:not a date\r\nEND:VCARD\r\n";
  EXPECT_EQ(Edit(several, 2, ContactDateField::Anniversary, Date(2020, 2, 2)),
            Replace(several, thirdEnd, "BDAY:not a date\r\nX-ANNIVERSARY:2020-02-02\r\nEND:VCARD\r\n"));
  // Two BDAY lines: the first is the one read and the one written.
  EXPECT_EQ(Edit(several, 0, ContactDateField::Birthday, Date(1992, 7, 3)),
            Replace(several, "BDAY:1990-05-01\r\n", "BDAY:1992-07-03\r\n"));
  EXPECT_EQ(Edit(several, 0, ContactDateField::Anniversary, ContactDate{}),
            Replace(several, "X-ANNIVERSARY:2015-08-20\r\n", ""));
  EXPECT_EQ(Edit(several, 2, ContactDateField::Anniversary, ContactDate{}), several);

  const std::string phone = contacttest::ReadData("phone-21.vcf");
  EXPECT_EQ(Edit(phone, 0, ContactDateField::Anniversary, Date(2012, 12, 12)),
            Replace(phone, "END:VCARD\n", "X-ANNIVERSARY:2012-12-12\nEND:VCARD\n"));
  const std::string v4 = "BEGIN:VCARD\r\nVERSION:4.0\r\nFN:X\r\nEND:VCARD\r\n";
  EXPECT_EQ(Edit(v4, 0, ContactDateField::Anniversary, DateNoYear(6, 1)),
            "BEGIN:VCARD\r\nVERSION:4.0\r\nFN:X\r\nANNIVERSARY:--0601\r\nEND:VCARD\r\n");
  EXPECT_EQ(Edit(v4, 0, ContactDateField::Birthday, Date(1999, 9, 9)),
            "BEGIN:VCARD\r\nVERSION:4.0\r\nFN:X\r\nBDAY:19990909\r\nEND:VCARD\r\n");
}

// A line ending in a lone CR followed by a blank LF line and a folded END line:
// an edit must not let the CR and the LF become one break, which would fold the
// END line into the line before and lose the card.
TEST(VCardEdit, MixedLineBreaksKeepTheCard) {
  struct Case {
    std::string bytes;
    ContactDate date;
    std::string expected;
  };
  const Case cases[] = {
      {"BEGIN:VCARD\r\nFN:X\rno colon\r\n\n\tEND:VCARD\r\n", Date(1985, 3, 14),
       "BEGIN:VCARD\r\nFN:X\rno colon\r\nBDAY:1985-03-14\r\n\n\tEND:VCARD\r\n"},
      {"BEGIN:VCARD\rBDAY:1990-01-01\r\n\n\tEND:VCARD\r\n", ContactDate{},
       "BEGIN:VCARD\r\r\n\n\tEND:VCARD\r\n"},
  };
  for (const Case& c : cases) {
    const std::string edited = Edit(c.bytes, 0, ContactDateField::Birthday, c.date);
    EXPECT_EQ(edited, c.expected);
    VCardReadResult again = ReadVCards(edited);
    ASSERT_EQ(again.cards.size(), 1u) << edited;
    EXPECT_EQ(ExtractContactFields(again.cards[0]).birthday, c.date);
  }
}

TEST_F(ContactFolderTest, SaveRoundTripKeepsEveryOtherByte) {
  contacttest::CopyData(m_folder, {"latin1-qp-21.vcf"});
  const std::string before = ReadFileBytes(m_folder / "latin1-qp-21.vcf");
  chmod((m_folder / "latin1-qp-21.vcf").c_str(), 0640);
  ContactStore store(m_folder.string());
  ContactItem item = OnlyItemOf(store);
  const std::uint32_t oid = item.GetOid();
  ASSERT_TRUE(item.SetBirthday(Variant(1976, 1, 15) + 0.75));  // the time of day is not written
  ASSERT_TRUE(item.SetAnniversary(Variant(2001, 4, 5)));
  ASSERT_TRUE(item.Save());
  EXPECT_EQ(ReadFileBytes(m_folder / "latin1-qp-21.vcf"),
            Replace(before, "BDAY:1975-12-31\r\nEND:VCARD", "BDAY:1976-01-15\r\nX-ANNIVERSARY:2001-04-05\r\nEND:VCARD"));
  EXPECT_EQ(item.GetBirthday(), Variant(1976, 1, 15));
  struct stat st {};
  ASSERT_EQ(stat((m_folder / "latin1-qp-21.vcf").c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 0777, 0640u);
  EXPECT_EQ(CountFiles(m_folder), 1);

  ContactStore again(m_folder.string());
  ContactItem reread = OnlyItemOf(again);
  EXPECT_EQ(reread.GetOid(), oid);
  EXPECT_EQ(reread.GetBirthday(), Variant(1976, 1, 15));
  EXPECT_EQ(reread.GetAnniversary(), Variant(2001, 4, 5));
  std::u16string name;
  EXPECT_TRUE(reread.GetLastName(name));
  EXPECT_EQ(name, u"Gr\u00fc\u00dfe-Obermann");
}

TEST_F(ContactFolderTest, ReadOnlyFileOrFolderFailsAndLosesNothing) {
  contacttest::CopyData(m_folder, {"server-40.vcf"});
  const auto file = m_folder / "server-40.vcf";
  const std::string before = ReadFileBytes(file);
  ContactStore store(m_folder.string());
  ContactItem item = OnlyItemOf(store);

  chmod(file.c_str(), 0444);
  ASSERT_TRUE(item.SetBirthday(Variant(1970, 3, 14)));
  EXPECT_FALSE(item.Save());
  EXPECT_EQ(ReadFileBytes(file), before);

  chmod(file.c_str(), 0644);
  chmod(m_folder.c_str(), 0555);
  EXPECT_FALSE(item.Save());
  EXPECT_EQ(ReadFileBytes(file), before);
  EXPECT_EQ(CountFiles(m_folder), 1);

  chmod(m_folder.c_str(), 0755);
  EXPECT_TRUE(item.Save());
  EXPECT_NE(ReadFileBytes(file).find("BDAY:19700314"), std::string::npos);
}

// A card reached through a symbolic link is rewritten in place: the link stays,
// and the write-permission check applies to the file it points at.
TEST_F(ContactFolderTest, LinkedCardReplacesItsTargetAndKeepsTheLink) {
  std::filesystem::create_directories(m_folder);
  const auto real = m_temp.Path() / "real.vcf";
  const auto link = m_folder / "card.vcf";
  ASSERT_TRUE(testsupport::WriteFileBytes(real, "old"));
  std::filesystem::create_symlink(real, link);

  chmod(real.c_str(), 0444);
  EXPECT_FALSE(ReplaceWritableFile(link.string(), "new"));
  EXPECT_EQ(ReadFileBytes(real), "old");

  chmod(real.c_str(), 0600);
  ASSERT_TRUE(ReplaceWritableFile(link.string(), "new"));
  EXPECT_TRUE(std::filesystem::is_symlink(link));
  EXPECT_EQ(ReadFileBytes(real), "new");
  EXPECT_EQ(CountFiles(m_folder), 1);
}

TEST_F(ContactFolderTest, SaveFindsTheCardAgainAfterOthersChangedTheFile) {
  contacttest::CopyData(m_folder, {"apple-30.vcf"});
  ContactStore store(m_folder.string());
  ContactItem item = OnlyItemOf(store);
  // Another program rewrote the card meanwhile (a new line at the top).
  const auto file = m_folder / "apple-30.vcf";
  const std::string changed = Replace(ReadFileBytes(file), "VERSION:3.0\r\n", "VERSION:3.0\r\nNICKNAME:Jo\r\n");
  ASSERT_TRUE(testsupport::WriteFileBytes(file, changed));
  ASSERT_TRUE(item.SetBirthday(Variant(1975, 3, 14)));
  ASSERT_TRUE(item.Save());
  EXPECT_EQ(ReadFileBytes(file), Replace(changed, "BDAY;X-APPLE-OMIT-YEAR=1604:1604-03-14", "BDAY:1975-03-14"));
  // The card is gone: the save fails and writes nothing.
  ASSERT_TRUE(testsupport::WriteFileBytes(file, "BEGIN:VCARD\r\nVERSION:3.0\r\nUID:other\r\nEND:VCARD\r\n"));
  ASSERT_TRUE(item.SetBirthday(Variant(1976, 3, 14)));
  EXPECT_FALSE(item.Save());
  EXPECT_EQ(ReadFileBytes(file), "BEGIN:VCARD\r\nVERSION:3.0\r\nUID:other\r\nEND:VCARD\r\n");
}
