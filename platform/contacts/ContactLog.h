#pragma once
// Where the contact store reports cards and files it had to skip.
#include <functional>
#include <string_view>

namespace platform {

// Installs a receiver for log lines; an empty function restores the default,
// which writes each line to standard error.
void SetContactLogHook(std::function<void(std::string_view)> hook);
void ContactLog(std::string_view line);

}  // namespace platform
