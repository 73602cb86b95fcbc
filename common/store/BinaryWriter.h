#pragma once
// Little-endian writing into a byte buffer or, buffered, to an open file
// descriptor. The first failed write to the descriptor makes every later write
// and Flush fail, so a caller may check once at the end.
#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

class BinaryWriter {
 public:
  // Collects the bytes in memory (see Data()).
  BinaryWriter() = default;
  // Writes to the descriptor's current offset; the caller keeps it open and
  // calls Flush before closing it.
  explicit BinaryWriter(int fd, std::size_t bufferSize = 64 * 1024);

  BinaryWriter(const BinaryWriter&) = delete;
  BinaryWriter& operator=(const BinaryWriter&) = delete;

  bool WriteU8(std::uint8_t value);
  bool WriteU16(std::uint16_t value);
  bool WriteU32(std::uint32_t value);
  bool WriteI32(std::int32_t value);
  bool WriteU64(std::uint64_t value);
  bool WriteBytes(const void* data, std::size_t count);
  bool WriteBytes(std::span<const std::uint8_t> data) { return WriteBytes(data.data(), data.size()); }

  // Hands buffered bytes to the descriptor; true without one.
  bool Flush();
  bool Failed() const { return m_error; }
  // Bytes written so far, buffered ones included.
  std::uint64_t Position() const { return m_flushed + m_buffer.size(); }
  // The collected bytes of a memory writer (the unflushed tail for a descriptor).
  const std::vector<std::uint8_t>& Data() const { return m_buffer; }

 private:
  int m_fd = -1;
  std::size_t m_threshold = 0;
  bool m_error = false;
  std::uint64_t m_flushed = 0;
  std::vector<std::uint8_t> m_buffer;
};

