#pragma once
// Blocks for results of any size. A new page costs a fault on first touch, and
// with thousands of items those faults, not the work, would make up most of a
// call: blocks of 2 MiB and more come straight from the system in huge pages
// where it has them, smaller ones from the heap, which a repeated call reuses.
#include <cstddef>

struct PageBlock {
  void* data = nullptr;  // zero-filled, `size` bytes; null when empty or out of memory
  std::size_t size = 0;
  void* base = nullptr;  // the mapping, for FreePageBlock; null for a heap block
  std::size_t length = 0;
};

// Reserves `size` zero-filled bytes; pages of a large block are only taken when
// first touched.
PageBlock AllocatePageBlock(std::size_t size);
void FreePageBlock(PageBlock& block);
