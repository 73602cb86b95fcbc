#include "common/calendar/EntryEvent.h"

#include <charconv>
#include <cstdio>
#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include "common/entries/EntryTexts.h"
#include "common/entries/ReminderChoice.h"
#include "common/entries/TextFormat.h"
#include "platform/text/Utf.h"

namespace {

bool IsSurrogate(char16_t c) { return c >= 0xD800 && c <= 0xDFFF; }

// Appends FormatText(format, args) in UTF-8, each piece converted where it
// stands rather than the whole text made first. Pieces convert as the whole
// does unless a surrogate meets another across their border: then the whole
// is made.
void AppendFormattedUtf8(std::string& out, std::u16string_view format,
                         std::initializer_list<std::u16string_view> args) {
  for (const std::u16string_view arg : args) {
    if (!arg.empty() && (IsSurrogate(arg.front()) || IsSurrogate(arg.back()))) {
      platform::AppendUtf8(out, FormatText(format, args));
      return;
    }
  }
  auto next = args.begin();
  std::size_t run = 0;  // start of the format's text not yet appended
  for (std::size_t i = 0; i + 1 < format.size(); ++i) {
    if (format[i] != u'%' || (format[i + 1] != u'%' && format[i + 1] != u's')) continue;
    // "%%" keeps its first '%'; "%s" becomes the next argument, or nothing.
    platform::AppendUtf8(out, format.substr(run, format[i + 1] == u'%' ? i + 1 - run : i - run));
    if (format[i + 1] == u's' && next != args.end()) platform::AppendUtf8(out, *next++);
    run = i + 2;
    ++i;
  }
  if (run < format.size()) platform::AppendUtf8(out, format.substr(run));
}

// A star has no UID of its own: its event's UID hashes (FNV-1a) its names
// and date, which stay the same from one export to the next.
std::uint64_t StarHash(std::u16string_view first, std::u16string_view last, platform::FileTime date) {
  std::uint64_t hash = 14695981039346656037ull;
  const auto add = [&hash](std::uint64_t value) { hash = (hash ^ value) * 1099511628211ull; };
  for (const char16_t c : first) add(c);
  add(u'\n');
  for (const char16_t c : last) add(c);
  add(date);
  return hash;
}

}  // namespace

std::string EventUid(const FeskItem& entry, const std::string& storageId) {
  if (!entry.IsStar()) return "entry-" + std::to_string(entry.m_nUID) + "-" + storageId + "@natalo";
  const std::uint64_t hash = StarHash(WideText(entry.FirstName()), WideText(entry.LastName()), entry.m_ftDate);
  char text[24];
  std::snprintf(text, sizeof text, "%016llx", static_cast<unsigned long long>(hash));
  return std::string("star-") + text + "-" + storageId + "@natalo";
}

void FillEvent(const FeskItem& entry, const std::string& storageId, const std::u16string& yearFormat,
               const CalendarDate& today, IcsEvent& event) {
  if (entry.IsStar()) {
    event.uid = EventUid(entry, storageId);
  } else {
    // As EventUid, written into the room the last UID had.
    char number[16];
    event.uid.assign("entry-");
    event.uid.append(number, static_cast<std::size_t>(std::to_chars(number, number + sizeof number, entry.m_nUID).ptr - number));
    event.uid += '-';
    event.uid += storageId;
    event.uid += "@natalo";
  }
  const CalendarDate stored = DateOfFileTime(entry.m_ftDate);
  // Made again for each event in room each thread keeps.
  thread_local std::u16string name;
  name.clear();
  AppendDisplayName(entry, CurrentViewSettings().dwDisplayNames, name);
  event.summary.clear();
  if (IsYearUnknown(stored)) {
    // The year kept for "no year" is no year the date ever fell in: the
    // event starts in this year (on 28 February for a 29 February in a common
    // year), which stays the same on every export until the year turns, and
    // its title names no year to count an age from.
    event.date = PlaceInYear(stored.month, stored.day, today.year);
    event.lastDayOfFebruary = stored.month == 2 && stored.day == 29;
    platform::AppendUtf8(event.summary, name);
  } else {
    event.date = stored;
    event.lastDayOfFebruary = false;
    // A yearly event has one summary for every year, so it names the year the
    // age counts from rather than one year's age.
    if (entry.m_wKind == Birthday || entry.m_wKind == Anniversary) {
      char16_t year[8];
      std::size_t digits = 0;
      for (int rest = stored.year; rest > 0 && digits < 8; rest /= 10) year[7 - digits++] = static_cast<char16_t>(u'0' + rest % 10);
      AppendFormattedUtf8(event.summary, yearFormat, {name, std::u16string_view(year + 8 - digits, digits)});
    } else {
      platform::AppendUtf8(event.summary, name);
    }
  }
  event.description.clear();
  platform::AppendUtf8(event.description, WideText(entry.Note()));
  event.alarm = false;
  event.alarmMinutes = 0;
  if (entry.m_bEnabled && !entry.IsStar()) {
    // The minute of the day the reminder comes at; none for a start beyond the calendar.
    const std::int64_t minuteOfDay =
        entry.m_ftStart > platform::TIME_NONE
            ? 0
            : static_cast<std::int64_t>(entry.m_ftStart % platform::FILETIME_PER_DAY / platform::FILETIME_PER_MINUTE);
    event.alarm = true;
    event.alarmMinutes = -ReminderDays(entry.m_ftDate, entry.m_ftStart) * 1440 + minuteOfDay;
  }
}

