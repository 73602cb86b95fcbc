#include "TickwellLib/PageBlock.h"

#include <sys/mman.h>

#include <cstdint>

namespace {

constexpr std::size_t kHugePage = 2u * 1024 * 1024;

}  // namespace

PageBlock AllocatePageBlock(std::size_t size) {
  PageBlock block;
  if (size == 0) return block;
  // Blocks of a huge page or more are aligned to one, so the system can back
  // them with huge pages.
  const bool huge = size >= kHugePage;
  const std::size_t length = huge ? size + kHugePage : size;
  void* base = mmap(nullptr, length, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS | MAP_NORESERVE, -1, 0);
  if (base == MAP_FAILED) return block;
  auto start = reinterpret_cast<std::uintptr_t>(base);
  if (huge) {
    start = (start + kHugePage - 1) & ~(std::uintptr_t{kHugePage} - 1);
    madvise(reinterpret_cast<void*>(start), size, MADV_HUGEPAGE);
  }
  block.data = reinterpret_cast<void*>(start);
  block.size = size;
  block.base = base;
  block.length = length;
  return block;
}

void FreePageBlock(PageBlock& block) {
  if (block.base != nullptr) munmap(block.base, block.length);
  block = {};
}
