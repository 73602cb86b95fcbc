#include "TickwellLib/MessageQueue.h"

#include <algorithm>

void MessageQueue::Post(std::uint32_t message) {
  {
    std::lock_guard lock(m_mutex);
    m_messages.push_back(message);
  }
  m_ready.notify_one();
}

std::uint32_t MessageQueue::Get() {
  std::unique_lock lock(m_mutex);
  m_ready.wait(lock, [this] { return !m_messages.empty(); });
  const std::uint32_t message = m_messages.front();
  m_messages.pop_front();
  return message;
}

std::size_t MessageQueue::RemoveAll(std::uint32_t message) {
  std::lock_guard lock(m_mutex);
  const auto before = m_messages.size();
  m_messages.erase(std::remove(m_messages.begin(), m_messages.end(), message), m_messages.end());
  return before - m_messages.size();
}
