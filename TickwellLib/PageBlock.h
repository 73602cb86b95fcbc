#pragma once
// Large blocks straight from the system, in huge pages where it has them: a new
// page costs a fault on first touch, and with thousands of items those faults,
// not the work, would make up most of a call.
#include <cstddef>

struct PageBlock {
  void* data = nullptr;  // zero-filled, `size` bytes; null when empty or out of memory
  std::size_t size = 0;
  void* base = nullptr;  // the mapping, for FreePageBlock
  std::size_t length = 0;
};

// Reserves `size` bytes; pages are only taken when first touched.
PageBlock AllocatePageBlock(std::size_t size);
void FreePageBlock(PageBlock& block);