namespace {

constexpr std::size_t kLineOctets = 75;
// The tables of days and TRIGGER lines: open addressing, kept at most half
// full; at their largest they start anew rather than grow.
constexpr std::size_t kFirstSlots = 1024;
constexpr std::size_t kMostSlots = 1 << 16;
constexpr std::uint64_t kNoKey = ~std::uint64_t{0};

std::size_t SlotOf(std::uint64_t hash, std::size_t slots) {
  return static_cast<std::size_t>((hash * 0x9E3779B97F4A7C15ull) >> 32) & (slots - 1);
}

// The slot of the entry `same` finds, or the empty one where it belongs,
// after making room for one more.
template <typename Entry, typename Same>
Entry& FindSlot(std::vector<Entry>& table, std::size_t& used, std::uint64_t hash, const Same& same) {
  for (std::size_t at = SlotOf(hash, table.size());; at = (at + 1) & (table.size() - 1)) {
    if (same(table[at])) return table[at];
    if (table[at].key != kNoKey) continue;
    if (2 * (used + 1) <= table.size()) {
      ++used;
      return table[at];
    }
    // Full enough: larger while it may be, else empty again.
    std::vector<Entry> old(table.size() < kMostSlots ? table.size() * 2 : table.size());
    old.swap(table);
    used = 0;
    if (table.size() > old.size()) {
      for (Entry& entry : old) {
        if (entry.key == kNoKey) continue;
        std::size_t to = SlotOf(entry.hash, table.size());
        while (table[to].key != kNoKey) to = (to + 1) & (table.size() - 1);
        table[to] = std::move(entry);
        ++used;
      }
    }
    return FindSlot(table, used, hash, same);
  }
}

// What an ASCII unit becomes in a TEXT value: 0 kept, 1 dropped (control
// characters), or the escaped character after a backslash.
constexpr std::array<char, 128> kAsciiEscape = [] {
  std::array<char, 128> escape{};
  for (std::size_t c = 0; c < 0x20; ++c) escape[c] = 1;
  escape[0x7F] = 1;
  escape['\\'] = '\\';
  escape[';'] = ';';
  escape[','] = ',';
  escape['\n'] = 'n';
  return escape;
}();

char* PutBytes(char* at, std::string_view bytes) {
  std::memcpy(at, bytes.data(), bytes.size());
  return at + bytes.size();
}

// Copies `size` bytes in steps of 32, which the compiler makes a few moves
// each: up to 31 bytes after them are read and written too, so the source
// and the room must reach that far.
constexpr std::size_t kStep = 32;
char* PutPadded(char* at, const char* bytes, std::size_t size) {
  for (std::size_t done = 0; done < size; done += kStep) std::memcpy(at + done, bytes + done, kStep);
  return at + size;
}

// Writes the UTF-8 of units none of which is ASCII, a lone surrogate as
// U+FFFD, as platform::AppendUtf8 converts them.
char* PutUtf8(char* at, std::u16string_view units) {
  for (std::size_t i = 0; i < units.size(); ++i) {
    char32_t c = units[i];
    if (c >= 0xD800 && c <= 0xDFFF) {
      if (c <= 0xDBFF && i + 1 < units.size() && units[i + 1] >= 0xDC00 && units[i + 1] <= 0xDFFF) {
        c = 0x10000 + ((c - 0xD800) << 10) + (units[i + 1] - 0xDC00);
        ++i;
      } else {
        c = 0xFFFD;
      }
    }
    if (c < 0x800) {
      *at++ = static_cast<char>(0xC0 | (c >> 6));
    } else if (c < 0x10000) {
      *at++ = static_cast<char>(0xE0 | (c >> 12));
      *at++ = static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    } else {
      *at++ = static_cast<char>(0xF0 | (c >> 18));
      *at++ = static_cast<char>(0x80 | ((c >> 12) & 0x3F));
      *at++ = static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    }
    *at++ = static_cast<char>(0x80 | (c & 0x3F));
  }
  return at;
}

// Writes the text as a TEXT value in UTF-8, as AppendIcsText escapes its
// UTF-8: at most three bytes for each unit, and room for eight more.
char* PutIcsText(char* at, std::u16string_view text) {
  const char16_t* unit = text.data();
  const char16_t* const end = unit + text.size();
  while (unit < end) {
#if defined(__SSE2__) && defined(__x86_64__)
    // Eight units that all stay as they are become eight bytes at once.
    const auto odd = [](__m128i units) {
      // Units from 0x8000 up compare as negative, so below 0x20.
      __m128i look = _mm_or_si128(_mm_cmplt_epi16(units, _mm_set1_epi16(0x20)), _mm_cmpgt_epi16(units, _mm_set1_epi16(0x7E)));
      look = _mm_or_si128(look, _mm_cmpeq_epi16(units, _mm_set1_epi16('\\')));
      look = _mm_or_si128(look, _mm_cmpeq_epi16(units, _mm_set1_epi16(';')));
      look = _mm_or_si128(look, _mm_cmpeq_epi16(units, _mm_set1_epi16(',')));
      return _mm_movemask_epi8(look);
    };
    for (; end - unit >= 8; unit += 8) {
      const __m128i units = _mm_loadu_si128(reinterpret_cast<const __m128i*>(unit));
      // The room takes all eight bytes; only those before the first unit to
      // look at count.
      _mm_storel_epi64(reinterpret_cast<__m128i*>(at), _mm_packus_epi16(units, units));
      if (const int looked = odd(units); looked != 0) {
        const int plain = __builtin_ctz(static_cast<unsigned>(looked)) / 2;
        at += plain;
        unit += plain;
        break;
      }
      at += 8;
    }
    if (unit == end) break;
    if (text.size() >= 8 && end - unit < 8) {
      // The rest, in the eight units that end the text, when all of them stay.
      const __m128i units = _mm_loadu_si128(reinterpret_cast<const __m128i*>(end - 8));
      if (odd(units) == 0) {
        const auto rest = static_cast<int>(end - unit);
        const auto bytes = static_cast<std::uint64_t>(_mm_cvtsi128_si64(_mm_packus_epi16(units, units))) >> (8 * (8 - rest));
        std::memcpy(at, &bytes, 8);
        at += rest;
        break;
      }
    }
#endif
    for (; unit < end && *unit < 0x80 && kAsciiEscape[*unit] == 0; ++unit) *at++ = static_cast<char>(*unit);
    if (unit == end) break;
    if (*unit < 0x80) {
      const char escape = kAsciiEscape[*unit];
      if (escape != 1) {
        *at++ = '\\';
        *at++ = escape;
      }
      ++unit;
    } else {
      // A run of units beyond ASCII converts as a whole, keeping surrogate pairs together.
      const char16_t* const run = unit;
      while (unit < end && *unit >= 0x80) ++unit;
      at = PutUtf8(at, std::u16string_view(run, static_cast<std::size_t>(unit - run)));
    }
  }
  return at;
}

bool HasSurrogate(std::u16string_view text) {
  for (const char16_t c : text) {
    if (IsSurrogate(c)) return true;
  }
  return false;
}

}  // namespace

