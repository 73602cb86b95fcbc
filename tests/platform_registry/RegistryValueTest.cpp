#include <gtest/gtest.h>

#include "platform/registry/DeviceState.h"
#include "platform/registry/Registry.h"
#include "platform/text/Utf.h"
#include "tests/platform_registry/RegistryTestFixture.h"
#include "tests/platform_registry/RegistryTestSupport.h"

using namespace platform;
using registrytest::RegistryTest;

namespace {

constexpr RegistryRoot HKCU = RegistryRoot::CurrentUser;
constexpr RegistryRoot HKLM = RegistryRoot::LocalMachine;
const std::u16string kKey = u"Software\\Quorvex\\Natalo";

using Names = std::vector<std::u16string>;

}  // namespace

TEST(RegistryRoot, ParsesTheTwoRootsExactly) {
  EXPECT_EQ(ParseRegistryRoot(u"HKEY_CURRENT_USER"), RegistryRoot::CurrentUser);
  EXPECT_EQ(ParseRegistryRoot(u"HKEY_LOCAL_MACHINE"), RegistryRoot::LocalMachine);
  for (const char16_t* bad :
       {u"HKEY_CURRENT_USERX", u"HKEY_CURRENT_USE", u"hkey_current_user", u"", u"HKEY_USERS"}) {
    EXPECT_FALSE(ParseRegistryRoot(bad).has_value());
  }
}

TEST_F(RegistryTest, EachTypeRoundTrips) {
  for (std::uint32_t dword : {0u, 1u, 0x12345678u, 0xFFFFFFFFu}) {
    ASSERT_TRUE(RegWriteDword(HKCU, kKey, u"Number", dword));
    std::uint32_t read = 7;
    ASSERT_TRUE(RegReadDword(HKCU, kKey, u"Number", read));
    EXPECT_EQ(read, dword);
  }
  for (const std::u16string& text :
       {std::u16string(), std::u16string(u"Grüße ✓ \U0001F382"), std::u16string(259, u'x')}) {
    ASSERT_TRUE(RegWriteString(HKCU, kKey, u"Text", text));
    std::u16string read = u"old";
    ASSERT_TRUE(RegReadString(HKCU, kKey, u"Text", read));
    EXPECT_EQ(read, text);
  }
  for (const std::vector<std::uint8_t>& bytes :
       {std::vector<std::uint8_t>(), std::vector<std::uint8_t>{0, 0, 255, 0},
        std::vector<std::uint8_t>(5000, 0xA5)}) {
    ASSERT_TRUE(RegWriteBinary(HKCU, kKey, u"Bytes", bytes));
    std::vector<std::uint8_t> read{9};
    ASSERT_TRUE(RegReadBinary(HKCU, kKey, u"Bytes", read));
    EXPECT_EQ(read, bytes);
  }
}

TEST_F(RegistryTest, StoredLayoutIsLittleEndianWithTerminatedStrings) {
  ASSERT_TRUE(RegWriteString(HKCU, kKey, u"Text", u"AB"));
  ASSERT_TRUE(RegWriteDword(HKCU, kKey, u"Number", 0x0C00));
  RegistryValue value;
  ASSERT_TRUE(RegReadValue(HKCU, kKey, u"Text", value));
  EXPECT_EQ(value.type, RegistryType::String);
  EXPECT_EQ(value.data, (std::vector<std::uint8_t>{'A', 0, 'B', 0, 0, 0}));
  ASSERT_TRUE(RegReadValue(HKCU, kKey, u"Number", value));
  EXPECT_EQ(value.type, RegistryType::DWord);
  EXPECT_EQ(value.data, (std::vector<std::uint8_t>{0x00, 0x0C, 0, 0}));
}

