#pragma once
// A private program folder with a storage file path, and small item helpers.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "common/store/Recurrence.h"
#include "common/store/ScheduleRecord.h"
#include "common/store/StorageList.h"
#include "tests/store/ExtendedItem.h"
#include "tests/support/TempDir.h"

namespace storetest {

class StoreFixture : public ::testing::Test {
 protected:
  std::string StoragePath() const { return m_env.ProgramFolder() + "storage.dat"; }
  std::string FileContent() const { return testsupport::ReadFileBytes(StoragePath()); }
  bool SetFileContent(const std::string& bytes) const { return testsupport::WriteFileBytes(StoragePath(), bytes); }

  static std::unique_ptr<StorageItem> Item(std::uint32_t kind, std::uint64_t start, std::int32_t uid = 0) {
    auto item = std::make_unique<StorageItem>(kind, false);
    item->m_ftStart = start;
    item->m_nUID = uid;
    return item;
  }

  static std::vector<std::int32_t> UIDs(const StorageList& list) {
    std::vector<std::int32_t> uids;
    for (const auto& item : list) uids.push_back(item.m_nUID);
    return uids;
  }

  testsupport::TestEnvironment m_env;
};

}  // namespace storetest