EntryEventWriter::EntryEventWriter(std::string_view storageId, std::u16string_view yearFormat,
                                   const CalendarDate& today, std::string_view stamp, std::uint32_t displayNames)
    : m_yearFormat(yearFormat), m_today(today), m_displayNames(displayNames), m_days(kFirstSlots), m_triggers(kFirstSlots) {
  AppendIcsText(m_uidTail, "-" + std::string(storageId) + "@natalo");
  // "UID:star-" and sixteen digits, or "UID:entry-" and at most eleven.
  m_uidFits = 25 + m_uidTail.size() <= kLineOctets;
  m_uidTail += "\r\n";
  m_uidTailSize = m_uidTail.size();
  m_uidTail.resize(m_uidTailSize + kStep);
  m_stampLine = "DTSTAMP:" + std::string(stamp);
  if (m_stampLine.size() > kLineOctets) {
    const std::string line = std::move(m_stampLine);
    m_stampLine.clear();
    AppendFoldedIcsLine(m_stampLine, line);
  } else {
    m_stampLine += "\r\n";
  }
  // The pieces AppendFormattedUtf8 converts one by one.
  if (HasSurrogate(yearFormat)) return;  // every summary with a year is made whole
  std::size_t run = 0;
  int next = 0;
  const auto piece = [this](std::u16string_view literal, int arg) {
    std::string utf8;
    platform::AppendUtf8(utf8, literal);
    Piece made;
    made.at = m_pieceText.size();
    AppendIcsText(m_pieceText, utf8);
    made.size = m_pieceText.size() - made.at;
    made.arg = arg;
    m_pieces.push_back(made);
  };
  for (std::size_t i = 0; i + 1 < yearFormat.size(); ++i) {
    if (yearFormat[i] != u'%' || (yearFormat[i + 1] != u'%' && yearFormat[i + 1] != u's')) continue;
    const bool arg = yearFormat[i + 1] == u's';
    piece(yearFormat.substr(run, arg ? i - run : i + 1 - run), arg && next < 2 ? next++ : -1);
    run = i + 2;
    ++i;
  }
  piece(yearFormat.substr(std::min(run, yearFormat.size())), -1);
  m_piecesSize = m_pieceText.size();
  // Short pieces are copied sixteen bytes at a time.
  m_pieceText.resize(m_pieceText.size() + 16);
}

