#pragma once
// The device's lock and phone state as the utility sees them, and the unlock
// rules. The rules speak to a key sender; the desktop's sender only wakes the
// display, since keys sent here would land in whatever window has the focus.
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

inline constexpr std::uint8_t VK_TSOFT1 = 0x70;
inline constexpr std::uint8_t VK_TEND = 0x73;
inline constexpr std::uint8_t VK_TSTAR = 0x77;
inline constexpr std::uint32_t kPhoneCallBits = 0x10000u | 0x20000u | 0x20000000u;
inline constexpr int kPhoneWaitStepMs = 1000;

// Lock value: 0 unlocked, 1 device locked, 2 keypad locked, 3 both. A value
// that cannot be read counts as unlocked.
std::uint32_t ReadLockState();
bool IsPhoneCallActive();
// Waits in steps of one second while a call is active.
void WaitWhilePhoneCallActive(const std::function<void(int)>& sleep);

class KeySender {
 public:
  virtual ~KeySender() = default;
  // One key press (down) or release (up) with its scan code.
  virtual void SendKey(std::uint8_t virtualKey, std::uint8_t scanCode, bool down) = 0;
  virtual void Sleep(int milliseconds) = 0;
  // An opaque identity of the window in front; the rules wait for it to change.
  virtual std::uintptr_t ForegroundWindow() = 0;
};

// The desktop's sender: wakes the display (xdg-screensaver reset, where it is
// installed) instead of sending the first key, and sends nothing else.
class DisplayWakeKeySender : public KeySender {
 public:
  void SendKey(std::uint8_t virtualKey, std::uint8_t scanCode, bool down) override;
  void Sleep(int milliseconds) override;
  std::uintptr_t ForegroundWindow() override { return 0; }

 private:
  bool m_woken = false;
};

// Wakes the display (the phone's switch to full power).
void WakeDisplay();

// Unlocks the keypad (lock 2) or the device (lock 1, 3, typing the password)
// when `needUnlock` is set; nothing otherwise.
void CheckLockUnlock(std::uint32_t lockState, std::uint32_t needUnlock, const std::u16string& password,
                     KeySender& sender);
