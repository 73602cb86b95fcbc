#pragma once
// Owns one file descriptor and closes it when destroyed.
#include <unistd.h>

#include <utility>

namespace platform {

class UniqueFd {
 public:
  UniqueFd() = default;
  explicit UniqueFd(int fd) : m_fd(fd) {}
  ~UniqueFd() { Reset(); }
  UniqueFd(const UniqueFd&) = delete;
  UniqueFd& operator=(const UniqueFd&) = delete;
  UniqueFd(UniqueFd&& other) noexcept : m_fd(std::exchange(other.m_fd, -1)) {}
  UniqueFd& operator=(UniqueFd&& other) noexcept {
    if (this != &other) {
      Reset();
      m_fd = std::exchange(other.m_fd, -1);
    }
    return *this;
  }

  int Get() const { return m_fd; }
  bool IsOpen() const { return m_fd >= 0; }
  void Reset(int fd = -1) {
    if (m_fd >= 0) close(m_fd);
    m_fd = fd;
  }
  // Closes the descriptor and says whether the close succeeded: on some file
  // systems a failed write is only reported here. False when none was open.
  bool Close() {
    const int fd = std::exchange(m_fd, -1);
    return fd >= 0 && close(fd) == 0;
  }

 private:
  int m_fd = -1;
};

}  // namespace platform
