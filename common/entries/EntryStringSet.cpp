#include "common/entries/EntryStringSet.h"

#include <algorithm>
#include <cstring>
#include <new>

namespace {

const char16_t* CharactersOf(const std::uint16_t* block) {
  return reinterpret_cast<const char16_t*>(block + EntryStringSet::kSlots);
}

}  // namespace

EntryStringSet& EntryStringSet::operator=(const EntryStringSet& other) {
  if (this != &other) Assign(other.All());
  return *this;
}

EntryStringSet& EntryStringSet::operator=(EntryStringSet&& other) noexcept {
  if (this != &other) {
    Release();
    m_block = other.m_block;
    other.m_block = nullptr;
  }
  return *this;
}

void EntryStringSet::Release() {
  // Most entries read have no block yet: the call is not worth making for them.
  if (m_block == nullptr) return;
  ::operator delete(m_block);
  m_block = nullptr;
}

std::u16string_view EntryStringSet::Get(Slot slot) const {
  if (m_block == nullptr) return {};
  std::size_t start = 0;
  for (std::size_t i = 0; i < slot; ++i) start += m_block[i];
  return {CharactersOf(m_block) + start, m_block[slot]};
}

EntryStringSet::Texts EntryStringSet::All() const {
  Texts texts{};
  if (m_block == nullptr) return texts;
  const char16_t* at = CharactersOf(m_block);
  for (std::size_t i = 0; i < kSlots; ++i) {
    texts[i] = {at, m_block[i]};
    at += m_block[i];
  }
  return texts;
}

void EntryStringSet::Set(Slot slot, std::u16string_view text) {
  Texts texts = All();
  texts[slot] = text;
  Assign(texts);
}

void EntryStringSet::Assign(const Texts& texts) {
  Pieces pieces;
  for (std::size_t i = 0; i < kSlots; ++i) pieces[i] = {texts[i].data(), texts[i].size()};
  Assign(pieces);
}

void EntryStringSet::Assign(const Pieces& pieces) {
  std::size_t units = 0;
  for (const Piece& piece : pieces) units += std::min(piece.units, kMaxUnits);
  std::uint16_t* block = nullptr;
  if (units > 0) {
    block = static_cast<std::uint16_t*>(::operator new((kSlots + units) * sizeof(char16_t)));
    auto* at = reinterpret_cast<char*>(block + kSlots);
    for (std::size_t i = 0; i < kSlots; ++i) {
      const std::size_t kept = std::min(pieces[i].units, kMaxUnits);
      block[i] = static_cast<std::uint16_t>(kept);
      if (kept > 0) std::memcpy(at, pieces[i].characters, kept * sizeof(char16_t));
      at += kept * sizeof(char16_t);
    }
  }
  // The old block goes only now: the pieces may lie in it.
  Release();
  m_block = block;
}