const EntryEventWriter::Day& EntryEventWriter::DayOf(std::uint64_t date) {
  const std::uint64_t key = std::min(date, platform::TIME_NONE) / platform::FILETIME_PER_DAY;
  // Most days are found in the first slot looked at.
  if (const Day& first = m_days[SlotOf(key, m_days.size())]; first.key == key) return first;
  Day& day = FindSlot(m_days, m_dayCount, key, [key](const Day& slot) { return slot.key == key; });
  if (day.key == key) return day;
  day.key = key;
  day.hash = key;
  const CalendarDate stored = DateOfFileTime(date);
  day.lines.assign(m_stampLine);
  day.yearKnown = !IsYearUnknown(stored);
  day.yearDigits = 0;
  if (day.yearKnown) {
    AppendIcsDateLines(day.lines, stored, false);
    char digits[8];
    for (int rest = stored.year; rest > 0 && day.yearDigits < 8; rest /= 10) {
      digits[7 - day.yearDigits++] = static_cast<char>('0' + rest % 10);
    }
    std::memcpy(day.year, digits + 8 - day.yearDigits, day.yearDigits);
  } else {
    AppendIcsDateLines(day.lines, PlaceInYear(stored.month, stored.day, m_today.year),
                       stored.month == 2 && stored.day == 29);
  }
  day.size = day.lines.size();
  day.lines.resize(day.size + kStep);
  return day;
}

