#include "common/store/StorageSync.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>

#include "platform/file/FileIo.h"
#include "platform/file/UniqueFd.h"
#include "platform/sync/NamedEvent.h"

namespace {

// How often the wait for the answer looks whether the application still runs.
constexpr std::uint32_t kReplyProbeMs = 100;

void PutU32(std::uint8_t* at, std::uint32_t value) {
  for (int i = 0; i < 4; ++i) at[i] = static_cast<std::uint8_t>(value >> (8 * i));
}

std::uint32_t GetU32(const char* at) {
  std::uint32_t value = 0;
  for (int i = 0; i < 4; ++i) value |= static_cast<std::uint32_t>(static_cast<std::uint8_t>(at[i])) << (8 * i);
  return value;
}

// Our own handle of the changed-event would keep that event alive, so it is
// closed after setting it: while the application runs its handle keeps the
// event (and the signal) in existence, and once it is gone the event can no
// longer be opened.
NotifyResult WaitForReply(platform::NamedEvent& reply, std::uint32_t timeoutMs) {
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
  for (;;) {
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now());
    if (left.count() <= 0) return NotifyResult::NoAnswer;
    const auto slice = static_cast<std::uint32_t>(std::min<long long>(left.count(), kReplyProbeMs));
    const platform::WaitResult result = reply.Wait(slice);
    if (result == platform::WaitResult::Acquired) return NotifyResult::Answered;
    if (result == platform::WaitResult::Failed) return NotifyResult::NoAnswer;
    if (!platform::NamedEvent::Open(kStorageChangedEvent)) return NotifyResult::NoAnswer;
  }
}

}  // namespace

bool WriteStorageNotice(const std::string& path, const StorageNotice& notice) {
  // As every stored file: a symbolic link there is not followed (its target
  // is never truncated), and nothing but a regular file is written.
  platform::UniqueFd fd(open(path.c_str(), O_WRONLY | O_CREAT | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC, 0600));
  if (!fd.IsOpen()) return false;
  struct stat info {};
  if (fstat(fd.Get(), &info) != 0 || !S_ISREG(info.st_mode) || ftruncate(fd.Get(), 0) != 0) return false;
  std::uint8_t bytes[8];
  PutU32(bytes, static_cast<std::uint32_t>(notice.uid));
  PutU32(bytes + 4, static_cast<std::uint32_t>(notice.change));
  // The reminder state keeps the four bytes that every application reads.
  const std::size_t size = notice.change == StorageChange::ReminderState ? 4 : 8;
  return platform::WriteAll(fd.Get(), bytes, size);
}

bool ReadStorageNotice(const std::string& path, StorageNotice& notice) {
  platform::UniqueFd fd = platform::OpenRegularFile(path, O_RDONLY | O_NOFOLLOW);
  if (!fd.IsOpen()) return false;
  std::string data;
  if (!platform::ReadAll(fd.Get(), data, 8) || data.size() < 4) return false;
  notice.uid = static_cast<std::int32_t>(GetU32(data.data()));
  const std::uint32_t kind = data.size() >= 8 ? GetU32(data.data() + 4) : 0;
  notice.change = kind <= static_cast<std::uint32_t>(StorageChange::ListChanged) ? static_cast<StorageChange>(kind)
                                                                                : StorageChange::ReminderState;
  return true;
}

NotifyResult NotifyApplication(const std::string& dataFolder, const StorageNotice& notice, std::uint32_t replyMs) {
  auto changed = platform::NamedEvent::Open(kStorageChangedEvent);
  if (!changed) return NotifyResult::NoApplication;
  auto reply = platform::NamedEvent::Create(kNotifyContinueEvent);
  if (!reply) return NotifyResult::NoApplication;
  if (!WriteStorageNotice(dataFolder + kSyncFileName, notice)) return NotifyResult::Failed;
  changed->Set();
  changed.reset();
  return WaitForReply(*reply, replyMs);
}