TEST_F(RegistryTest, TypedReadsRefuseOtherTypesAndSizes) {
  ASSERT_TRUE(RegWriteString(HKCU, kKey, u"Text", u"12"));
  ASSERT_TRUE(RegWriteBinary(HKCU, kKey, u"Bytes", {1, 2, 3, 4}));
  ASSERT_TRUE(RegWriteValue(HKCU, kKey, u"ShortNumber", RegistryValue{RegistryType::DWord, {1, 2, 3}}));
  ASSERT_TRUE(RegWriteValue(HKCU, kKey, u"OddText", RegistryValue{RegistryType::String, {'A', 0, 0}}));
  ASSERT_TRUE(
      RegWriteValue(HKCU, kKey, u"Unterminated", RegistryValue{RegistryType::String, {'A', 0, 'B', 0}}));

  std::uint32_t number = 42;
  std::u16string text = u"keep";
  std::vector<std::uint8_t> bytes{7};
  EXPECT_FALSE(RegReadDword(HKCU, kKey, u"Text", number));
  EXPECT_FALSE(RegReadDword(HKCU, kKey, u"Bytes", number));
  EXPECT_FALSE(RegReadDword(HKCU, kKey, u"ShortNumber", number));
  EXPECT_FALSE(RegReadString(HKCU, kKey, u"Bytes", text));
  EXPECT_FALSE(RegReadString(HKCU, kKey, u"OddText", text));
  EXPECT_FALSE(RegReadBinary(HKCU, kKey, u"Text", bytes));
  EXPECT_FALSE(RegReadDword(HKCU, kKey, u"Missing", number));
  EXPECT_FALSE(RegReadDword(HKCU, u"No\\Such\\Key", u"Text", number));
  // A failed read leaves the caller's default alone.
  EXPECT_EQ(number, 42u);
  EXPECT_EQ(text, u"keep");
  EXPECT_EQ(bytes, std::vector<std::uint8_t>{7});

  ASSERT_TRUE(RegReadString(HKCU, kKey, u"Unterminated", text));
  EXPECT_EQ(text, u"AB");
  // Overwriting may change the type.
  ASSERT_TRUE(RegWriteDword(HKCU, kKey, u"Text", 5));
  EXPECT_FALSE(RegReadString(HKCU, kKey, u"Text", text));
  EXPECT_TRUE(RegReadDword(HKCU, kKey, u"Text", number));
  EXPECT_EQ(number, 5u);
}

TEST_F(RegistryTest, WritingCreatesTheKeyAndItsParents) {
  EXPECT_FALSE(RegKeyExists(HKCU, u"Software"));
  ASSERT_TRUE(RegWriteDword(HKCU, u"Software\\Quorvex\\Natalo\\View", u"Zodiac", 1));
  for (const char16_t* key : {u"", u"Software", u"Software\\Quorvex", u"Software\\Quorvex\\Natalo",
                              u"Software\\Quorvex\\Natalo\\View"}) {
    EXPECT_TRUE(RegKeyExists(HKCU, key)) << ToUtf8(key);
  }
  EXPECT_FALSE(RegKeyExists(HKCU, u"Software\\Quorvex\\Natalo\\View\\Zodiac"));
  EXPECT_FALSE(RegKeyExists(HKCU, u"Quorvex"));
  // The roots are separate trees.
  EXPECT_FALSE(RegKeyExists(HKLM, u"Software"));
  std::uint32_t number = 0;
  EXPECT_FALSE(RegReadDword(HKLM, u"Software\\Quorvex\\Natalo\\View", u"Zodiac", number));
  // A value directly under the root.
  ASSERT_TRUE(RegWriteDword(HKLM, u"", u"Top", 3));
  EXPECT_TRUE(RegReadDword(HKLM, u"", u"Top", number));
  EXPECT_EQ(number, 3u);
}

TEST_F(RegistryTest, KeysWithEmptyComponentsAreRefused) {
  for (const char16_t* key : {u"\\Software", u"Software\\", u"Software\\\\Quorvex", u"\\"}) {
    EXPECT_FALSE(RegWriteDword(HKCU, key, u"Value", 1));
    std::uint32_t number = 0;
    EXPECT_FALSE(RegReadDword(HKCU, key, u"Value", number));
    EXPECT_FALSE(RegKeyExists(HKCU, key));
  }
  // Refused before the database was even made.
  Names names;
  EXPECT_FALSE(RegListSubKeys(HKCU, u"", names));
}