const EntryEventWriter::Trigger& EntryEventWriter::TriggerOf(std::uint64_t date, std::uint64_t start) {
  const std::uint64_t day = std::min(date, platform::TIME_NONE) / platform::FILETIME_PER_DAY;
  const std::uint64_t hash = day * 0xC2B2AE3D27D4EB4Full + start;
  if (const Trigger& first = m_triggers[SlotOf(hash, m_triggers.size())]; first.key == day && first.start == start) {
    return first;
  }
  Trigger& trigger = FindSlot(m_triggers, m_triggerCount, hash,
                              [day, start](const Trigger& slot) { return slot.key == day && slot.start == start; });
  if (trigger.key == day && trigger.start == start) return trigger;
  trigger.key = day;
  trigger.hash = hash;
  trigger.start = start;
  // The minute of the day the reminder comes at; none for a start beyond the calendar.
  const std::int64_t minuteOfDay =
      start > platform::TIME_NONE ? 0
                                  : static_cast<std::int64_t>(start % platform::FILETIME_PER_DAY / platform::FILETIME_PER_MINUTE);
  std::string line = "TRIGGER;RELATED=START:" + IcsDuration(-ReminderDays(date, start) * 1440 + minuteOfDay);
  // The longest duration leaves the line far shorter than a fold.
  line += "\r\n";
  trigger.size = static_cast<std::uint8_t>(std::min(line.size(), sizeof trigger.line));
  std::memcpy(trigger.line, line.data(), trigger.size);
  return trigger;
}

char* EntryEventWriter::EndLine(char* line, char* end) {
  if (static_cast<std::size_t>(end - line) <= kLineOctets) {
    end[0] = '\r';
    end[1] = '\n';
    return end + 2;
  }
  m_fold.assign(line, end);
  m_folded.clear();
  AppendFoldedIcsLine(m_folded, m_fold);
  return PutBytes(line, m_folded);
}

void EntryEventWriter::NameOf(const EntryRecord& entry) {
  m_partCount = 1;
  // A birthday shown as "first last" is joined from the record's own texts.
  if (entry.kind == Birthday && m_displayNames == 0) {
    if (entry.lastName.empty() || entry.firstName.empty()) {
      m_parts[0] = entry.lastName.empty() ? entry.firstName : entry.lastName;
      return;
    }
    if (!IsWrittenInCjkScript(entry.firstName) || !IsWrittenInCjkScript(entry.lastName)) {
      m_parts[0] = entry.firstName;
      m_parts[1] = u" ";
      m_parts[2] = entry.lastName;
      m_partCount = 3;
      return;
    }
  }
  m_name.clear();
  AppendDisplayName(entry, m_displayNames, m_name);
  m_parts[0] = m_name;
}

char* EntryEventWriter::PutName(char* at) const {
  if (m_partCount == 3) {
    at = PutIcsText(at, m_parts[0]);
    *at++ = ' ';
    return PutIcsText(at, m_parts[2]);
  }
  return PutIcsText(at, m_parts[0]);
}

char* EntryEventWriter::PutUid(char* at, std::int32_t uid) {
  // The entries of a file mostly come with UIDs counting up by one: the last
  // one's digits are counted on where no carry makes the number longer.
  std::size_t digit = m_uidDigits;
  if (uid > 0 && uid - 1 == m_lastUid) {
    while (digit > 0 && m_uidText[digit - 1] == '9') m_uidText[--digit] = '0';
  }
  if (digit > 0 && uid > 0 && uid - 1 == m_lastUid) {
    ++m_uidText[digit - 1];
  } else {
    m_uidDigits = static_cast<std::size_t>(std::to_chars(m_uidText, m_uidText + sizeof m_uidText, uid).ptr - m_uidText);
  }
  m_lastUid = uid;
  std::memcpy(at, m_uidText, sizeof m_uidText);
  return at + m_uidDigits;
}

