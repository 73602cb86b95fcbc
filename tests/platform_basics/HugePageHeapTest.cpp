// Memory a large list takes after the heap was made ready lies where the
// kernel was asked to use huge pages, and what is made after the list does not.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "platform/memory/HugePageHeap.h"

namespace {

// The VmFlags of the mapping that holds `address`, or "" when none does.
std::string FlagsOfMappingAt(std::uintptr_t address) {
  std::ifstream maps("/proc/self/smaps");
  std::string line;
  bool inside = false;
  while (std::getline(maps, line)) {
    std::uintptr_t start = 0, end = 0;
    char dash = 0;
    std::istringstream range(line);
    if (range >> std::hex >> start >> dash >> end && dash == '-') {
      inside = start <= address && address < end;
    } else if (inside && line.rfind("VmFlags:", 0) == 0) {
      return line;
    }
  }
  return "";
}

}  // namespace

TEST(HugePageHeap, LaterAllocationsLieInMemoryAdvisedForHugePages) {
#if defined(__SANITIZE_ADDRESS__)
  GTEST_SKIP() << "the sanitizer's allocator has its own memory";
#endif
  if (access("/sys/kernel/mm/transparent_hugepage/enabled", F_OK) != 0) GTEST_SKIP() << "no huge pages here";
  platform::PrepareHeapForLargeData(std::size_t{64} << 20);
  // What a large list makes: many entries, then a large table. Only the
  // memory before the first huge page boundary may go without the advice.
  std::vector<void*> entries(20000);
  for (void*& entry : entries) entry = std::malloc(328);
  void* table = std::malloc(std::size_t{8} << 20);
  for (const std::uintptr_t address : {reinterpret_cast<std::uintptr_t>(entries.back()),
                                       reinterpret_cast<std::uintptr_t>(table) + (std::size_t{6} << 20)}) {
    EXPECT_NE(FlagsOfMappingAt(address).find(" hg"), std::string::npos) << FlagsOfMappingAt(address);
  }
  // Once the data is made, what comes after it is not advised.
  platform::EndLargeData();
  void* later = std::malloc(std::size_t{6} << 20);
  const auto inLater = reinterpret_cast<std::uintptr_t>(later) + (std::size_t{4} << 20);
  EXPECT_EQ(FlagsOfMappingAt(inLater).find(" hg"), std::string::npos) << FlagsOfMappingAt(inLater);
  const auto inTable = reinterpret_cast<std::uintptr_t>(table) + (std::size_t{6} << 20);
  EXPECT_NE(FlagsOfMappingAt(inTable).find(" hg"), std::string::npos) << FlagsOfMappingAt(inTable);
  std::free(later);
  std::free(table);
  for (void* entry : entries) std::free(entry);
}