TEST_F(RegistryTest, NamesAreCaseInsensitiveAndKeepTheirFirstCase) {
  ASSERT_TRUE(RegWriteDword(HKCU, u"Software\\Quorvex", u"Display Age", 1));
  ASSERT_TRUE(RegWriteDword(HKCU, u"SOFTWARE\\QUORVEX", u"DISPLAY AGE", 2));
  ASSERT_TRUE(RegWriteDword(HKCU, u"software\\quorvex\\NewKey", u"x", 3));
  std::uint32_t number = 0;
  ASSERT_TRUE(RegReadDword(HKCU, u"software\\QuOrVeX", u"display age", number));
  EXPECT_EQ(number, 2u);
  EXPECT_TRUE(RegKeyExists(HKCU, u"SoFtWaRe"));

  Names names;
  ASSERT_TRUE(RegListSubKeys(HKCU, u"", names));
  EXPECT_EQ(names, Names{u"Software"});
  ASSERT_TRUE(RegListSubKeys(HKCU, u"SOFTWARE", names));
  EXPECT_EQ(names, Names{u"Quorvex"});
  ASSERT_TRUE(RegListValues(HKCU, u"software\\quorvex", names));
  EXPECT_EQ(names, Names{u"Display Age"});
  ASSERT_TRUE(RegListSubKeys(HKCU, u"software\\quorvex", names));
  EXPECT_EQ(names, Names{u"NewKey"});

  // Only ASCII letters fold.
  ASSERT_TRUE(RegWriteDword(HKCU, u"Ä", u"é", 1));
  EXPECT_FALSE(RegKeyExists(HKCU, u"ä"));
  EXPECT_FALSE(RegReadDword(HKCU, u"Ä", u"É", number));
}

TEST_F(RegistryTest, DeleteRemovesOnlyTheValue) {
  ASSERT_TRUE(RegWriteDword(HKCU, kKey, u"A", 1));
  ASSERT_TRUE(RegWriteDword(HKCU, kKey, u"B", 2));
  EXPECT_TRUE(RegDeleteValue(HKCU, kKey, u"a"));
  EXPECT_FALSE(RegDeleteValue(HKCU, kKey, u"A"));
  EXPECT_FALSE(RegDeleteValue(HKCU, u"No\\Key", u"A"));
  std::uint32_t number = 0;
  EXPECT_FALSE(RegReadDword(HKCU, kKey, u"A", number));
  EXPECT_TRUE(RegReadDword(HKCU, kKey, u"B", number));
  EXPECT_TRUE(RegKeyExists(HKCU, kKey));
  // Written again, it takes the case of the new write.
  ASSERT_TRUE(RegWriteDword(HKCU, kKey, u"a", 3));
  Names names;
  ASSERT_TRUE(RegListValues(HKCU, kKey, names));
  EXPECT_EQ(names, (Names{u"a", u"B"}));
}

TEST_F(RegistryTest, ListsShowImmediateChildrenSorted) {
  ASSERT_TRUE(RegWriteDword(HKCU, u"S\\Sound", u"Volume", 3));
  ASSERT_TRUE(RegWriteString(HKCU, u"S\\Sound", u"BFile", u"a.wav"));
  ASSERT_TRUE(RegWriteDword(HKCU, u"S\\View\\Deep\\Deeper", u"X", 1));
  ASSERT_TRUE(RegWriteDword(HKCU, u"S\\reminder", u"Date", 2));
  ASSERT_TRUE(RegWriteDword(HKCU, u"S", u"Show", 31));
  ASSERT_TRUE(RegWriteDword(HKCU, u"Sibling", u"Show", 31));

  Names names{u"stale"};
  ASSERT_TRUE(RegListSubKeys(HKCU, u"S", names));
  EXPECT_EQ(names, (Names{u"reminder", u"Sound", u"View"}));
  ASSERT_TRUE(RegListValues(HKCU, u"S\\Sound", names));
  EXPECT_EQ(names, (Names{u"BFile", u"Volume"}));
  ASSERT_TRUE(RegListValues(HKCU, u"S", names));
  EXPECT_EQ(names, Names{u"Show"});
  ASSERT_TRUE(RegListValues(HKCU, u"S\\View", names));
  EXPECT_TRUE(names.empty());
  ASSERT_TRUE(RegListSubKeys(HKCU, u"S\\Sound", names));
  EXPECT_TRUE(names.empty());
  ASSERT_TRUE(RegListSubKeys(HKCU, u"", names));
  EXPECT_EQ(names, (Names{u"S", u"Sibling"}));

  names = {u"kept"};
  EXPECT_FALSE(RegListSubKeys(HKCU, u"S\\Nothing", names));
  EXPECT_FALSE(RegListValues(HKCU, u"S\\Nothing", names));
  EXPECT_EQ(names, Names{u"kept"});
}

