#pragma once
// Large lists live in memory the kernel backs with huge pages where it can:
// filling 2 MiB of them costs one page fault instead of 512, which is most
// of what touching the entries of a long list costs.
#include <cstddef>

namespace platform {

// Makes the heap ready to take about `bytes` more, backed by huge pages;
// below a few MiB it does nothing. The memory stays with the heap once freed
// (it is not handed back to the system) and counts only where it is used.
// Call it from the thread that will make the data, before making it. Under a
// sanitizer's allocator it does nothing.
void PrepareHeapForLargeData(std::size_t bytes);
// The data is made: the heap backs what it takes from now on above it with
// ordinary pages again, so that the small blocks made later do not each take
// a huge page of their own. Call it from the same thread.
void EndLargeData();

}  // namespace platform
