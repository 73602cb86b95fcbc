#pragma once
// Bounds-checked little-endian reading from a byte buffer or, buffered, from an
// open file descriptor. Every read either delivers all the bytes asked for or
// fails; nothing is ever read past the end of the data.
#include <bit>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <span>
#include <vector>

class BinaryReader {
 public:
  // Reads from memory the caller keeps alive.
  explicit BinaryReader(std::span<const std::uint8_t> data) : m_data(data.data()), m_size(data.size()) {}
  // Reads from the descriptor's current offset on; the caller keeps it open.
  explicit BinaryReader(int fd, std::size_t bufferSize = 64 * 1024);

  BinaryReader(const BinaryReader&) = delete;
  BinaryReader& operator=(const BinaryReader&) = delete;

  // Numbers are read straight from the data when enough of it is at hand;
  // only a value that straddles the end of the buffer takes the long way.
  bool ReadU8(std::uint8_t& value) { return ReadLittleEndian(value); }
  bool ReadU16(std::uint16_t& value) { return ReadLittleEndian(value); }
  bool ReadU32(std::uint32_t& value) { return ReadLittleEndian(value); }
  bool ReadI32(std::int32_t& value) { return ReadLittleEndian(value); }
  bool ReadU64(std::uint64_t& value) { return ReadLittleEndian(value); }
  bool ReadBytes(void* out, std::size_t count);
  // Replaces `out` with the next `count` bytes.
  bool ReadBytes(std::vector<std::uint8_t>& out, std::size_t count);
  // The next `count` bytes: a view into the data when they lie in one piece,
  // else copied into `spill`. The view lasts until the next read.
  bool ReadView(std::size_t count, std::span<const std::uint8_t>& out, std::vector<std::uint8_t>& spill);
  bool Skip(std::uint64_t count);

  // Bytes consumed since the start (for a descriptor: since construction).
  std::uint64_t Position() const { return m_base + m_pos; }
  // True when no byte is left. A read error is not the end of the data: then
  // this is false, the next read fails and Failed() tells why.
  bool AtEnd();
  // True when reading the descriptor failed with an error rather than at its end.
  // Whatever was read then is only part of the data.
  bool Failed() const { return m_error; }

 private:
  bool Fill();
  bool ReadLittleEndianSlow(void* out, std::size_t count);

  // The byte order of the data is little-endian, as is every machine this runs on.
  template <typename T>
  bool ReadLittleEndian(T& value) {
    static_assert(std::endian::native == std::endian::little);
    if (m_size - m_pos >= sizeof(T)) {
      std::memcpy(&value, m_data + m_pos, sizeof(T));
      m_pos += sizeof(T);
      return true;
    }
    return ReadLittleEndianSlow(&value, sizeof(T));
  }

  const std::uint8_t* m_data = nullptr;
  std::size_t m_size = 0;
  std::size_t m_pos = 0;
  std::uint64_t m_base = 0;  // position of m_data[0]
  int m_fd = -1;
  bool m_error = false;
  std::vector<std::uint8_t> m_buffer;
};
