#include "platform/notify/LocalInstant.h"

#include <cstdlib>
#include <string>

namespace platform {
namespace {

// Local wall-clock FileTime (whole seconds) of a real instant.
bool WallOf(time_t t, FileTime& out) {
  SystemTime st;
  return LocalSystemTimeOf(t, st) && SystemTimeToFileTime(st, out);
}

bool MakeTime(const SystemTime& st, int isdst, time_t& out) {
  tm local = TmFromSystemTime(st);
  local.tm_isdst = isdst;
  out = mktime(&local);
  // mktime answers -1 for failure, which is also one second before 1970: accept
  // it only when the result names the same wall time.
  return out != static_cast<time_t>(-1) || local.tm_year == 69;
}

}  // namespace

bool LocalSystemTimeOf(time_t instant, SystemTime& out) {
  tm local{};
  if (!localtime_r(&instant, &local)) return false;
  out = SystemTimeFromTm(local);
  return true;
}

bool LocalFileTimeToInstant(FileTime local, timespec& out) {
  SystemTime st;
  if (!FileTimeToSystemTime(local, st)) return false;
  const FileTime wholeSeconds = local - local % FILETIME_PER_SECOND;
  const long nanoseconds = static_cast<long>(local % FILETIME_PER_SECOND) * 100;

  // Try the wall time as standard and as summer time; keep the readings that
  // really show this wall time, the earliest first.
  bool found = false;
  time_t best = 0;
  for (const int isdst : {0, 1}) {
    time_t t = 0;
    FileTime wall = 0;
    if (MakeTime(st, isdst, t) && WallOf(t, wall) && wall == wholeSeconds && (!found || t < best)) {
      best = t;
      found = true;
    }
  }
  if (!found) {
    // The wall time is skipped. Search near mktime's guess for the first instant
    // whose wall time is later; zones skip at most a day (a date line move).
    time_t guess = 0;
    if (!MakeTime(st, -1, guess)) return false;
    time_t lo = guess - 2 * 86400, hi = guess + 2 * 86400;
    FileTime wall = 0;
    if (!WallOf(hi, wall) || wall < wholeSeconds) return false;
    while (hi - lo > 1) {
      const time_t mid = lo + (hi - lo) / 2;
      if (!WallOf(mid, wall)) return false;
      (wall >= wholeSeconds ? hi : lo) = mid;
    }
    best = hi;
    out.tv_sec = best;
    out.tv_nsec = 0;
    return true;
  }
  out.tv_sec = best;
  out.tv_nsec = nanoseconds;
  return true;
}

void ReloadTimeZone() {
  const char* tz = std::getenv("TZ");
  const std::string saved = tz ? tz : "";
  // glibc reloads the zone only when TZ differs from what it last saw.
  setenv("TZ", "UTC0", 1);
  tzset();
  if (tz) {
    setenv("TZ", saved.c_str(), 1);
  } else {
    unsetenv("TZ");
  }
  tzset();
}

}  // namespace platform
