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
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(2));
  engine.CallCalculateEvents();  // does nothing

  std::filesystem::create_symlink(NATALO_ENGINE_WITHOUT_CALCULATE, folder + "Natalo.so");
  EXPECT_FALSE(engine.Load(folder));
  EXPECT_FALSE(engine.IsLoaded());
  engine.CallCalculateEvents();
}
