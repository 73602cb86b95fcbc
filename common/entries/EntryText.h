#pragma once
// One text of an entry as it is held in memory: UTF-16 units, or, when every
// unit of the entry's texts is below 256, one byte for each unit (Latin-1).
// Either way it reads as UTF-16 units; a text that comes from elsewhere (a
// literal, a std::u16string, a view) converts to it without a copy.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

class EntryText {
 public:
  EntryText() = default;
  EntryText(std::u16string_view units) : m_data(units.data()), m_size(units.size()) {}
  EntryText(const std::u16string& units) : EntryText(std::u16string_view(units)) {}
  EntryText(const char16_t* units) : EntryText(std::u16string_view(units)) {}
  static EntryText Latin1(const char* bytes, std::size_t size) {
    EntryText text;
    text.m_data = bytes;
    text.m_size = size;
    text.m_bLatin1 = true;
    return text;
  }

  std::size_t size() const { return m_size; }
  bool empty() const { return m_size == 0; }
  bool IsLatin1() const { return m_bLatin1; }
  char16_t operator[](std::size_t i) const {
    return m_bLatin1 ? static_cast<unsigned char>(Bytes()[i]) : Units()[i];
  }
  EntryText substr(std::size_t start, std::size_t count = std::u16string_view::npos) const {
    EntryText part = *this;
    start = std::min(start, m_size);
    part.m_data = static_cast<const char*>(m_data) + start * (m_bLatin1 ? 1 : 2);
    part.m_size = std::min(count, m_size - start);
    return part;
  }
  // The units of a text kept as UTF-16; use only when !IsLatin1().
  std::u16string_view Units() const { return {static_cast<const char16_t*>(m_data), m_size}; }
  // The bytes of a Latin-1 text; use only when IsLatin1().
  std::string_view Bytes() const { return {static_cast<const char*>(m_data), m_size}; }

  void AppendTo(std::u16string& out) const;
  std::u16string str() const {
    std::u16string text;
    AppendTo(text);
    return text;
  }
  explicit operator std::u16string() const { return str(); }

  friend bool operator==(const EntryText& a, const EntryText& b);

 private:
  const void* m_data = nullptr;
  std::size_t m_size = 0;
  bool m_bLatin1 = false;
};

// A text as a UTF-16 view for functions that take one: the units themselves,
// or a copy widened here (without allocating for texts of usual length).
class WideText {
 public:
  explicit WideText(EntryText text);
  WideText(const WideText&) = delete;
  WideText& operator=(const WideText&) = delete;
  std::u16string_view View() const { return m_view; }
  operator std::u16string_view() const { return m_view; }

 private:
  static constexpr std::size_t kInline = 96;
  char16_t m_inline[kInline];
  std::u16string m_long;
  std::u16string_view m_view;
};
