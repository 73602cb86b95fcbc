#include "common/store/StorageItem.h"

#include <limits>

#include "common/store/Recurrence.h"
#include "common/store/ScheduleRecord.h"

StorageItem::StorageItem(std::uint32_t kind, bool showSeconds)
    : StorageItem(kind, showSeconds, platform::GetLocalFileTime()) {}

StorageItem::StorageItem(std::uint32_t kind, bool showSeconds, platform::FileTime start)
    : ScheduleFields{}, m_bShowSeconds(showSeconds ? 1 : 0) {
  m_dwKind = kind;
  m_ftStart = start - start % platform::FILETIME_PER_MINUTE;
  m_dwWeekDays = AllWeekDays;
  m_bEnabled = 1;
  m_nUID = 0;
  m_wSkipNext = 0;
  m_ftSnooze = 0;
  m_dwAutoSnoozeCounter = 0;
  m_dwSnoozeCounter = 0;
  m_ftNext = platform::TIME_NONE;
  m_dwMonths = AllMonths;
  m_wMonthlyType = ByDay;
  m_nMonthDay = 1;
  m_dwWeekOfMonth = 0;
  m_dwWeekDay = MondayBit;
}

bool StorageItem::Write(BinaryWriter& writer) const { return WriteScheduleRecord(writer, *this); }

bool StorageItem::Read(BinaryReader& reader) {
  m_eReadState = RecordState::Whole;
  std::uint64_t statePos = 0;
  if (!ReadScheduleRecord(reader, *this, &statePos)) return false;
  // The state block is patched in place through a 32-bit offset; a record that
  // lies beyond it cannot be addressed and is not loaded.
  if (statePos > std::numeric_limits<std::uint32_t>::max()) return false;
  m_dwStatePos = static_cast<std::uint32_t>(statePos);
  return true;
}

std::u16string StorageItem::GetDisplayName() const { return {}; }

int StorageItem::GetIcon() const {
  switch (m_dwKind) {
    case Weekly: return StorageIconWeekly;
    case Once: return StorageIconOnce;
    case Next24Hours: return StorageIconNext24Hours;
    case Monthly: return StorageIconMonthly;
    default: return StorageIconNone;
  }
}

int StorageItem::GetSelectedIcon() const { return GetIcon(); }

int StorageItem::GetStatusIconCount() const { return 0; }

StatusIconSize StorageItem::GetStatusIconSize() const { return {}; }

int StorageItem::GetStatusIcon(int) const { return 0; }

bool StorageItem::IsExpired() const {
  if (m_dwKind != Once && m_dwKind != Next24Hours) return false;
  const platform::FileTime due = m_ftSnooze != 0 ? m_ftSnooze : m_ftStart;
  return platform::GetLocalFileTime() > due;
}
