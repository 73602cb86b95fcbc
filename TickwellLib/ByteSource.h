#pragma once
// Sequential byte input for the storage reader: a file or a block of memory.
#include <cstddef>
#include <cstdint>
#include <string>

class ByteSource {
 public:
  virtual ~ByteSource() = default;
  // Copies up to `size` bytes; returns how many were copied (0 at the end).
  virtual std::size_t Read(void* dst, std::size_t size) = 0;
};

class MemoryByteSource final : public ByteSource {
 public:
  MemoryByteSource(const std::uint8_t* data, std::size_t size) : m_data(data), m_size(size) {}
  std::size_t Read(void* dst, std::size_t size) override;

 private:
  const std::uint8_t* m_data;
  std::size_t m_size;
  std::size_t m_pos = 0;
};

// Reads an existing file through a buffer; owns the descriptor.
class FileByteSource final : public ByteSource {
 public:
  explicit FileByteSource(const std::string& path);
  ~FileByteSource() override;
  FileByteSource(const FileByteSource&) = delete;
  FileByteSource& operator=(const FileByteSource&) = delete;
  bool IsOpen() const { return m_fd >= 0; }
  std::size_t Read(void* dst, std::size_t size) override;

 private:
  bool Refill();
  int m_fd = -1;
  static constexpr std::size_t kBufferSize = 64 * 1024;
  std::uint8_t m_buffer[kBufferSize];
  std::size_t m_begin = 0;
  std::size_t m_end = 0;
};
