#include "NataloCli/IcsCalendar.h"

#include <cstdio>
#include <cstdlib>

namespace {

std::string DateValue(const CalendarDate& date) {
  char text[16];
  std::snprintf(text, sizeof text, "%04d%02d%02d", date.year, date.month, date.day);
  return text;
}

CalendarDate DayAfter(const CalendarDate& date) {
  if (date.day < DaysInMonth(date.month, date.year)) return {date.year, date.month, date.day + 1};
  if (date.month < 12) return {date.year, date.month + 1, 1};
  return {date.year + 1, 1, 1};
}

}  // namespace

std::string EscapeIcsText(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  for (const char c : text) {
    const auto byte = static_cast<unsigned char>(c);
    if (c == '\\' || c == ';' || c == ',') {
      out += '\\';
      out += c;
    } else if (c == '\n') {
      out += "\\n";
    } else if (byte >= 0x20 && byte != 0x7F) {
      out += c;
    }
  }
  return out;
}

std::string FoldIcsLine(std::string_view line) {
  std::string out;
  std::size_t limit = 75;  // a continuation line starts with a space, leaving 74
  while (line.size() > limit) {
    std::size_t cut = limit;
    while (cut > 0 && (static_cast<unsigned char>(line[cut]) & 0xC0) == 0x80) --cut;
    out.append(line.substr(0, cut));
    out += "\r\n ";
    line.remove_prefix(cut);
    limit = 74;
  }
  out.append(line);
  out += "\r\n";
  return out;
}

std::string IcsDuration(std::int64_t minutes) {
  if (minutes == 0) return "PT0S";
  std::string out = minutes < 0 ? "-P" : "P";
  const std::int64_t total = std::llabs(minutes);
  const std::int64_t days = total / 1440;
  const std::int64_t hours = total % 1440 / 60;
  const std::int64_t rest = total % 60;
  if (days) out += std::to_string(days) + "D";
  if (hours || rest) out += "T";
  if (hours) out += std::to_string(hours) + "H";
  if (rest) out += std::to_string(rest) + "M";
  return out;
}

IcsCalendar::IcsCalendar(std::string_view name, std::string_view stamp, std::size_t events) : m_stamp(stamp) {
  m_text.reserve(512 + events * 400);
  Line("BEGIN:VCALENDAR");
  Line("VERSION:2.0");
  Line("PRODID:-//Natalo//Natalo//EN");
  Line("CALSCALE:GREGORIAN");
  Line("X-WR-CALNAME:" + EscapeIcsText(name));
}

void IcsCalendar::Line(std::string_view line) { m_text += FoldIcsLine(line); }

void IcsCalendar::Add(const IcsEvent& event) {
  Line("BEGIN:VEVENT");
  Line("UID:" + EscapeIcsText(event.uid));
  Line("DTSTAMP:" + m_stamp);
  Line("DTSTART;VALUE=DATE:" + DateValue(event.date));
  Line("DTEND;VALUE=DATE:" + DateValue(DayAfter(event.date)));
  // 29 February falls on the month's last day, so common years show it on the 28th.
  if (event.date.month == 2 && event.date.day == 29) {
    Line("RRULE:FREQ=YEARLY;BYMONTH=2;BYMONTHDAY=-1");
  } else {
    Line("RRULE:FREQ=YEARLY");
  }
  Line("SUMMARY:" + EscapeIcsText(event.summary));
  if (!event.description.empty()) Line("DESCRIPTION:" + EscapeIcsText(event.description));
  Line("TRANSP:TRANSPARENT");
  if (event.alarm) {
    Line("BEGIN:VALARM");
    Line("ACTION:DISPLAY");
    Line("DESCRIPTION:" + EscapeIcsText(event.summary));
    Line("TRIGGER;RELATED=START:" + IcsDuration(event.alarmMinutes));
    Line("END:VALARM");
  }
  Line("END:VEVENT");
}

std::string IcsCalendar::Finish() {
  Line("END:VCALENDAR");
  return std::move(m_text);
}
