#include "platform/contacts/ContactLog.h"

#include <cstdio>
#include <mutex>
#include <string>

namespace platform {
namespace {

std::mutex g_logMutex;
std::function<void(std::string_view)> g_logHook;

}  // namespace

void SetContactLogHook(std::function<void(std::string_view)> hook) {
  std::lock_guard<std::mutex> lock(g_logMutex);
  g_logHook = std::move(hook);
}

void ContactLog(std::string_view line) {
  std::lock_guard<std::mutex> lock(g_logMutex);
  if (g_logHook) {
    g_logHook(line);
  } else {
    std::fprintf(stderr, "contacts: %.*s\n", static_cast<int>(line.size()), line.data());
  }
}

}  // namespace platform
