#include "common/store/BinaryReader.h"

#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

BinaryReader::BinaryReader(int fd, std::size_t bufferSize) : m_fd(fd), m_buffer(std::max<std::size_t>(bufferSize, 16)) {
  m_data = m_buffer.data();
}

bool BinaryReader::Fill() {
  if (m_fd < 0 || m_error) return false;
  m_base += m_size;
  m_pos = 0;
  m_size = 0;
  for (;;) {
    const ssize_t got = read(m_fd, m_buffer.data(), m_buffer.size());
    if (got > 0) {
      m_size = static_cast<std::size_t>(got);
      return true;
    }
    if (got == 0) return false;
    if (errno != EINTR) {
      m_error = true;
      return false;
    }
  }
}

bool BinaryReader::AtEnd() { return m_pos == m_size && !Fill() && !m_error; }

bool BinaryReader::ReadBytes(void* out, std::size_t count) {
  auto* dest = static_cast<std::uint8_t*>(out);
  while (count > 0) {
    if (m_pos == m_size && !Fill()) return false;
    const std::size_t chunk = std::min(count, m_size - m_pos);
    std::memcpy(dest, m_data + m_pos, chunk);
    m_pos += chunk;
    dest += chunk;
    count -= chunk;
  }
  return true;
}

bool BinaryReader::ReadBytes(std::vector<std::uint8_t>& out, std::size_t count) {
  // Grow in steps no larger than what was read so far, so that a huge count in
  // corrupt data costs at most about twice the memory the data actually holds,
  // and a short read fails after a small allocation.
  constexpr std::size_t kFirstStep = 4 * 1024;
  out.clear();
  while (out.size() < count) {
    const std::size_t chunk = std::min(std::max(kFirstStep, out.size()), count - out.size());
    const std::size_t old = out.size();
    out.resize(old + chunk);
    if (!ReadBytes(out.data() + old, chunk)) return false;
  }
  return true;
}

bool BinaryReader::Skip(std::uint64_t count) {
  while (count > 0) {
    if (m_pos == m_size && !Fill()) return false;
    const std::size_t chunk = static_cast<std::size_t>(std::min<std::uint64_t>(count, m_size - m_pos));
    m_pos += chunk;
    count -= chunk;
  }
  return true;
}

bool BinaryReader::ReadLittleEndianSlow(void* out, std::size_t count) { return ReadBytes(out, count); }

bool BinaryReader::ReadView(std::size_t count, std::span<const std::uint8_t>& out, std::vector<std::uint8_t>& spill) {
  if (m_size - m_pos >= count) {
    out = std::span<const std::uint8_t>(m_data + m_pos, count);
    m_pos += count;
    return true;
  }
  if (!ReadBytes(spill, count)) return false;
  out = spill;
  return true;
}
