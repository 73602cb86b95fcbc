#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <functional>
#include <future>

#include "common/entries/FeskList.h"
#include "tests/entries/EntriesFixture.h"

namespace entriestest {
namespace {

using StorageFileKind = EntriesFixture;

// A storage file that is a FIFO or a folder is refused at once by every
// operation that reads it; none of them waits for a writer.
TEST_F(StorageFileKind, OnlyRegularFilesAreRead) {
  const struct {
    const char* what;
    std::function<bool(FeskList&)> operation;
  } operations[] = {
      {"Load", [](FeskList& l) { return l.Load(); }},
      {"LoadStorageLocked", [](FeskList& l) { return l.LoadStorageLocked(); }},
      {"LoadAndUpgradeStorage", [](FeskList& l) { return l.LoadAndUpgradeStorage(); }},
      {"RefreshItemState", [](FeskList& l) { return l.RefreshItemState(1); }},
      {"WriteItemState", [](FeskList& l) { return l.WriteItemState(*l.FindByUID(1)); }},
  };
  const struct {
    const char* what;
    std::function<void(const std::string&)> make;
  } kinds[] = {
      {"FIFO", [](const std::string& p) { ASSERT_EQ(mkfifo(p.c_str(), 0600), 0); }},
      {"folder", [](const std::string& p) { ASSERT_TRUE(std::filesystem::create_directory(p)); }},
  };
  for (const auto& kind : kinds) {
    for (const auto& op : operations) {
      SCOPED_TRACE(testing::Message() << kind.what << ": " << op.what);
      std::filesystem::remove_all(StoragePath());
      kind.make(StoragePath());
      FeskList list(StoragePath());
      list.Add(Entry(Birthday, At(1961, 7, 5)))->m_nUID = 1;
      auto result = std::async(std::launch::async, [&] { return op.operation(list); });
      if (result.wait_for(std::chrono::seconds(10)) != std::future_status::ready) {
        // Give the blocked open a writer so that the test can end.
        const int writer = open(StoragePath().c_str(), O_WRONLY | O_NONBLOCK);
        if (writer >= 0) close(writer);
        ADD_FAILURE() << "blocked";
      }
      EXPECT_FALSE(result.get());
    }
  }
}

}  // namespace
}  // namespace entriestest
