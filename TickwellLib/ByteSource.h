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

// Reads an existing regular file through a buffer; owns the descriptor. The
// file is opened without blocking and anything else (a FIFO, a device, a
// folder) is refused, so a storage file replaced by a FIFO never hangs the
// reader while it holds the storage mutex.
class FileByteSource final : public ByteSource {
 public:
  enum class Status { Open, Missing, Refused, ReadError };
  explicit FileByteSource(const std::string& path);
  ~FileByteSource() override;
  FileByteSource(const FileByteSource&) = delete;
  FileByteSource& operator=(const FileByteSource&) = delete;
  bool IsOpen() const { return m_fd >= 0; }
  // Missing: no such file. Refused: not a regular file, or it cannot be opened.
  // ReadError: a read failed; the data seemed to end there.
  Status GetStatus() const { return m_status; }
  std::size_t Read(void* dst, std::size_t size) override;

 private:
  bool Refill();
  int m_fd = -1;
  Status m_status = Status::Open;
  static constexpr std::size_t kBufferSize = 64 * 1024;
  std::uint8_t m_buffer[kBufferSize];
  std::size_t m_begin = 0;
  std::size_t m_end = 0;
};
