#include "TickwellLib/ByteSource.h"

#include <errno.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstring>

std::size_t MemoryByteSource::ReadAt(std::uint64_t offset, void* dst, std::size_t size) const {
  if (offset >= m_size) return 0;
  const std::size_t n = std::min<std::size_t>(size, m_size - static_cast<std::size_t>(offset));
  if (n > 0) std::memcpy(dst, m_data + offset, n);
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
  m_size = static_cast<std::uint64_t>(st.st_size);
}

FileByteSource::~FileByteSource() {
  if (m_fd >= 0) close(m_fd);
}

std::size_t FileByteSource::ReadAt(std::uint64_t offset, void* dst, std::size_t size) const {
  if (m_fd < 0) return 0;
  auto* out = static_cast<std::uint8_t*>(dst);
  std::size_t done = 0;
  while (done < size) {
    const ssize_t n = pread(m_fd, out + done, size - done, static_cast<off_t>(offset + done));
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) m_status = Status::ReadError;
    if (n <= 0) break;
    done += static_cast<std::size_t>(n);
    // A read that reaches the size the file had is short only because the
    // file ends there: asking again would cost a call to learn just that.
    if (offset + done >= m_size) break;
  }
  return done;
}
