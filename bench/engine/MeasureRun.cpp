// Runs a program once and prints its wall time in microseconds, its minor page
// faults, its peak resident memory in KiB and its CPU time (user and system) in
// microseconds. A small process of its own starts
// the program, so the peak is the program's, not that of a large parent it
// would otherwise inherit at exec. The program's own output is dropped.
#include <fcntl.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

#include <cstdio>

int main(int argc, char** argv) {
  if (argc < 2) return 2;
  timespec start{}, end{};
  clock_gettime(CLOCK_MONOTONIC, &start);
  const pid_t pid = fork();
  if (pid == 0) {
    // What the program prints is not wanted, only this line.
    const int null = open("/dev/null", O_WRONLY);
    if (null >= 0) dup2(null, 1);
    execv(argv[1], argv + 1);
    _exit(127);
  }
  if (pid < 0) return 3;
  int status = 0;
  rusage usage{};
  if (wait4(pid, &status, 0, &usage) != pid) return 4;
  clock_gettime(CLOCK_MONOTONIC, &end);
  const long micros = (end.tv_sec - start.tv_sec) * 1'000'000L + (end.tv_nsec - start.tv_nsec) / 1000;
  const long cpuMicros = (usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) * 1'000'000L + usage.ru_utime.tv_usec +
                        usage.ru_stime.tv_usec;
  std::printf("%ld %ld %ld %ld\n", micros, usage.ru_minflt, usage.ru_maxrss, cpuMicros);
  return WIFEXITED(status) ? WEXITSTATUS(status) : 5;
}
