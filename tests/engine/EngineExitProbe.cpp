// Loads the engine given as the first argument, asks for a calculation and ends
// through exit() while the worker may still be busy. With "--no-threads" no
// thread can be started: loading must survive that and CalculateEvents say 0.
#include <dlfcn.h>
#include <pthread.h>

#include <chrono>
#include <cstdio>
#include <cstring>
#include <thread>

#include "TickwellLib/Tickwell.h"

namespace {

// Every new thread asks for a stack larger than any address space.
bool ForbidThreads() {
  pthread_attr_t attr;
  if (pthread_attr_init(&attr) != 0) return false;
  const bool ok = pthread_attr_setstacksize(&attr, std::size_t{1} << 46) == 0 && pthread_setattr_default_np(&attr) == 0;
  pthread_attr_destroy(&attr);
  return ok;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) return 2;
  const bool noThreads = argc > 2 && std::strcmp(argv[2], "--no-threads") == 0;
  if (noThreads && !ForbidThreads()) return 5;
  void* library = dlopen(argv[1], RTLD_NOW);
  if (library == nullptr) return 3;
  auto calculate = reinterpret_cast<CalculateEventsFn>(dlsym(library, "CalculateEvents"));
  if (calculate == nullptr) return 4;
  if (noThreads) return calculate() == 0 ? 0 : 6;
  if (calculate() == 0) return 4;
  std::this_thread::sleep_for(std::chrono::milliseconds(300));
  return 0;
}
