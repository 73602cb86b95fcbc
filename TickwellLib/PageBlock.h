#pragma once
// Blocks for the engine's results and work areas. A new page costs a fault on
// first touch (about 11 µs here), and with thousands of items those faults,
// not the work, would make up most of a call. Blocks of 64 KiB and more are
// therefore whole huge pages, one fault for every 2 MiB instead of one for every
// 4 KiB, and a few blocks given back are kept with their pages for the next
// call, until the library is unloaded. Smaller blocks come from the heap.
#include <cstddef>

struct PageBlock {
  void* data = nullptr;  // `size` bytes; null when empty or out of memory
  std::size_t size = 0;
  std::size_t length = 0;  // of the mapping at `data`; 0 for a heap block
};

// Reserves `size` bytes, NOT zero-filled: a kept block holds what its last user
// wrote. Pages of a fresh block are only taken when first touched.
PageBlock AllocatePageBlock(std::size_t size);
// The same from the heap whatever its size, for a block of which the caller
// will touch only a small part.
PageBlock AllocateHeapBlock(std::size_t size);

enum class BlockReuse {
  Keep,  // keep the block and its pages for the next call when there is room
  Drop,  // give the pages back now, so they no longer count to the process
};
void FreePageBlock(PageBlock& block, BlockReuse reuse);
