// Test helper started by the notification service: appends one line per start
// to the file named by NOTIFY_TEST_LOG: the real time in nanoseconds, the number
// of arguments, then each argument after a tab.
#include <time.h>

#include <cstdio>
#include <cstdlib>

int main(int argc, char** argv) {
  const char* path = std::getenv("NOTIFY_TEST_LOG");
  if (!path) return 2;
  timespec now{};
  clock_gettime(CLOCK_REALTIME, &now);
  FILE* out = std::fopen(path, "a");
  if (!out) return 2;
  std::fprintf(out, "%lld %d", static_cast<long long>(now.tv_sec) * 1000000000LL + now.tv_nsec, argc - 1);
  for (int i = 1; i < argc; ++i) std::fprintf(out, "\t%s", argv[i]);
  std::fprintf(out, "\n");
  std::fclose(out);
  return 0;
}
