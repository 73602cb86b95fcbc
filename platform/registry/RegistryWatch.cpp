#include <chrono>
#include <mutex>
#include <optional>
#include <thread>

#include "platform/registry/Registry.h"
#include "platform/registry/RegistryConnection.h"
#include "platform/registry/RegistryKeyPath.h"

namespace platform {

// The watch compares the value's change counter with the one it saw last. A
// database that cannot be read reports no change; a value never written
// counts 0.
struct RegistryWatch::Impl {
  RegistryValueAddress at;
  bool valid = false;
  std::int64_t seen = 0;
  std::mutex mutex;

  std::optional<std::int64_t> Count() {
    if (!valid) return std::nullopt;
    RegistryConnection* c = AcquireRegistryConnection(RegistryAccess::Read);
    if (c == nullptr) return std::nullopt;
    RegistryStatement select(*c, RegistrySql::SelectChange);
    if (!select) return std::nullopt;
    const int rc = BindValueAddress(select, at).Step();
    if (rc == SQLITE_ROW) return select.Int(0);
    if (rc == SQLITE_DONE) return 0;
    return std::nullopt;
  }
};

RegistryWatch::RegistryWatch(RegistryRoot root, std::u16string key, std::u16string name)
    : m_impl(std::make_unique<Impl>()) {
  m_impl->valid = m_impl->at.Parse(root, key, name);
  m_impl->seen = m_impl->Count().value_or(0);
}

RegistryWatch::~RegistryWatch() = default;

bool RegistryWatch::Changed() {
  std::lock_guard lock(m_impl->mutex);
  const std::optional<std::int64_t> count = m_impl->Count();
  if (!count || *count == m_impl->seen) return false;
  m_impl->seen = *count;
  return true;
}

bool RegistryWatch::WaitForChange(std::uint32_t timeoutMs) {
  constexpr auto kPollInterval = std::chrono::milliseconds(25);
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
  while (true) {
    if (Changed()) return true;
    const auto now = std::chrono::steady_clock::now();
    if (now >= deadline) return false;
    std::this_thread::sleep_for(std::min<std::chrono::steady_clock::duration>(kPollInterval, deadline - now));
  }
}

}  // namespace platform
