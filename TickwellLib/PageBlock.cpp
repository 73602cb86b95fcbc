#include "TickwellLib/PageBlock.h"

#include <sys/mman.h>

#include <cstdint>
#include <cstdlib>

namespace {

constexpr std::size_t kHugePage = 2u * 1024 * 1024;

}  // namespace

PageBlock AllocatePageBlock(std::size_t size) {
  PageBlock block;
  if (size == 0) return block;
  // Smaller blocks come from the heap, whose pages a process that calls again
  // has already touched.
  if (size < kHugePage) {
    block.data = std::calloc(1, size);
    if (block.data != nullptr) block.size = size;
    return block;
  }
  // Larger ones are aligned to a huge page, so the system can back them with
  // huge pages: one fault for every 2 MiB instead of every 4 KiB.
  const std::size_t length = size + kHugePage;
  void* base = mmap(nullptr, length, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS | MAP_NORESERVE, -1, 0);
  if (base == MAP_FAILED) return block;
  auto start = reinterpret_cast<std::uintptr_t>(base);
  start = (start + kHugePage - 1) & ~(std::uintptr_t{kHugePage} - 1);
  madvise(reinterpret_cast<void*>(start), size, MADV_HUGEPAGE);
  block.data = reinterpret_cast<void*>(start);
  block.size = size;
  block.base = base;
  block.length = length;
  return block;
}

void FreePageBlock(PageBlock& block) {
  if (block.base != nullptr) {
    munmap(block.base, block.length);
  } else {
    std::free(block.data);
  }
  block = {};
}
