#pragma once
// Each test gets its own program folder and registry, a clock pinned to a
// chosen day, the real English texts of the built local.dat and the en_US
// date pictures.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "common/entries/EntryCalendar.h"
#include "common/entries/FeskItem.h"
#include "common/settings/AppSettings.h"
#include "common/text/LocalTable.h"
#include "common/text/LocalePatterns.h"
#include "common/text/ProgramFolder.h"
#include "platform/clock/Clock.h"
#include "platform/text/Utf.h"
#include "tests/engine/ItemBuilders.h"
#include "tests/support/TempDir.h"

namespace entriestest {

using enginetest::At;

inline std::unique_ptr<FeskItem> Entry(std::uint16_t kind, platform::FileTime date, std::u16string first = u"Ann",
                                       std::u16string last = u"Lee") {
  auto entry = std::make_unique<FeskItem>(kind);
  entry->m_ftDate = date;
  if (kind == Birthday) {
    entry->SetFirstName(std::move(first));
    entry->SetLastName(std::move(last));
  } else {
    entry->SetName(std::move(first));
  }
  return entry;
}

// The copies kept beside a storage file (its name followed by a dot), sorted.
inline std::vector<std::string> CopiesBeside(const std::string& path) {
  std::vector<std::string> copies;
  const std::filesystem::path file(path);
  for (const auto& entry : std::filesystem::directory_iterator(file.parent_path())) {
    const std::string name = entry.path().string();
    if (name.rfind(path + ".", 0) == 0 && name != path + ".new") copies.push_back(name);
  }
  std::sort(copies.begin(), copies.end());
  return copies;
}

class EntriesFixture : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    ASSERT_TRUE(GetLocalTable().LoadFile(NATALO_TEST_LOCAL_DAT, u"[English]"));
    SetLocalePatterns(LocalePatternsFor("en_US.UTF-8"), platform::GetCalendarNames("en_US.UTF-8"));
  }

  void SetUp() override {
    platform::SetClockSource(&m_clock);
    SetToday(2009, 3, 10);
    SetProgramFolder(platform::FromUtf8(m_env.ProgramFolder()));
    g_settings = AppSettings{};
  }

  void TearDown() override {
    platform::SetClockSource(nullptr);
    SetProgramFolder({});
    g_settings = AppSettings{};
  }

  void SetToday(int year, int month, int day) { m_clock.Set(At(year, month, day, 9, 30)); }
  std::string StoragePath() const { return m_env.ProgramFolder() + "storage.dat"; }
  std::string FileContent() const { return testsupport::ReadFileBytes(StoragePath()); }
  // Exactly one copy beside storage.dat, named storage.dat.<tag>-..., holding `bytes`.
  void ExpectOneCopy(const std::string& tag, const std::string& bytes) const {
    const auto copies = CopiesBeside(StoragePath());
    ASSERT_EQ(copies.size(), 1u);
    EXPECT_EQ(copies[0].rfind(StoragePath() + "." + tag + "-", 0), 0u);
    EXPECT_EQ(testsupport::ReadFileBytes(copies[0]), bytes);
  }

  platform::FixedClockSource m_clock;
  testsupport::TestEnvironment m_env;
};

}  // namespace entriestest
