#include "TickwellLib/PageBlock.h"

#include <sys/mman.h>

#include <cstdint>
#include <cstdlib>
#include <mutex>

namespace {

constexpr std::size_t kHugePage = 2u * 1024 * 1024;
constexpr std::size_t kSmallestMapped = 64u * 1024;

// Blocks given back with their pages. A caller that repeats the call gets its
// last result's pages back instead of faulting in fresh ones; a few blocks and
// a bounded size, so a process that once read a large storage does not hold
// much after it.
class KeptBlocks {
 public:
  constexpr KeptBlocks() = default;
  KeptBlocks(const KeptBlocks&) = delete;
  KeptBlocks& operator=(const KeptBlocks&) = delete;
  // Runs when the library is unloaded or the process ends; a block given back
  // after that is unmapped at once.
  ~KeptBlocks() {
    std::lock_guard<std::mutex> lock(m_mutex);
    for (Kept& kept : m_blocks) {
      if (kept.data != nullptr) munmap(kept.data, kept.length);
      kept = {};
    }
    m_closed = true;
  }

  // The smallest kept mapping of at least `length` bytes, or null; `length`
  // becomes the mapping's.
  void* Take(std::size_t& length) {
    std::lock_guard<std::mutex> lock(m_mutex);
    Kept* best = nullptr;
    for (Kept& kept : m_blocks) {
      if (kept.data != nullptr && kept.length >= length && (best == nullptr || kept.length < best->length)) {
        best = &kept;
      }
    }
    if (best == nullptr) return nullptr;
    void* data = best->data;
    length = best->length;
    m_bytes -= best->length;
    *best = {};
    return data;
  }

  bool Keep(void* data, std::size_t length) {
    std::lock_guard<std::mutex> lock(m_mutex);
    if (m_closed || m_bytes + length > kMaxBytes) return false;
    for (Kept& kept : m_blocks) {
      if (kept.data == nullptr) {
        kept = {data, length};
        m_bytes += length;
        return true;
      }
    }
    return false;
  }

 private:
  static constexpr std::size_t kMaxBlocks = 4;
  static constexpr std::size_t kMaxBytes = 64u * 1024 * 1024;
  struct Kept {
    void* data = nullptr;
    std::size_t length = 0;
  };
  std::mutex m_mutex;
  Kept m_blocks[kMaxBlocks]{};
  std::size_t m_bytes = 0;
  bool m_closed = false;
};

constinit KeptBlocks g_kept;

// A fresh mapping of `length` bytes (a multiple of the huge page size) that
// starts on a huge page boundary, so the system can back it with huge pages.
void* MapHugePages(std::size_t length) {
  void* raw = mmap(nullptr, length + kHugePage, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS | MAP_NORESERVE,
                   -1, 0);
  if (raw == MAP_FAILED) return nullptr;
  const auto rawStart = reinterpret_cast<std::uintptr_t>(raw);
  const std::uintptr_t start = (rawStart + kHugePage - 1) & ~(std::uintptr_t{kHugePage} - 1);
  if (start > rawStart) munmap(raw, start - rawStart);
  const std::uintptr_t end = start + length;
  const std::uintptr_t rawEnd = rawStart + length + kHugePage;
  if (rawEnd > end) munmap(reinterpret_cast<void*>(end), rawEnd - end);
  void* data = reinterpret_cast<void*>(start);
  madvise(data, length, MADV_HUGEPAGE);
  return data;
}

}  // namespace

PageBlock AllocateHeapBlock(std::size_t size) {
  PageBlock block;
  if (size == 0) return block;
  block.data = std::malloc(size);
  if (block.data != nullptr) block.size = size;
  return block;
}

PageBlock AllocatePageBlock(std::size_t size) {
  if (size < kSmallestMapped) return AllocateHeapBlock(size);
  PageBlock block;
  if (size > SIZE_MAX - 2 * kHugePage) return block;
  std::size_t length = (size + kHugePage - 1) & ~(kHugePage - 1);
  void* data = g_kept.Take(length);
  if (data == nullptr) data = MapHugePages(length);
  if (data == nullptr) return block;
  block.data = data;
  block.size = size;
  block.length = length;
  return block;
}

void FreePageBlock(PageBlock& block, BlockReuse reuse) {
  if (block.length == 0) {
    std::free(block.data);
  } else if (reuse == BlockReuse::Drop || !g_kept.Keep(block.data, block.length)) {
    munmap(block.data, block.length);
  }
  block = {};
}
