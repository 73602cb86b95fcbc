#include "platform/memory/HugePageHeap.h"

#include <malloc.h>
#include <sys/mman.h>
#include <unistd.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <mutex>
#include <vector>

// A sanitizer's allocator keeps its own memory: the C library's heap is not
// what the program's blocks come from.
#if defined(__SANITIZE_ADDRESS__)
#define NATALO_OWN_ALLOCATOR 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define NATALO_OWN_ALLOCATOR 1
#endif
#endif
#ifndef NATALO_OWN_ALLOCATOR
#define NATALO_OWN_ALLOCATOR 0
#endif

namespace platform {
#if defined(__GLIBC__) && defined(MADV_HUGEPAGE) && !NATALO_OWN_ALLOCATOR
namespace {

constexpr std::size_t kMiB = std::size_t{1} << 20;
constexpr std::size_t kHugePage = 2 * kMiB;
// Less than this is not worth the advice.
constexpr std::size_t kSmallest = 8 * kMiB;
// The heap is grown in blocks the allocator takes from it, not from mappings
// of their own (its limit for that is 32 MiB).
constexpr std::size_t kBlock = 16 * kMiB;
constexpr std::size_t kMost = 512 * kMiB;

std::mutex g_mutex;
std::size_t g_prepared = 0;
// The range advised for huge pages and not yet given back to ordinary ones.
std::uintptr_t g_advisedFirst = 0, g_advisedLast = 0;

}  // namespace

void PrepareHeapForLargeData(std::size_t bytes) {
  bytes = std::min(bytes, kMost);
  const std::lock_guard lock(g_mutex);
  if (bytes < kSmallest || bytes <= g_prepared) return;
  // Blocks up to the size asked for come from the heap, and the heap keeps
  // what is freed at its top for what comes next.
  mallopt(M_MMAP_THRESHOLD, static_cast<int>(kBlock * 2));
  mallopt(M_TRIM_THRESHOLD, static_cast<int>(kMost));
  // Room for every block first: a list grown between them would lie between
  // them and keep them apart from the heap's top once they are freed.
  std::vector<void*> blocks;
  blocks.reserve(kMost / kBlock + 1);
  std::uintptr_t low = UINTPTR_MAX, high = 0;
  for (std::size_t taken = 0; taken < bytes; taken += kBlock) {
    void* block = std::malloc(kBlock);
    if (block == nullptr) break;
    blocks.push_back(block);
    const auto at = reinterpret_cast<std::uintptr_t>(block);
    low = std::min(low, at);
    high = std::max(high, at + kBlock);
  }
  // Only whole huge pages inside the blocks are advised; the blocks follow
  // each other in the heap.
  const std::uintptr_t first = (low + kHugePage - 1) / kHugePage * kHugePage;
  const std::uintptr_t last = high / kHugePage * kHugePage;
  if (!blocks.empty() && last > first && high - low <= blocks.size() * (kBlock + kMiB)) {
    if (madvise(reinterpret_cast<void*>(first), last - first, MADV_HUGEPAGE) == 0) {
      g_advisedFirst = first;
      g_advisedLast = last;
    }
  }
  for (void* block : blocks) std::free(block);
  g_prepared = bytes;
}

void EndLargeData() {
  const std::lock_guard lock(g_mutex);
  if (g_advisedLast == 0) return;
  // The heap's top block, which ends at the program break, is where the
  // next blocks come from; what lies below it is in use or kept free.
  const auto top = reinterpret_cast<std::uintptr_t>(sbrk(0)) - mallinfo2().keepcost;
  const std::uintptr_t from = (top + kHugePage - 1) / kHugePage * kHugePage;
  if (top >= g_advisedFirst && from < g_advisedLast) {
    madvise(reinterpret_cast<void*>(from), g_advisedLast - from, MADV_NOHUGEPAGE);
  }
  g_advisedFirst = g_advisedLast = 0;
}

#else

void PrepareHeapForLargeData(std::size_t) {}
void EndLargeData() {}

#endif
}  // namespace platform
