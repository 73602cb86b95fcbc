#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>

#include "NataloUtil/UtilEngine.h"
#include "tests/support/TempDir.h"

// A missing library and one without CalculateEvents both mean: no recalculation.
TEST(UtilEngine, MissingOrIncompleteLibraryIsSkipped) {
  testsupport::TempDir dir;
  const std::string folder = dir.Path().string() + "/";
  UtilEngine engine;
  const auto start = std::chrono::steady_clock::now();
  EXPECT_FALSE(engine.Load(folder));
  // Five attempts have four pauses of 10 ms between them; one attempt has none.
  const auto took = std::chrono::steady_clock::now() - start;
  EXPECT_GE(took, std::chrono::milliseconds(40));
  EXPECT_LT(took, std::chrono::seconds(2));
  engine.CallCalculateEvents();  // does nothing

  std::filesystem::create_symlink(NATALO_ENGINE_WITHOUT_CALCULATE, folder + "Natalo.so");
  EXPECT_FALSE(engine.Load(folder));
  EXPECT_FALSE(engine.IsLoaded());
  engine.CallCalculateEvents();
}
