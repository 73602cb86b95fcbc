// Loads the engine given as the first argument, asks for a calculation and ends
// through exit() while the worker may still be busy.
#include <dlfcn.h>

#include <chrono>
#include <cstdio>
#include <thread>

#include "TickwellLib/Tickwell.h"

int main(int argc, char** argv) {
  if (argc < 2) return 2;
  void* library = dlopen(argv[1], RTLD_NOW);
  if (library == nullptr) return 3;
  auto calculate = reinterpret_cast<CalculateEventsFn>(dlsym(library, "CalculateEvents"));
  if (calculate == nullptr || calculate() == 0) return 4;
  std::this_thread::sleep_for(std::chrono::milliseconds(300));
  return 0;
}
