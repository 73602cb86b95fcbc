// One caller's whole process: load the engine given as the argument, read the
// active events once, release them and end.
#include <dlfcn.h>

#include "TickwellLib/Tickwell.h"

int main(int argc, char** argv) {
  if (argc < 2) return 2;
  void* library = dlopen(argv[1], RTLD_NOW);
  if (library == nullptr) return 3;
  auto get = reinterpret_cast<GetActiveEventsFn>(dlsym(library, "GetActiveEvents"));
  auto release = reinterpret_cast<ReleaseActiveEventsFn>(dlsym(library, "ReleaseActiveEvents"));
  if (get == nullptr || release == nullptr) return 4;
  int32_t count = 0, nearest = 0;
  EngineItem** events = nullptr;
  get(&count, &nearest, &events);
  release(count, events);
  return count > 0 ? 0 : 5;
}
