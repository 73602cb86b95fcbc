// The command lines of the reminder utility and the setup helper over
// arbitrary text: values stay within their limits and a UID list never holds
// more than its maximum.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "NataloCustomTool/SetupAction.h"
#include "NataloUtil/CommandLine.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view line(reinterpret_cast<const char*>(data), size);
  for (const std::string_view key : {"/ID=", "/T=", "/A="}) {
    bool truncated = false;
    const std::string value = GetCommandValue(line, key, &truncated);
    if (value.size() > kMaxCommandValueChars || (truncated && value.size() != kMaxCommandValueChars)) std::abort();
    if (!value.empty() && !HasCommandKey(line, key)) std::abort();
  }
  const ReminderCommand command = ParseReminderCommand(line);
  if (command.uids.size() > kMaxReminderUids) std::abort();
  if (command.fireTime > 0x7FFFFFFFFFFFFFFFULL) std::abort();
  (void)IsRecalculationCommand(line);
  const int code = ExitCodeOf(ParseSetupAction(line));
  if (code < 0 || code > 3) std::abort();
  return 0;
}
