#include "common/entries/EntryStrings.h"

#include "common/entries/FeskItem.h"

bool EntryStringBlock::Next(std::u16string& out) {
  const std::size_t chars = m_bytes.size() / 2;
  const auto at = [this](std::size_t i) {
    return static_cast<char16_t>(m_bytes[2 * i] | (m_bytes[2 * i + 1] << 8));
  };
  std::size_t end = m_pos;
  while (end < chars && at(end) != u'\0') ++end;
  if (end >= chars) return false;
  std::u16string text;
  text.reserve(end - m_pos);
  for (std::size_t i = m_pos; i < end; ++i) text += at(i);
  out = std::move(text);
  m_pos = end + 1;
  return true;
}

bool ReadEntryStrings(std::span<const std::uint8_t> block, bool withSoundFile, FeskItem& entry) {
  EntryStringBlock strings(block);
  if (entry.m_wKind == Birthday) {
    if (!strings.Next(entry.m_szFirstName) || !strings.Next(entry.m_szLastName)) return false;
  } else if (!strings.Next(entry.m_szName)) {
    return false;
  }
  if (!strings.Next(entry.m_szNote)) return false;
  return !withSoundFile || strings.Next(entry.m_szSoundFile);
}

std::u16string_view StoredText(std::u16string_view text) { return text.substr(0, text.find(u'\0')); }

bool WriteEntryString(BinaryWriter& writer, std::u16string_view text) {
  for (const char16_t c : StoredText(text)) {
    if (!writer.WriteU16(c)) return false;
  }
  return writer.WriteU16(0);
}
