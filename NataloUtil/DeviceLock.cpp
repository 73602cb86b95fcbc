#include "NataloUtil/DeviceLock.h"

#include <unistd.h>

#include <chrono>
#include <thread>

#include "platform/process/Process.h"
#include "platform/registry/DeviceState.h"
#include "platform/registry/Registry.h"

namespace {

constexpr int kKeyGapMs = 20;
constexpr int kPromptWaitMs = 100;
constexpr int kPromptWaitAttempts = 31;

void Tap(KeySender& sender, std::uint8_t key, std::uint8_t scan = 0) {
  sender.SendKey(key, scan, true);
  sender.Sleep(kKeyGapMs);
  sender.SendKey(key, scan, false);
  sender.Sleep(kKeyGapMs);
}

void WaitForPrompt(KeySender& sender, std::uintptr_t before) {
  for (int i = 0; i < kPromptWaitAttempts && sender.ForegroundWindow() == before; ++i) sender.Sleep(kPromptWaitMs);
}

std::uint32_t ReadStateValue(std::u16string_view key, std::u16string_view name) {
  std::uint32_t value = 0;
  if (!platform::RegReadDword(platform::RegistryRoot::LocalMachine, std::u16string(key), std::u16string(name), value))
    return 0;
  return value;
}

}  // namespace

std::uint32_t ReadLockState() { return ReadStateValue(platform::kDeviceStateKey, platform::kLockValue); }

bool IsPhoneCallActive() {
  return (ReadStateValue(platform::kPhoneStateKey, platform::kPhoneStatusValue) & kPhoneCallBits) != 0;
}

void WaitWhilePhoneCallActive(const std::function<void(int)>& sleep) {
  while (IsPhoneCallActive()) sleep(kPhoneWaitStepMs);
}

void WakeDisplay() {
  for (const char* tool : {"/usr/bin/xdg-screensaver", "/usr/local/bin/xdg-screensaver"}) {
    if (access(tool, X_OK) == 0) {
      platform::StartProcess(tool, {"reset"});
      return;
    }
  }
}

void DisplayWakeKeySender::SendKey(std::uint8_t, std::uint8_t, bool) {
  if (m_woken) return;
  m_woken = true;
  WakeDisplay();
}

void DisplayWakeKeySender::Sleep(int milliseconds) {
  // Nothing was sent, so nothing needs time to react.
  (void)milliseconds;
}

void CheckLockUnlock(std::uint32_t lockState, std::uint32_t needUnlock, const std::u16string& password,
                     KeySender& sender) {
  if (needUnlock == 0) return;
  if (lockState == 2) {
    const std::uintptr_t before = sender.ForegroundWindow();
    sender.SendKey(VK_TEND, 0, true);
    sender.SendKey(VK_TEND, 0, false);
    sender.Sleep(kKeyGapMs);
    sender.SendKey(VK_TSOFT1, 0, true);
    sender.SendKey(VK_TSOFT1, 0, false);
    WaitForPrompt(sender, before);
    Tap(sender, VK_TSTAR);
  } else if (lockState == 1 || lockState == 3) {
    const std::uintptr_t before = sender.ForegroundWindow();
    sender.SendKey(VK_TSOFT1, 0, true);
    sender.SendKey(VK_TSOFT1, 0, false);
    WaitForPrompt(sender, before);
    for (const char16_t c : password) {
      const auto low = static_cast<std::uint8_t>(c & 0xFF);
      Tap(sender, low, low);
    }
    Tap(sender, VK_TSOFT1);
  }
}
