#pragma once
// What each entry picture shows: the colour emoji it is rendered from.
#include <cstdint>
#include <span>

struct EntryPictureArt {
  uint32_t dwNumber;
  const char* szGlyphs;  // UTF-8: one emoji, with its presentation selector where it needs one
  const char* szName;    // what it shows, for the contact sheet and the notes
};

std::span<const EntryPictureArt> EntryPictureArts();
// The art of a picture number, or nullptr when there is none.
const EntryPictureArt* FindEntryPictureArt(uint32_t number);
