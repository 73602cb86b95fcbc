// natalo list [--days N] [--kind birthday|anniversary|other] [--stars] [--json]
#include <sys/stat.h>

#include "NataloCli/CliCommands.h"
#include "NataloCli/CliSession.h"
#include "NataloCli/EntryFacts.h"
#include "NataloCli/JsonText.h"
#include "platform/text/Utf.h"

#include <algorithm>
#include <unordered_map>

namespace {

// A current record of an entry with empty texts: the base record, the block's
// length, its fixed fields and four empty strings.
constexpr std::size_t kSmallestRecordBytes = 33 + 2 + 38 + 4 * 2;

}  // namespace

void AppendFactsAsJson(std::string& out, const EntryFacts& facts) {
  const auto field = [&out](const char* name, std::string_view text) {
    out += name;
    out += JsonString(text);
  };
  out += "{\"uid\":" + std::to_string(facts.uid);
  field(",\"kind\":", facts.kind);
  field(",\"name\":", facts.name);
  field(",\"date\":", EntryDateText(facts.date));
  field(",\"next\":", IsoDate(facts.next));
  out += ",\"daysLeft\":" + std::to_string(facts.daysLeft);
  // Years are counted only from a date with a year.
  const bool yearless = IsYearUnknown(facts.date);
  out += ",\"years\":" + (yearless ? std::string("null") : std::to_string(facts.next.year - facts.date.year));
  field(",\"dateText\":", facts.dateText);
  field(",\"ageText\":", facts.ageText);
  field(",\"daysText\":", facts.daysText);
  field(",\"reminder\":", facts.reminder);
  field(",\"note\":", facts.note);
  out += '}';
}

std::string ListAsJson(const std::vector<EntryFacts>& coming) {
  std::string out = "[";
  out.reserve(coming.size() * 320);
  for (std::size_t i = 0; i < coming.size(); ++i) {
    if (i > 0) out += ",\n ";
    AppendFactsAsJson(out, coming[i]);
  }
  return out + "]";
}

void AppendFactsAsLine(std::string& out, const EntryFacts& facts) {
  // Four words for thousands of lines: each is looked up once.
  static std::unordered_map<std::string, std::string> reminderTexts;
  auto it = reminderTexts.find(facts.reminder);
  if (it == reminderTexts.end()) {
    const std::u16string key = platform::AsciiUpper(platform::FromUtf8("CLI_REMINDER_" + facts.reminder));
    it = reminderTexts.emplace(facts.reminder, CliText(key)).first;
  }
  for (const std::string* text : {&facts.dateText, &facts.name, &facts.ageText, &facts.daysText}) {
    out += *text;
    out += '\t';
  }
  out += it->second;
  out += '\n';
}

int RunList(const CliArgs& args) {
  long days = 30;
  int kind = -1;
  bool stars = false;
  bool json = false;
  for (std::size_t i = 0; i < args.size(); ++i) {
    const std::string& arg = args[i];
    if (arg == "--help" || arg == "-h") return ShowHelp("list");
    if (arg == "--json") {
      json = true;
    } else if (arg == "--stars") {
      stars = true;
    } else if (arg == "--days" && i + 1 < args.size()) {
      if (!ParseNumber(args[++i], 0, 366, days)) {
        return CliUsageFail(CliText(u"CLI_BAD_DAYS", {platform::FromUtf8(args[i])}), "list");
      }
    } else if (arg == "--kind" && i + 1 < args.size()) {
      std::uint16_t parsed = 0;
      if (!ParseKindWord(args[++i], parsed)) {
        return CliUsageFail(CliText(u"CLI_BAD_KIND", {platform::FromUtf8(args[i])}), "list");
      }
      kind = parsed;
    } else {
      return CliUsageFail(CliText(u"CLI_BAD_OPTION", {platform::FromUtf8(arg)}), "list");
    }
  }
  FeskList& list = CommandList();
  const CalendarDate today = Today();
  // Only the facts of the entries due within the days asked for are kept.
  std::vector<EntryFacts> coming;
  // Room for as many entries as the file can hold, so the facts never move;
  // pages that stay unused cost nothing. Beyond a quarter million entries the
  // room grows as usual.
  struct stat info {};
  if (stat(list.m_szPath.c_str(), &info) == 0) {
    coming.reserve(std::min<std::size_t>(static_cast<std::size_t>(info.st_size) / kSmallestRecordBytes + 1024, 1 << 18));
  }
  const auto consider = [&](const StorageItem& item) {
    if (const FeskItem* entry = AsEntry(&item); entry != nullptr && IsComing(*entry, today, days, kind, stars)) {
      coming.push_back(DescribeEntry(*entry, today));
    }
  };
  int damaged = 0;
  const StorageLoad load = ScanEntries(list, [&](std::unique_ptr<StorageItem>& item) { consider(*item); }, &damaged);
  if (const int failed = ReportLoad(load); failed != kExitDone) return failed;
  ReportDamage(damaged);
  if (stars) {
    list.LoadStars();
    for (const StorageItem& item : list) consider(item);
  }
  SortComing(coming);
  std::string out;
  out.reserve(coming.size() * (json ? 320 : 80));
  if (json) {
    out = ListAsJson(coming);
    out += '\n';
  } else {
    for (const EntryFacts& facts : coming) AppendFactsAsLine(out, facts);
  }
  if (!WriteStdout(out)) return kExitStorage;
  return coming.empty() ? kExitNothingFound : kExitDone;
}