char* EntryEventWriter::PutSummary(char* at, const EntryRecord& entry, const Day& day) {
  const bool withYear = day.yearKnown && (entry.kind == Birthday || entry.kind == Anniversary);
  if (!withYear) return PutName(at);
  const std::string_view year(day.year, day.yearDigits);
  const std::u16string_view front = m_parts[0];
  const std::u16string_view back = m_parts[m_partCount - 1];
  if (m_pieces.empty() || (!front.empty() && IsSurrogate(front.front())) || (!back.empty() && IsSurrogate(back.back()))) {
    // A surrogate at a border of the pieces: the text is made whole, as FillEvent makes it.
    std::u16string name;
    for (int part = 0; part < m_partCount; ++part) name += m_parts[part];
    m_summary.clear();
    AppendFormattedUtf8(m_summary, m_yearFormat, {name, std::u16string(year.begin(), year.end())});
    m_fold.clear();
    AppendIcsText(m_fold, m_summary);
    return PutBytes(at, m_fold);
  }
  for (const Piece& piece : m_pieces) {
    const char* const text = m_pieceText.data() + piece.at;
    if (piece.size <= 16) {
      std::memcpy(at, text, 16);
      at += piece.size;
    } else {
      at = PutBytes(at, std::string_view(text, piece.size));
    }
    if (piece.arg == 0) at = PutName(at);
    if (piece.arg == 1) {
      std::memcpy(at, day.year, 8);
      at += year.size();
    }
  }
  return at;
}

void EntryEventWriter::Append(const EntryRecord& entry, IcsEventText& text) {
  NameOf(entry);
  std::size_t nameUnits = 0;
  for (int part = 0; part < m_partCount; ++part) nameUnits += m_parts[part].size();
  const Day& day = DayOf(entry.date);
  const bool alarm = entry.schedule.m_bEnabled && !entry.star;
  // Three bytes at most for each unit of a text, and a fold for every 71 bytes.
  const std::size_t texts = 3 * (2 * (nameUnits + m_yearFormat.size() + 8) + entry.note.size()) + m_piecesSize * 2;
  const std::size_t room = (day.size + m_uidTail.size() + 480 + texts) * 21 / 20;
  char* const start = text.Room(room);
  char* at = PutBytes(start, "BEGIN:VEVENT\r\nUID:");
  char* line = at - 4;
  if (entry.star) {
    const std::uint64_t hash = StarHash(entry.firstName, entry.lastName, entry.date);
    at = PutBytes(at, "star-");
    for (int shift = 60; shift >= 0; shift -= 4) at[(60 - shift) / 4] = "0123456789abcdef"[(hash >> shift) & 0xF];
    at += 16;
  } else {
    at = PutBytes(at, "entry-");
    at = PutUid(at, entry.schedule.m_nUID);
  }
  if (m_uidFits) {
    at = PutPadded(at, m_uidTail.data(), m_uidTailSize);
  } else {
    at = EndLine(line, PutBytes(at, std::string_view(m_uidTail.data(), m_uidTailSize - 2)));
  }
  at = PutPadded(at, day.lines.data(), day.size);
  line = at;
  at = PutBytes(at, "SUMMARY:");
  char* const summary = at;
  at = PutSummary(at, entry, day);
  const std::size_t summarySize = static_cast<std::size_t>(at - summary);
  if (alarm && at - line > static_cast<std::ptrdiff_t>(kLineOctets)) m_summary.assign(summary, summarySize);
  const bool summaryFolded = at - line > static_cast<std::ptrdiff_t>(kLineOctets);
  at = EndLine(line, at);
  if (!entry.note.empty()) {
    line = at;
    at = EndLine(line, PutIcsText(PutBytes(at, "DESCRIPTION:"), entry.note));
  }
  at = PutBytes(at, "TRANSP:TRANSPARENT\r\n");
  if (alarm) {
    at = PutBytes(at, "BEGIN:VALARM\r\nACTION:DISPLAY\r\nDESCRIPTION:");
    line = at - 12;
    // The summary's bytes, taken from its own line unless that was folded.
    // (read up to 31 bytes past its end, all in the room).
    at = EndLine(line, summaryFolded ? PutBytes(at, m_summary) : PutPadded(at, summary, summarySize));
    const Trigger& trigger = TriggerOf(entry.date, entry.schedule.m_ftStart);
    at = PutPadded(at, trigger.line, trigger.size);
    at = PutBytes(at, "END:VALARM\r\n");
  }
  at = PutBytes(at, "END:VEVENT\r\n");
  text.Written(at);
}
