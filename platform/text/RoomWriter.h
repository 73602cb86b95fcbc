#pragma once
// Writes pieces of text straight into room made for them at the end of a
// string, without a check of the string's size for each piece; the string is
// cut to what was written when the writer goes. The caller makes room for
// everything it puts.
#include <charconv>
#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>

namespace platform {

class RoomWriter {
 public:
  RoomWriter(std::string& out, std::size_t room) : m_out(out) {
    const std::size_t at = out.size();
    out.resize(at + room);
    m_end = out.data() + at;
  }
  ~RoomWriter() { m_out.resize(static_cast<std::size_t>(m_end - m_out.data())); }
  RoomWriter(const RoomWriter&) = delete;
  RoomWriter& operator=(const RoomWriter&) = delete;

  template <std::size_t N>
  void Put(const char (&literal)[N]) {
    std::memcpy(m_end, literal, N - 1);
    m_end += N - 1;
  }
  void Put(std::string_view text) {
    if (!text.empty()) std::memcpy(m_end, text.data(), text.size());
    m_end += text.size();
  }
  // At most 20 bytes.
  void PutNumber(std::int64_t number) { m_end = std::to_chars(m_end, m_end + 20, number).ptr; }
  // Writes with `put(at)`, which returns the end of what it wrote.
  template <typename Put>
  void PutWith(const Put& put) {
    m_end = put(m_end);
  }

 private:
  std::string& m_out;
  char* m_end;
};

}  // namespace platform
