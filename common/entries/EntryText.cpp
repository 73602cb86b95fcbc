#include "common/entries/EntryText.h"

#include <algorithm>

void EntryText::AppendTo(std::u16string& out) const {
  if (!m_bLatin1) {
    out.append(Units());
    return;
  }
  const auto* bytes = static_cast<const unsigned char*>(m_data);
  out.append(bytes, bytes + m_size);
}

bool operator==(const EntryText& a, const EntryText& b) {
  if (a.size() != b.size()) return false;
  if (a.IsLatin1() == b.IsLatin1()) return a.IsLatin1() ? a.Bytes() == b.Bytes() : a.Units() == b.Units();
  for (std::size_t i = 0; i < a.size(); ++i) {
    if (a[i] != b[i]) return false;
  }
  return true;
}

WideText::WideText(EntryText text) {
  if (!text.IsLatin1()) {
    m_view = text.Units();
  } else if (text.size() <= kInline) {
    const std::string_view bytes = text.Bytes();
    std::transform(bytes.begin(), bytes.end(), m_inline, [](char c) { return static_cast<unsigned char>(c); });
    m_view = {m_inline, bytes.size()};
  } else {
    m_long = text.str();
    m_view = m_long;
  }
}
