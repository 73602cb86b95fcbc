#pragma once
// The kinds of date entries, their default pictures and the reminder offset codes.
#include <cstdint>

#include "platform/pictures/IconTable.h"

// The value of FeskItem::m_wKind.
enum EntryKind : std::uint16_t {
  Birthday = 0,
  Anniversary = 1,
  OtherDate = 2,
};

// How long before its date an entry reminds: 0 on the day, 1 to 7 that many
// days before, 8 fourteen days before, 9 one month before.
enum ReminderOffset : std::uint32_t {
  ReminderOnTheDay = 0,
  ReminderFourteenDays = 8,
  ReminderOneMonth = 9,
};
inline constexpr std::uint32_t kHighestReminderOffset = 9;

// The picture a new entry of the kind starts with; 0 for an unknown kind.
constexpr std::uint32_t DefaultIconOfKind(std::uint16_t kind) {
  switch (kind) {
    case Birthday: return kIconBirthday;
    case Anniversary: return kIconAnniversary;
    case OtherDate: return kIconOtherDate;
    default: return 0;
  }
}
