#include "platform/notify/NotificationRecord.h"

#include <charconv>
#include <cstdio>
#include <map>

namespace platform {
namespace {

constexpr std::string_view kHeader = "# Natalo user notification\n";

bool IsZero(const SystemTime& st) {
  return st.wYear == 0 && st.wMonth == 0 && st.wDay == 0 && st.wHour == 0 && st.wMinute == 0 &&
         st.wSecond == 0 && st.wMilliseconds == 0;
}

std::string Escape(std::string_view value) {
  std::string out;
  out.reserve(value.size());
  for (const char c : value) {
    if (c == '\\') {
      out += "\\\\";
    } else if (c == '\n') {
      out += "\\n";
    } else if (c == '\r') {
      out += "\\r";
    } else {
      out += c;
    }
  }
  return out;
}

bool Unescape(std::string_view value, std::string& out) {
  out.clear();
  for (size_t i = 0; i < value.size(); ++i) {
    if (value[i] != '\\') {
      out += value[i];
      continue;
    }
    if (++i == value.size()) return false;
    switch (value[i]) {
      case '\\': out += '\\'; break;
      case 'n': out += '\n'; break;
      case 'r': out += '\r'; break;
      default: return false;
    }
  }
  return true;
}

bool ParseUnsigned(std::string_view text, std::uint64_t& out) {
  if (text.empty()) return false;
  const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), out);
  return ec == std::errc() && end == text.data() + text.size();
}

std::string_view KindName(NotificationType type) { return type == NotificationType::Event ? "event" : "time"; }
std::string_view EventName(NotificationEvent event) {
  return event == NotificationEvent::TimeChange ? "timechange" : "none";
}

std::string Comment(FileTime start) {
  SystemTime st;
  if (start == 0 || !FileTimeToSystemTime(start, st)) return {};
  char text[64];
  std::snprintf(text, sizeof text, "# due %04u-%02u-%02u %02u:%02u:%02u local time\n", st.wYear, st.wMonth,
                st.wDay, st.wHour, st.wMinute, st.wSecond);
  return text;
}

}  // namespace

bool TriggerTimeToFileTime(const SystemTime& st, FileTime& out) {
  if (IsZero(st)) {
    out = 0;
    return true;
  }
  return SystemTimeToFileTime(st, out);
}

bool IsValidTrigger(const NotificationTrigger& trigger) {
  if (trigger.application.empty()) return false;
  if (trigger.application.find('\0') != std::string::npos) return false;
  if (trigger.arguments.find('\0') != std::string::npos) return false;
  FileTime start = 0, end = 0;
  if (!TriggerTimeToFileTime(trigger.start, start) || !TriggerTimeToFileTime(trigger.end, end)) return false;
  switch (trigger.type) {
    case NotificationType::Time: return start != 0;
    case NotificationType::Event: return trigger.event == NotificationEvent::TimeChange;
  }
  return false;
}

std::string FormatNotificationRecord(const NotificationTrigger& trigger) {
  FileTime start = 0, end = 0;
  TriggerTimeToFileTime(trigger.start, start);
  TriggerTimeToFileTime(trigger.end, end);
  std::string text(kHeader);
  text += Comment(start);
  text += "version=" + std::to_string(NOTIFICATION_RECORD_VERSION) + "\n";
  text += "kind=" + std::string(KindName(trigger.type)) + "\n";
  text += "event=" + std::string(EventName(trigger.event)) + "\n";
  text += "start=" + std::to_string(start) + "\n";
  text += "end=" + std::to_string(end) + "\n";
  text += "application=" + Escape(trigger.application) + "\n";
  text += "arguments=" + Escape(trigger.arguments) + "\n";
  return text;
}

bool ParseNotificationRecord(std::string_view text, NotificationTrigger& out, std::string& error) {
  std::map<std::string, std::string, std::less<>> values;
  size_t pos = 0;
  int lineNumber = 0;
  while (pos < text.size()) {
    size_t eol = text.find('\n', pos);
    // A record always ends with a line feed: a missing one means a cut-off file.
    if (eol == std::string_view::npos) {
      error = "line " + std::to_string(lineNumber + 1) + " is cut off";
      return false;
    }
    const std::string_view line = text.substr(pos, eol - pos);
    pos = eol + 1;
    ++lineNumber;
    if (line.empty() || line.front() == '#') continue;
    const size_t eq = line.find('=');
    if (eq == std::string_view::npos || eq == 0) {
      error = "line " + std::to_string(lineNumber) + " is not key=value";
      return false;
    }
    std::string value;
    if (!Unescape(line.substr(eq + 1), value)) {
      error = "line " + std::to_string(lineNumber) + " has a bad escape";
      return false;
    }
    if (!values.emplace(std::string(line.substr(0, eq)), std::move(value)).second) {
      error = "key " + std::string(line.substr(0, eq)) + " repeats";
      return false;
    }
  }

  auto find = [&](std::string_view key) -> const std::string* {
    const auto it = values.find(key);
    return it == values.end() ? nullptr : &it->second;
  };
  const std::string* version = find("version");
  if (!version || *version != std::to_string(NOTIFICATION_RECORD_VERSION)) {
    error = version ? "unsupported version " + *version : "no version";
    return false;
  }
  NotificationTrigger trigger;
  const std::string* kind = find("kind");
  if (kind && *kind == "time") {
    trigger.type = NotificationType::Time;
  } else if (kind && *kind == "event") {
    trigger.type = NotificationType::Event;
  } else {
    error = "unknown kind";
    return false;
  }
  const std::string* event = find("event");
  if (!event || *event == "none") {
    trigger.event = NotificationEvent::None;
  } else if (*event == "timechange") {
    trigger.event = NotificationEvent::TimeChange;
  } else {
    error = "unknown event " + *event;
    return false;
  }
  for (const auto& [key, field] : {std::pair{"start", &trigger.start}, std::pair{"end", &trigger.end}}) {
    const std::string* value = find(key);
    std::uint64_t ft = 0;
    if (value && !ParseUnsigned(*value, ft)) {
      error = std::string("bad ") + key + " time";
      return false;
    }
    if (ft != 0 && !FileTimeToSystemTime(ft, *field)) {
      error = std::string(key) + " time out of range";
      return false;
    }
  }
  if (const std::string* application = find("application")) trigger.application = *application;
  if (const std::string* arguments = find("arguments")) trigger.arguments = *arguments;
  if (!IsValidTrigger(trigger)) {
    error = "incomplete notification";
    return false;
  }
  out = std::move(trigger);
  return true;
}

}  // namespace platform
