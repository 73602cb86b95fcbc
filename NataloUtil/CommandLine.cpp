#include "NataloUtil/CommandLine.h"

#include <limits>

bool IsRecalculationCommand(std::string_view line) { return line.empty() || line == "TIMECHANGE"; }

std::int64_t ParseDecimal(std::string_view text) {
  std::size_t i = 0;
  while (i < text.size() && (text[i] == ' ' || text[i] == '\t')) ++i;
  bool negative = false;
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
  // Accumulate as a negative number so that the smallest value fits.
  constexpr std::int64_t kMin = std::numeric_limits<std::int64_t>::min();
  std::int64_t value = 0;
  bool clamped = false;
  for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
    const int digit = text[i] - '0';
    if (value < (kMin + digit) / 10) {
      clamped = true;
      break;
    }
    value = value * 10 - digit;
  }
  if (clamped) return negative ? kMin : std::numeric_limits<std::int64_t>::max();
  if (negative) return value;
  return value == kMin ? std::numeric_limits<std::int64_t>::max() : -value;
}

std::vector<std::int32_t> ParseUidList(std::string_view value, bool truncated) {
  std::vector<std::int32_t> uids;
  if (value.empty()) return uids;
  std::vector<std::string_view> pieces;
  std::size_t start = 0;
  for (;;) {
    const std::size_t comma = value.find(',', start);
    pieces.push_back(value.substr(start, comma == std::string_view::npos ? std::string_view::npos : comma - start));
    if (comma == std::string_view::npos) break;
    start = comma + 1;
  }
  if (truncated && !pieces.empty()) pieces.pop_back();
  for (const std::string_view piece : pieces) {
    if (uids.size() == kMaxReminderUids) break;
    std::int64_t number = ParseDecimal(piece);
    if (number > std::numeric_limits<std::int32_t>::max()) number = std::numeric_limits<std::int32_t>::max();
    if (number < std::numeric_limits<std::int32_t>::min()) number = std::numeric_limits<std::int32_t>::min();
    uids.push_back(static_cast<std::int32_t>(number));
  }
  return uids;
}

ReminderCommand ParseReminderCommand(std::string_view line) {
  ReminderCommand command;
  bool truncated = false;
  const std::string ids = GetCommandValue(line, "/ID=", &truncated);
  command.uids = ParseUidList(ids, truncated);
  const std::int64_t fire = ParseDecimal(GetCommandValue(line, "/T="));
  command.fireTime = fire > 0 ? static_cast<platform::FileTime>(fire) : 0;
  return command;
}
