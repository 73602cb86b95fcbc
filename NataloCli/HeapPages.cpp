#include "NataloCli/HeapPages.h"

#include <unistd.h>

#include <cstdlib>

void RestartWithHugeHeapPages(char** argv) {
  if (std::getenv("GLIBC_TUNABLES") != nullptr) return;
  if (setenv("GLIBC_TUNABLES", "glibc.malloc.hugetlb=1", 1) != 0) return;
  execv("/proc/self/exe", argv);
  unsetenv("GLIBC_TUNABLES");
}
