#include <gtest/gtest.h>

#include <QByteArray>

#include <span>
#include <string>

#include "platform/imaging/IconLibrary.h"
#include "platform/imaging/PictureBundle.h"
#include "platform/imaging/ResourceBundleCheck.h"
#include "platform/pictures/IconTable.h"
#include "tests/support/TempDir.h"

namespace {

std::string BuiltBundle() {
  return testsupport::ReadFileBytes(std::string(NATALO_TEST_PROGRAM_DIR) + kIconLibraryFileName);
}

bool WellFormed(const std::string& bytes) {
  return IsWellFormedResourceBundle(
      std::span<const uint8_t>(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size()));
}

}  // namespace

TEST(ResourceBundleCheck, AcceptsTheBuiltBundleAndRefusesEveryTruncation) {
  const std::string bytes = BuiltBundle();
  ASSERT_TRUE(WellFormed(bytes));
  // The tree lies at the end of the file, so any cut damages it.
  for (size_t length = 0; length < bytes.size(); length += (length + 200 < bytes.size() ? 97 : 1)) {
    EXPECT_FALSE(WellFormed(bytes.substr(0, length))) << length;
  }
}

TEST(ResourceBundleCheck, DamagedHeaderOrTreeNeverReachesOutsideTheFile) {
  // Every byte of the header and of the node tree overwritten in turn: either
  // the check refuses the bundle, or Qt can open it and decode (or fail to
  // decode) the first picture without reading outside the buffer.
  const std::string good = BuiltBundle();
  ASSERT_GE(good.size(), 20u);
  const auto be32 = [&](size_t at) {
    return (uint32_t{static_cast<uint8_t>(good[at])} << 24) | (uint32_t{static_cast<uint8_t>(good[at + 1])} << 16) |
           (uint32_t{static_cast<uint8_t>(good[at + 2])} << 8) | uint32_t{static_cast<uint8_t>(good[at + 3])};
  };
  const size_t tree = be32(8);
  ASSERT_LT(tree, good.size());
  size_t refused = 0;
  for (size_t at = 0; at < good.size(); at = (at == 23 ? tree : at + 1)) {
    // Large and small values by turns: offsets past the end and shifted ones.
    QByteArray bytes(good.data(), static_cast<qsizetype>(good.size()));
    bytes[static_cast<qsizetype>(at)] = static_cast<char>(at % 2 == 0 ? 0xFF : 0x01);
    PictureBundle bundle;
    if (!bundle.OpenBytes(std::move(bytes))) {
      ++refused;
      continue;
    }
    (void)bundle.Decode(IconTable[0].szListPicture);
  }
  EXPECT_GT(refused, 0u);
}

TEST(ResourceBundleCheck, RefusesForeignVersions) {
  std::string bytes = BuiltBundle();
  ASSERT_GE(bytes.size(), 8u);
  bytes[7] = 9;
  EXPECT_FALSE(WellFormed(bytes));
  bytes[7] = 0;
  EXPECT_FALSE(WellFormed(bytes));
}
