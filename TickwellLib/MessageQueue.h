#pragma once
// The worker thread's message queue: numbered messages, posted from any thread.
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <mutex>

inline constexpr std::uint32_t kQuitMessage = 0x0012;
inline constexpr std::uint32_t kCalculateMessage = 273;

class MessageQueue {
 public:
  void Post(std::uint32_t message);
  // Waits for the next message and removes it.
  std::uint32_t Get();
  // Removes every queued `message`; returns how many were removed.
  std::size_t RemoveAll(std::uint32_t message);

 private:
  std::mutex m_mutex;
  std::condition_variable m_ready;
  std::deque<std::uint32_t> m_messages;
};
