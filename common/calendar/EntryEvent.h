#pragma once
// The calendar event of an entry: a yearly all-day event with the entry's
// reminder as its alarm, named by a UID that stays the same across exports.
#include <algorithm>
#include <array>
#include <cstdint>
#include <cstring>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "common/calendar/IcsCalendar.h"
#include "common/entries/EntryRecord.h"
#include "common/entries/FeskItem.h"

// Own entries keep their UID for good; stars have none of their own, so their
// name and date stand for them. The storage's identifier (StorageId.h) sets
// the events of one storage apart from those of every other, which number
// their entries from 1 as well.
std::string EventUid(const FeskItem& entry, const std::string& storageId);

// Fills `event` anew from the entry, its texts reusing the room they have.
// `yearFormat` names a birthday or anniversary with the year the age counts
// from ("%s (%s)"). A date without a year starts in `today`'s year and its
// title has no year.
void FillEvent(const FeskItem& entry, const std::string& storageId, const std::u16string& yearFormat,
               const CalendarDate& today, IcsEvent& event);

// Text written into room made ahead of it, the room not filled first.
class IcsEventText {
 public:
  std::string_view View() const { return {m_bytes.get(), m_size}; }
  void Clear() { m_size = 0; }
  // Room for at least `bytes` more after the text.
  char* Room(std::size_t bytes) {
    if (m_room - m_size < bytes) {
      const std::size_t room = std::max(m_room * 2, m_size + bytes);
      std::unique_ptr<char[]> grown = std::make_unique_for_overwrite<char[]>(room);
      if (m_size != 0) std::memcpy(grown.get(), m_bytes.get(), m_size);
      m_bytes = std::move(grown);
      m_room = room;
    }
    return m_bytes.get() + m_size;
  }
  // The text now ends at `end`, in the room.
  void Written(const char* end) { m_size = static_cast<std::size_t>(end - m_bytes.get()); }

 private:
  std::unique_ptr<char[]> m_bytes;
  std::size_t m_size = 0;
  std::size_t m_room = 0;
};

// Writes the events of entries straight into calendar text: the bytes that
// FillEvent and IcsCalendar::Add make together, with a fraction of their
// work. What depends only on the stored day, or on the day and the
// reminder's moment, is made once and reused; names and notes are converted
// to UTF-8 and escaped in one pass into room made beforehand.
class EntryEventWriter {
 public:
  // `stamp` is the calendar's DTSTAMP value; `displayNames` the view setting
  // FillEvent takes from the current settings.
  EntryEventWriter(std::string_view storageId, std::u16string_view yearFormat, const CalendarDate& today,
                   std::string_view stamp, std::uint32_t displayNames);

  // Writes the entry's event after `text`.
  void Append(const EntryRecord& entry, IcsEventText& text);

 private:
  // The texts of one stored day: the stamp line and the date lines, and the
  // year the summary names.
  struct Day {
    std::uint64_t key = ~std::uint64_t{0};  // the day's number; none when all ones
    std::uint64_t hash = 0;
    std::string lines;  // then room to copy them in steps
    std::size_t size = 0;
    char year[8] = {};  // the digits from the first
    std::uint8_t yearDigits = 0;
    bool yearKnown = false;
  };
  // The TRIGGER line of a stored day and a reminder moment.
  struct Trigger {
    std::uint64_t key = ~std::uint64_t{0};  // the stored day's number; none when all ones
    std::uint64_t hash = 0;
    std::uint64_t start = 0;
    std::uint8_t size = 0;
    char line[64] = {};
  };
  // A piece of the summary's format: escaped UTF-8, then the name (0), the
  // year (1) or nothing (-1).
  struct Piece {
    std::size_t at = 0;  // in m_pieceText
    std::size_t size = 0;
    int arg = -1;
  };

  const Day& DayOf(std::uint64_t date);
  const Trigger& TriggerOf(std::uint64_t date, std::uint64_t start);
  // Sets m_parts to the entry's display name, as AppendDisplayName makes it.
  void NameOf(const EntryRecord& entry);
  char* PutName(char* at) const;
  char* PutUid(char* at, std::int32_t uid);
  char* PutSummary(char* at, const EntryRecord& entry, const Day& day);
  // Ends the line that starts at `line` and reaches `end`: folded when long.
  char* EndLine(char* line, char* end);

  std::string m_uidTail;  // "-<storage>@natalo", escaped, the line end, then room to copy it in steps
  std::size_t m_uidTailSize = 0;
  bool m_uidFits = true;  // no UID line is long enough to fold
  std::u16string m_yearFormat;
  std::vector<Piece> m_pieces;
  std::string m_pieceText;  // the pieces' texts, then room to copy the last in sixteen bytes
  std::size_t m_piecesSize = 0;
  CalendarDate m_today;
  std::string m_stampLine;
  std::uint32_t m_displayNames = 0;
  std::u16string m_name;
  std::int32_t m_lastUid = 0;
  char m_uidText[16] = {};  // the last UID's digits
  std::size_t m_uidDigits = 0;
  std::u16string_view m_parts[3];  // the display name
  int m_partCount = 1;
  std::string m_fold;
  std::string m_folded;
  std::string m_summary;
  std::vector<Day> m_days;
  std::size_t m_dayCount = 0;
  std::vector<Trigger> m_triggers;
  std::size_t m_triggerCount = 0;
};
