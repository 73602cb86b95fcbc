#pragma once
// The fixed set of entry pictures: which picture numbers exist, in which order
// the picker shows them, and under which names the picture bundle holds each
// picture at its three sizes. Plain C++, no Qt: the picture generator uses it too.
#include <array>
#include <cstddef>
#include <cstdint>

struct IconTableRow {
  uint32_t dwNumber;                // the value stored in an entry's m_dwIcon
  const char* szListPicture;        // 48 px: the picker and the reminder window
  const char* szRowPictureLarge;    // list rows on a screen wider than 176 pixels
  const char* szRowPictureSmall;    // list rows on a narrower screen
};

inline constexpr size_t kIconCount = 87;
// Picture numbers run from 0 to this value; 13 and 77 are not used.
inline constexpr uint32_t kHighestIconNumber = 88;

// Default pictures of the entry kinds, and the picture every star shows.
inline constexpr uint32_t kIconBirthday = 40;
inline constexpr uint32_t kIconAnniversary = 22;
inline constexpr uint32_t kIconOtherDate = 64;
inline constexpr uint32_t kIconStar = 48;

// Pixel sizes (square) of the pictures in the bundle.
inline constexpr int kListPictureSize = 48;
inline constexpr int kRowPictureSizeLarge = 32;
inline constexpr int kRowPictureSizeSmall = 24;

// Pixels of exactly this colour are drawn transparent, as 0xRRGGBB (red 0x6F,
// green 0xFE, blue 0x0C). The loader turns them into real transparency.
inline constexpr uint32_t kTransparentColourRgb = 0x6FFE0C;

// Rows in picker order.
extern const std::array<IconTableRow, kIconCount> IconTable;

// Index of the row with the picture number; 0 (the first row) when no row has it.
size_t FindIconRow(uint32_t number);
// Whether a row has the picture number.
bool IsIconNumber(uint32_t number);
