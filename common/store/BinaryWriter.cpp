#include "common/store/BinaryWriter.h"

#include "platform/file/FileIo.h"

BinaryWriter::BinaryWriter(int fd, std::size_t bufferSize) : m_fd(fd), m_threshold(bufferSize) {
  m_buffer.reserve(bufferSize);
}

bool BinaryWriter::WriteBytes(const void* data, std::size_t count) {
  if (m_error) return false;
  const auto* bytes = static_cast<const std::uint8_t*>(data);
  m_buffer.insert(m_buffer.end(), bytes, bytes + count);
  if (m_fd >= 0 && m_buffer.size() >= m_threshold) return Flush();
  return true;
}

bool BinaryWriter::Flush() {
  if (m_error) return false;
  if (m_fd < 0 || m_buffer.empty()) return true;
  if (!platform::WriteAll(m_fd, m_buffer.data(), m_buffer.size())) {
    m_error = true;
    return false;
  }
  m_flushed += m_buffer.size();
  m_buffer.clear();
  return true;
}

bool BinaryWriter::WriteU8(std::uint8_t value) { return WriteBytes(&value, 1); }

bool BinaryWriter::WriteU16(std::uint16_t value) {
  const std::uint8_t b[2] = {static_cast<std::uint8_t>(value), static_cast<std::uint8_t>(value >> 8)};
  return WriteBytes(b, sizeof b);
}

bool BinaryWriter::WriteU32(std::uint32_t value) {
  const std::uint8_t b[4] = {static_cast<std::uint8_t>(value), static_cast<std::uint8_t>(value >> 8),
                             static_cast<std::uint8_t>(value >> 16), static_cast<std::uint8_t>(value >> 24)};
  return WriteBytes(b, sizeof b);
}

bool BinaryWriter::WriteI32(std::int32_t value) { return WriteU32(static_cast<std::uint32_t>(value)); }

bool BinaryWriter::WriteU64(std::uint64_t value) {
  return WriteU32(static_cast<std::uint32_t>(value)) && WriteU32(static_cast<std::uint32_t>(value >> 32));
}
