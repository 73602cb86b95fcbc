#pragma once
// Positional byte input for the storage reader: a file or a block of memory.
#include <cstddef>
#include <cstdint>
#include <string>

class ByteSource {
 public:
  virtual ~ByteSource() = default;
  // Copies up to `size` bytes from `offset`; returns how many were copied (0 at
  // the end or after a read error).
  virtual std::size_t ReadAt(std::uint64_t offset, void* dst, std::size_t size) const = 0;
  // The size when it was opened.
  virtual std::uint64_t Size() const = 0;
  // True once a read failed with an error: the data did not end where
  // ReadAt returned 0, and what was read is only part of it.
  virtual bool Failed() const { return false; }
};

class MemoryByteSource final : public ByteSource {
 public:
  MemoryByteSource(const std::uint8_t* data, std::size_t size) : m_data(data), m_size(size) {}
  std::size_t ReadAt(std::uint64_t offset, void* dst, std::size_t size) const override;
  std::uint64_t Size() const override { return m_size; }

 private:
  const std::uint8_t* m_data;
  std::size_t m_size;
};

// An existing regular file, read through one descriptor, which it owns. The
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
  bool Failed() const override { return m_status == Status::ReadError; }
  std::size_t ReadAt(std::uint64_t offset, void* dst, std::size_t size) const override;
  std::uint64_t Size() const override { return m_size; }

 private:
  int m_fd = -1;
  std::uint64_t m_size = 0;
  mutable Status m_status = Status::Open;
};
