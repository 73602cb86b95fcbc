#pragma once
// Loading a hundred thousand entries touches some 50 MB of small heap blocks;
// with 4 KiB pages that is a page fault each, which costs more than the
// loading itself. glibc backs its heap with huge pages when its tunable
// glibc.malloc.hugetlb says so, and tunables are read only at start: so the
// program starts itself once more with the tunable set, unless the user set
// tunables of their own. Returns only when that start failed or was not wanted.
void RestartWithHugeHeapPages(char** argv);
