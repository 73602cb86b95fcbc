// With the log off, logging has no effect at all.
#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>

#include "common/log/Log.h"
#include "tests/support/TempDir.h"

#if defined(NATALO_LOG) && NATALO_LOG
#error "this test needs the log switched off"
#endif

namespace {

TEST(LogOff, TouchesNoFileAndFormatsNothing) {
  testsupport::TempDir dir;
  SetLogFile(dir.Path().string(), "Test_log.txt");
  // Formatting this argument would read an invalid address.
  const char* invalid = reinterpret_cast<const char*>(std::uintptr_t{16});
  WriteLog("%s %d", invalid, 1);
  EXPECT_TRUE(std::filesystem::is_empty(dir.Path()));
}

}  // namespace
