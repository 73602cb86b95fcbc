// The pipe between reading records and working on them: every item arrives
// once, in the order pushed, across batches and the last part batch, and
// items come back to be read into again.
#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "NataloCli/ItemPipe.h"
#include "common/entries/FeskItem.h"

TEST(ItemPipe, TakesEveryItemInOrderAndGivesItemsBack) {
  for (const int count : {0, 1, 511, 512, 513, 20000}) {
    std::vector<int> taken;
    int reused = 0;
    {
      ItemPipe pipe([&taken](const StorageItem& item) { taken.push_back(item.m_nUID); });
      std::unique_ptr<StorageItem> item;
      for (int uid = 1; uid <= count; ++uid) {
        if (item) {
          ++reused;
        } else {
          item = std::make_unique<FeskItem>();
        }
        item->m_nUID = uid;
        pipe.Push(item);
      }
      pipe.Finish();
    }
    std::vector<int> expected(static_cast<std::size_t>(count));
    for (int i = 0; i < count; ++i) expected[static_cast<std::size_t>(i)] = i + 1;
    EXPECT_EQ(taken, expected) << count;
    // Only a few batches of 512 are ever ahead: a long file is read into the
    // same items over and over.
    if (count == 20000) {
      EXPECT_GE(reused, count - 6 * 512);
    }
  }
}
