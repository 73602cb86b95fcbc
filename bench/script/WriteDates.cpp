// Writes COUNT yearly birthdays as a storage.dat and the same dates as a
// reminder script for `remind`, the data of scripts/bench.
//   bench_write_dates COUNT STORAGE REMINDERS
#include <cstdio>
#include <cstdlib>
#include <string>

#include "bench/engine/RealisticDates.h"

namespace {

bool Write(const char* path, const std::string& bytes) {
  FILE* file = std::fopen(path, "wb");
  if (file == nullptr) return false;
  const bool written = std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
  return std::fclose(file) == 0 && written;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 4) {
    std::fprintf(stderr, "usage: %s COUNT STORAGE REMINDERS\n", argv[0]);
    return 2;
  }
  const int count = std::atoi(argv[1]);
  if (count < 0) return 2;
  if (!Write(argv[2], enginebench::StorageOfBirthdays(count)) ||
      !Write(argv[3], enginebench::RemindScriptOfBirthdays(count))) {
    std::perror("bench_write_dates");
    return 1;
  }
  return 0;
}
