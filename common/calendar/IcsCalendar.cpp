#include "common/calendar/IcsCalendar.h"

#include <array>
#include <charconv>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "platform/text/ByteScan.h"

namespace {

// The longest line the format allows, line end not counted.
constexpr std::size_t kLineOctets = 75;
// Hand the text over in pieces of about this size.
constexpr std::size_t kPieceBytes = 256 * 1024;

// "YYYYMMDD"; the years of storage.dat have four digits.
void AppendDateValue(std::string& out, const CalendarDate& date) {
  char text[8];
  const auto put = [&text](int at, int digits, int value) {
    for (int i = digits - 1; i >= 0; --i, value /= 10) text[at + i] = static_cast<char>('0' + value % 10);
  };
  put(0, 4, date.year);
  put(4, 2, date.month);
  put(6, 2, date.day);
  out.append(text, sizeof text);
}

CalendarDate DayAfter(const CalendarDate& date) {
  if (date.day < DaysInMonth(date.month, date.year)) return {date.year, date.month, date.day + 1};
  if (date.month < 12) return {date.year, date.month + 1, 1};
  return {date.year + 1, 1, 1};
}

}  // namespace

namespace {

// The bytes a TEXT value keeps as they are: all but the control characters
// and the three that are escaped.
constexpr std::array<bool, 256> kPlainBytes = [] {
  std::array<bool, 256> plain{};
  for (std::size_t byte = 0x20; byte < 256; ++byte) plain[byte] = byte != 0x7F && byte != '\\' && byte != ';' && byte != ',';
  return plain;
}();

// Whether all eight bytes of a word stay as they are: none below 0x20 and
// none of 0x7F, '\\', ';' and ','.
bool AllPlain(std::uint64_t word) {
  using platform::AnyByteEqual;
  return !platform::AnyByteBelow(word, 0x20) && !AnyByteEqual(word, 0x7F) && !AnyByteEqual(word, '\\') &&
         !AnyByteEqual(word, ';') && !AnyByteEqual(word, ',');
}

}  // namespace

void AppendIcsText(std::string& out, std::string_view text) {
  const auto plain = [](unsigned char byte) { return kPlainBytes[byte]; };
  while (!text.empty()) {
    // Runs of characters that stay as they are go over in one piece.
    const std::size_t run = platform::PlainRun(text, AllPlain, plain);
    out.append(text.substr(0, run));
    if (run == text.size()) return;
    const char c = text[run];
    if (c == '\\' || c == ';' || c == ',') {
      out += '\\';
      out += c;
    } else if (c == '\n') {
      out += "\\n";
    }
    text.remove_prefix(run + 1);
  }
}

void AppendFoldedIcsLine(std::string& out, std::string_view line) {
  std::size_t limit = kLineOctets;  // a continuation line starts with a space, leaving 74
  while (line.size() > limit) {
    std::size_t cut = limit;
    while (cut > 0 && (static_cast<unsigned char>(line[cut]) & 0xC0) == 0x80) --cut;
    // Bytes that are no UTF-8 give no character to fold before: cut at the
    // limit rather than never getting shorter.
    if (cut == 0) cut = limit;
    out.append(line.substr(0, cut));
    out += "\r\n ";
    line.remove_prefix(cut);
    limit = 74;
  }
  out.append(line);
  out += "\r\n";
}

void AppendIcsDateLines(std::string& out, const CalendarDate& date, bool lastDayOfFebruary) {
  out += "DTSTART;VALUE=DATE:";
  AppendDateValue(out, date);
  out += "\r\nDTEND;VALUE=DATE:";
  AppendDateValue(out, DayAfter(date));
  out += "\r\n";
  // 29 February falls on the month's last day, so common years show it on the 28th.
  if (lastDayOfFebruary || (date.month == 2 && date.day == 29)) {
    out += "RRULE:FREQ=YEARLY;BYMONTH=2;BYMONTHDAY=-1\r\n";
  } else {
    out += "RRULE:FREQ=YEARLY\r\n";
  }
}

std::string IcsUtcStamp(std::time_t moment) {
  std::tm utc{};
  gmtime_r(&moment, &utc);
  char text[32];
  std::strftime(text, sizeof text, "%Y%m%dT%H%M%SZ", &utc);
  return text;
}

