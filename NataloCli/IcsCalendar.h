#pragma once
// An iCalendar (RFC 5545) text of yearly all-day events: UTF-8, CRLF line
// ends, lines folded at 75 octets, texts escaped.
#include <cstdint>
#include <string>
#include <string_view>

#include "common/entries/EntryCalendar.h"

struct IcsEvent {
  std::string uid;          // stable across exports, so a calendar updates the event
  std::string summary;      // UTF-8
  std::string description;  // UTF-8; none when empty
  CalendarDate date;        // the first occurrence
  bool alarm = false;
  std::int64_t alarmMinutes = 0;  // from the start of the day; negative is before it
};

class IcsCalendar {
 public:
  // `name` becomes the calendar's display name; `stamp` is DTSTAMP, UTC "YYYYMMDDTHHMMSSZ".
  // `events` is how many events are to come, to size the text once.
  IcsCalendar(std::string_view name, std::string_view stamp, std::size_t events = 0);
  void Add(const IcsEvent& event);
  // The whole calendar text, its end included.
  std::string Finish();

 private:
  void Line(std::string_view line);
  std::string m_text;
  std::string m_stamp;
};

// A TEXT value: backslash, semicolon, comma and line feed escaped; other
// control characters, which the format does not allow, dropped.
std::string EscapeIcsText(std::string_view text);
// A content line folded so that no line exceeds 75 octets, never inside a
// UTF-8 sequence, with CRLF after each piece.
std::string FoldIcsLine(std::string_view line);
// A DURATION value for a number of minutes ("-P1DT12H", "PT9H30M", "PT0S").
std::string IcsDuration(std::int64_t minutes);
