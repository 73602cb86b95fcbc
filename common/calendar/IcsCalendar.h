#pragma once
// An iCalendar (RFC 5545) text of yearly all-day events: UTF-8, CRLF line
// ends, lines folded at 75 octets, texts escaped. The text goes out in pieces
// as it grows, so a calendar of many events never lies in memory as a whole.
#include <cstdint>
#include <ctime>
#include <functional>
#include <string>
#include <string_view>

#include "common/entries/EntryCalendar.h"

struct IcsEvent {
  std::string uid;          // stable across exports, so a calendar updates the event
  std::string summary;      // UTF-8
  std::string description;  // UTF-8; none when empty
  CalendarDate date;        // the first occurrence
  // The date is 29 February, placed on the 28th of a common year: the event
  // falls on the last day of February every year.
  bool lastDayOfFebruary = false;
  bool alarm = false;
  std::int64_t alarmMinutes = 0;  // from the start of the day; negative is before it
};

class IcsCalendar {
 public:
  // Takes the next piece of the text; false when it could not be written.
  using Sink = std::function<bool(std::string_view)>;

  // `name` becomes the calendar's display name (none when empty); `stamp` is
  // DTSTAMP, UTC "YYYYMMDDTHHMMSSZ" (IcsUtcStamp). Nothing reaches the sink
  // before the first event.
  IcsCalendar(std::string_view name, std::string_view stamp, Sink sink);
  void Add(const IcsEvent& event);
  // Adds text made elsewhere: whole events, as EntryEventWriter writes them.
  void AddText(std::string_view text);
  // Ends the calendar and hands over the rest. False when any piece could not
  // be written; after such a failure no further piece is offered.
  bool Finish();

 private:
  // A content line: the name, then the value as it is (Line) or as a TEXT
  // value (TextLine), folded.
  void Line(std::string_view name, std::string_view value = {});
  void TextLine(std::string_view name, std::string_view text);
  // Ends the line that starts at `start` in the text, folding it when long.
  void EndLine(std::size_t start);
  void Flush();

  Sink m_sink;
  std::string m_text;  // not yet handed over
  std::string m_line;  // the line being made
  std::string m_stampLine;  // "DTSTAMP:...", folded, with its line end
  std::string m_summary;    // the event's summary as a TEXT value
  std::string m_duration;  // the last alarm's TRIGGER value, for m_durationMinutes
  std::int64_t m_durationMinutes = 0;
  bool m_failed = false;
};

// Appends a TEXT value: backslash, semicolon, comma and line feed escaped;
// other control characters, which the format does not allow, dropped.
void AppendIcsText(std::string& out, std::string_view text);
// Appends a content line folded so that no line exceeds 75 octets, never
// inside a UTF-8 sequence, with CRLF after each piece.
void AppendFoldedIcsLine(std::string& out, std::string_view line);
// Appends the DTSTART, DTEND and RRULE lines of a yearly event on `date`.
void AppendIcsDateLines(std::string& out, const CalendarDate& date, bool lastDayOfFebruary);
// The DTSTAMP value of a moment: UTC "YYYYMMDDTHHMMSSZ".
std::string IcsUtcStamp(std::time_t moment);
// A DURATION value for a number of minutes ("-P1DT12H", "PT9H30M", "PT0S").
std::string IcsDuration(std::int64_t minutes);