TEST_F(RegistryTest, UpdateWritesWhatTheChangeMakes) {
  for (int i = 0; i < 3; ++i) EXPECT_TRUE(RegUpdateValue(HKCU, kKey, u"Count", registrytest::IncrementDword));
  std::uint32_t number = 0;
  ASSERT_TRUE(RegReadDword(HKCU, kKey, u"Count", number));
  EXPECT_EQ(number, 3u);
  // A declined change writes nothing.
  bool sawExisting = false;
  EXPECT_FALSE(RegUpdateValue(HKCU, kKey, u"Count", [&](RegistryValue& value, bool exists) {
    sawExisting = exists && value.type == RegistryType::DWord;
    value.data = {9, 9, 9, 9};
    return false;
  }));
  EXPECT_TRUE(sawExisting);
  ASSERT_TRUE(RegReadDword(HKCU, kKey, u"Count", number));
  EXPECT_EQ(number, 3u);
  EXPECT_FALSE(RegUpdateValue(HKCU, kKey, u"Fresh", [](RegistryValue&, bool) { return false; }));
  RegistryValue value;
  EXPECT_FALSE(RegReadValue(HKCU, kKey, u"Fresh", value));
}

TEST_F(RegistryTest, DeviceStateDefaultsFillOnlyWhatIsMissing) {
  std::uint32_t lock = 9;
  std::uint32_t status = 9;
  ASSERT_TRUE(EnsureDeviceStateDefaults());
  ASSERT_TRUE(RegReadDword(HKLM, u"System\\State", u"Lock", lock));
  ASSERT_TRUE(RegReadDword(HKLM, u"System\\State\\Phone", u"Status", status));
  EXPECT_EQ(lock, 0u);
  EXPECT_EQ(status, 0u);

  // A value a test or the platform set stays; one of the wrong type is replaced.
  ASSERT_TRUE(RegWriteDword(HKLM, u"System\\State", u"Lock", 2));
  ASSERT_TRUE(RegWriteString(HKLM, u"System\\State\\Phone", u"Status", u"busy"));
  ASSERT_TRUE(EnsureDeviceStateDefaults());
  ASSERT_TRUE(RegReadDword(HKLM, u"System\\State", u"Lock", lock));
  ASSERT_TRUE(RegReadDword(HKLM, u"System\\State\\Phone", u"Status", status));
  EXPECT_EQ(lock, 2u);
  EXPECT_EQ(status, 0u);
}

TEST_F(RegistryTest, WatchSeesWritesAndDeletesOfItsValueOnly) {
  RegistryWatch watch(HKLM, u"System\\State", u"Lock");
  EXPECT_FALSE(watch.Changed());
  ASSERT_TRUE(RegWriteDword(HKLM, u"System\\State", u"Lock", 1));
  EXPECT_TRUE(watch.Changed());
  EXPECT_FALSE(watch.Changed());
  // The same data written again is a change; other values are not.
  ASSERT_TRUE(RegWriteDword(HKLM, u"SYSTEM\\STATE", u"LOCK", 1));
  EXPECT_TRUE(watch.Changed());
  ASSERT_TRUE(RegWriteDword(HKLM, u"System\\State", u"Other", 1));
  ASSERT_TRUE(RegWriteDword(HKCU, u"System\\State", u"Lock", 1));
  EXPECT_FALSE(watch.Changed());
  ASSERT_TRUE(RegDeleteValue(HKLM, u"System\\State", u"Lock"));
  EXPECT_TRUE(watch.Changed());
  // Two writes between calls count as one change.
  ASSERT_TRUE(RegWriteDword(HKLM, u"System\\State", u"Lock", 2));
  ASSERT_TRUE(RegWriteDword(HKLM, u"System\\State", u"Lock", 3));
  EXPECT_TRUE(watch.Changed());
  EXPECT_FALSE(watch.Changed());
}