std::string IcsDuration(std::int64_t minutes) {
  if (minutes == 0) return "PT0S";
  // "-P" and at most 16 digits of days, "T", two of hours and two of minutes.
  char text[40];
  char* end = text;
  if (minutes < 0) *end++ = '-';
  *end++ = 'P';
  const std::uint64_t total = minutes < 0 ? 0 - static_cast<std::uint64_t>(minutes) : static_cast<std::uint64_t>(minutes);
  const std::uint64_t days = total / 1440;
  const std::uint64_t hours = total % 1440 / 60;
  const std::uint64_t rest = total % 60;
  const auto number = [&end, &text](std::uint64_t value, char unit) {
    end = std::to_chars(end, text + sizeof text, value).ptr;
    *end++ = unit;
  };
  if (days) number(days, 'D');
  if (hours || rest) *end++ = 'T';
  if (hours) number(hours, 'H');
  if (rest) number(rest, 'M');
  return std::string(text, end);
}

IcsCalendar::IcsCalendar(std::string_view name, std::string_view stamp, Sink sink) : m_sink(std::move(sink)) {
  // Every event has the same stamp line.
  Line("DTSTAMP:", stamp);
  m_stampLine.swap(m_text);
  m_text.reserve(kPieceBytes + 4096);
  Line("BEGIN:VCALENDAR");
  Line("VERSION:2.0");
  Line("PRODID:-//Natalo//Natalo//EN");
  Line("CALSCALE:GREGORIAN");
  if (!name.empty()) TextLine("X-WR-CALNAME:", name);
}

void IcsCalendar::Line(std::string_view name, std::string_view value) {
  const std::size_t start = m_text.size();
  m_text.append(name);
  m_text.append(value);
  EndLine(start);
}

void IcsCalendar::TextLine(std::string_view name, std::string_view text) {
  const std::size_t start = m_text.size();
  m_text.append(name);
  AppendIcsText(m_text, text);
  EndLine(start);
}

void IcsCalendar::EndLine(std::size_t start) {
  // Most lines are short; only a long one is taken out again and folded.
  if (m_text.size() - start > kLineOctets) {
    m_line.assign(m_text, start);
    m_text.resize(start);
    AppendFoldedIcsLine(m_text, m_line);
  } else {
    m_text += "\r\n";
  }
}

void IcsCalendar::Flush() {
  if (!m_failed && !m_text.empty() && !m_sink(m_text)) m_failed = true;
  m_text.clear();
}

void IcsCalendar::Add(const IcsEvent& event) {
  // Lines of fixed text are short enough never to be folded.
  m_text += "BEGIN:VEVENT\r\n";
  TextLine("UID:", event.uid);
  m_text += m_stampLine;
  AppendIcsDateLines(m_text, event.date, event.lastDayOfFebruary);
  // The summary is escaped once for its two lines.
  m_summary.clear();
  AppendIcsText(m_summary, event.summary);
  Line("SUMMARY:", m_summary);
  if (!event.description.empty()) TextLine("DESCRIPTION:", event.description);
  m_text += "TRANSP:TRANSPARENT\r\n";
  if (event.alarm) {
    m_text += "BEGIN:VALARM\r\nACTION:DISPLAY\r\n";
    Line("DESCRIPTION:", m_summary);
    // Most entries share a few reminder times: the value is made anew only when it changes.
    if (m_duration.empty() || m_durationMinutes != event.alarmMinutes) {
      m_duration = IcsDuration(event.alarmMinutes);
      m_durationMinutes = event.alarmMinutes;
    }
    Line("TRIGGER;RELATED=START:", m_duration);
    m_text += "END:VALARM\r\n";
  }
  m_text += "END:VEVENT\r\n";
  if (m_text.size() >= kPieceBytes) Flush();
}

void IcsCalendar::AddText(std::string_view text) {
  if (m_text.size() + text.size() < kPieceBytes) {
    m_text.append(text);
    return;
  }
  // A large piece goes over as it is, after what came before it.
  Flush();
  if (!m_failed && !text.empty() && !m_sink(text)) m_failed = true;
}

bool IcsCalendar::Finish() {
  Line("END:VCALENDAR");
  Flush();
  return !m_failed;
}
