#include "TickwellLib/ByteSource.h"

#include <errno.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstring>

std::size_t MemoryByteSource::Read(void* dst, std::size_t size) {
  const std::size_t n = std::min(size, m_size - m_pos);
  if (n > 0) std::memcpy(dst, m_data + m_pos, n);
  m_pos += n;
  return n;
}

FileByteSource::FileByteSource(const std::string& path) {
  const int fd = open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
  if (fd < 0) {
    m_status = errno == ENOENT || errno == ENOTDIR ? Status::Missing : Status::Refused;
    return;
  }
  struct stat st {};
  if (fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
    close(fd);
    m_status = Status::Refused;
    return;
  }
  m_fd = fd;
}

FileByteSource::~FileByteSource() {
  if (m_fd >= 0) close(m_fd);
}

bool FileByteSource::Refill() {
  for (;;) {
    const ssize_t n = read(m_fd, m_buffer, kBufferSize);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) m_status = Status::ReadError;
    if (n <= 0) return false;
    m_begin = 0;
    m_end = static_cast<std::size_t>(n);
    return true;
  }
}

std::size_t FileByteSource::Read(void* dst, std::size_t size) {
  if (m_fd < 0) return 0;
  auto* out = static_cast<std::uint8_t*>(dst);
  std::size_t done = 0;
  while (done < size) {
    if (m_begin == m_end && !Refill()) break;
    const std::size_t n = std::min(size - done, m_end - m_begin);
    std::memcpy(out + done, m_buffer + m_begin, n);
    m_begin += n;
    done += n;
  }
  return done;
}
