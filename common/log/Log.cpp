#include "common/log/Log.h"

#if defined(NATALO_LOG) && NATALO_LOG

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdarg>
#include <cstdio>
#include <ctime>
#include <locale.h>
#include <mutex>
#include <string>

#include "platform/clock/Clock.h"
#include "platform/file/FileIo.h"

namespace {

std::mutex g_logMutex;  // one line at a time, whichever thread logs
std::string g_logPath;

// strftime text of the local time in the user's locale, cut to `limit` characters.
std::string FormatNow(const char* picture, std::size_t limit) {
  const platform::SystemTime now = platform::GetLocalTime();
  std::tm tm = platform::TmFromSystemTime(now);
  static const locale_t userLocale = [] {
    locale_t loc = newlocale(LC_TIME_MASK, "", static_cast<locale_t>(nullptr));
    return loc ? loc : newlocale(LC_TIME_MASK, "C", static_cast<locale_t>(nullptr));
  }();
  char text[128] = {};
  const std::size_t length = strftime_l(text, sizeof text, picture, &tm, userLocale);
  return std::string(text, length < limit ? length : limit);
}

std::string FormatMessage(const char* format, va_list args) {
  va_list copy;
  va_copy(copy, args);
  char small[256];
  const int needed = std::vsnprintf(small, sizeof small, format, copy);
  va_end(copy);
  if (needed < 0) return {};
  if (static_cast<std::size_t>(needed) < sizeof small) return std::string(small, static_cast<std::size_t>(needed));
  std::string text(static_cast<std::size_t>(needed) + 1, '\0');
  std::vsnprintf(text.data(), text.size(), format, args);
  text.resize(static_cast<std::size_t>(needed));
  return text;
}

}  // namespace

void SetLogFile(const std::string& folder, const std::string& fileName) {
  const std::lock_guard lock(g_logMutex);
  if (folder.empty() || folder.back() == '/') {
    g_logPath = folder + fileName;
  } else {
    g_logPath = folder + "/" + fileName;
  }
}

void WriteLog(const char* format, ...) {
  const std::lock_guard lock(g_logMutex);
  if (g_logPath.empty() || format == nullptr) return;
  int fd = open(g_logPath.c_str(), O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0644);
  if (fd < 0) return;
  struct stat st {};
  if (fstat(fd, &st) == 0 && st.st_size > LOG_SIZE_LIMIT) {
    close(fd);
    fd = open(g_logPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_APPEND | O_CLOEXEC, 0644);
    if (fd < 0) return;
  }
  va_list args;
  va_start(args, format);
  const std::string message = FormatMessage(format, args);
  va_end(args);
  const std::string line = "[" + FormatNow("%x", 60) + " " + FormatNow("%X", 15) + "]" + message + "\n";
  // One write per line keeps lines of different processes apart.
  platform::WriteAll(fd, line);
  close(fd);
}

#endif
