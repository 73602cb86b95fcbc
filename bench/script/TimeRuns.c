/* Runs a program RUNS times and prints one line per run:
 *   wall_us marker_us peak_kib cpu_us exit
 * wall_us is the time from fork to the end of the program; marker_us the time
 * until MARKER appeared on its standard output (0 without -m); peak_kib its
 * peak resident memory and cpu_us its user and system time, from wait4. This
 * process is small, so the peak is the program's own and not that of a large
 * parent it would otherwise inherit at exec. The program's output is dropped.
 *   bench_time_runs [-n RUNS] [-w WARMUPS] [-m MARKER] PROGRAM [ARG...]
 * Warm-up runs fill the page cache and print nothing. */
#define _GNU_SOURCE
#include <fcntl.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

static long MicrosSince(const struct timespec* start) {
  struct timespec now;
  clock_gettime(CLOCK_MONOTONIC, &now);
  return (now.tv_sec - start->tv_sec) * 1000000L + (now.tv_nsec - start->tv_nsec) / 1000;
}

/* One run; returns 0 when it could be started and waited for. */
static int RunOnce(char** argv, const char* marker, long* wall, long* markerAt, long* peak, long* cpu, int* code) {
  int fds[2] = {-1, -1};
  if (marker != NULL && pipe(fds) != 0) return 1;
  struct timespec start;
  clock_gettime(CLOCK_MONOTONIC, &start);
  const pid_t pid = fork();
  if (pid == 0) {
    const int null = open("/dev/null", O_WRONLY);
    if (marker != NULL) {
      dup2(fds[1], 1);
      close(fds[0]);
      close(fds[1]);
    } else if (null >= 0) {
      dup2(null, 1);
    }
    if (null >= 0) dup2(null, 2);
    execv(argv[0], argv);
    _exit(127);
  }
  if (pid < 0) return 1;
  *markerAt = 0;
  if (marker != NULL) {
    close(fds[1]);
    /* Keeps the last bytes read so a marker split across reads is still seen. */
    const size_t keep = strlen(marker);
    char buffer[65536];
    size_t held = 0;
    for (;;) {
      const ssize_t n = read(fds[0], buffer + held, sizeof buffer - held);
      if (n <= 0) break;
      held += (size_t)n;
      if (*markerAt == 0 && memmem(buffer, held, marker, keep) != NULL) *markerAt = MicrosSince(&start);
      if (held > keep) {
        memmove(buffer, buffer + held - keep, keep);
        held = keep;
      }
    }
    close(fds[0]);
  }
  int status = 0;
  struct rusage usage;
  if (wait4(pid, &status, 0, &usage) != pid) return 1;
  *wall = MicrosSince(&start);
  *peak = usage.ru_maxrss;
  *cpu = (usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) * 1000000L + usage.ru_utime.tv_usec + usage.ru_stime.tv_usec;
  *code = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
  return 0;
}

int main(int argc, char** argv) {
  int runs = 10, warmups = 1, opt;
  const char* marker = NULL;
  while ((opt = getopt(argc, argv, "+n:w:m:")) != -1) {
    if (opt == 'n') runs = atoi(optarg);
    else if (opt == 'w') warmups = atoi(optarg);
    else if (opt == 'm') marker = optarg;
    else return 2;
  }
  if (optind >= argc || runs < 1) {
    fprintf(stderr, "usage: %s [-n RUNS] [-w WARMUPS] [-m MARKER] PROGRAM [ARG...]\n", argv[0]);
    return 2;
  }
  for (int i = 0; i < warmups + runs; ++i) {
    long wall = 0, markerAt = 0, peak = 0, cpu = 0;
    int code = 0;
    if (RunOnce(argv + optind, marker, &wall, &markerAt, &peak, &cpu, &code) != 0) {
      perror("bench_time_runs");
      return 1;
    }
    if (i >= warmups) printf("%ld %ld %ld %ld %d\n", wall, markerAt, peak, cpu, code);
  }
  return 0;
}
