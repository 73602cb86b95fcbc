// natalo list [--days N] [--kind birthday|anniversary|other] [--stars] [--json]
#include "NataloCli/CliCommands.h"
#include "NataloCli/CliSession.h"
#include "NataloCli/EntryFacts.h"
#include "NataloCli/JsonText.h"
#include "platform/text/Utf.h"

std::string FactsAsJson(const EntryFacts& facts) {
  std::string out = "{\"uid\":" + std::to_string(facts.entry->m_nUID);
  out += ",\"kind\":" + JsonString(KindWord(*facts.entry));
  out += ",\"name\":" + JsonString(facts.name);
  out += ",\"date\":" + JsonString(IsoDate(facts.date));
  out += ",\"next\":" + JsonString(IsoDate(facts.next));
  out += ",\"daysLeft\":" + std::to_string(facts.daysLeft);
  out += ",\"years\":" + std::to_string(facts.next.year - facts.date.year);
  out += ",\"dateText\":" + JsonString(facts.dateText);
  out += ",\"ageText\":" + JsonString(facts.ageText);
  out += ",\"daysText\":" + JsonString(facts.daysText);
  out += ",\"reminder\":" + JsonString(facts.reminder);
  out += ",\"note\":" + JsonString(platform::ToUtf8(facts.entry->m_szNote));
  return out + "}";
}

std::string ListAsJson(const std::vector<EntryFacts>& coming) {
  std::string out = "[";
  for (std::size_t i = 0; i < coming.size(); ++i) out += (i ? ",\n " : "") + FactsAsJson(coming[i]);
  return out + "]";
}

std::string FactsAsLine(const EntryFacts& facts) {
  return facts.dateText + '\t' + facts.name + '\t' + facts.ageText + '\t' + facts.daysText + '\t' +
         CliText(platform::AsciiUpper(platform::FromUtf8("CLI_REMINDER_" + facts.reminder))) + '\n';
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
  const StorageLoad load = LoadEntries(list);
  if (const int failed = ReportLoad(load); failed != kExitDone) return failed;
  if (stars) list.LoadStars();
  const std::vector<EntryFacts> coming = ComingEntries(list, Today(), days, kind, stars);
  std::string out;
  if (json) {
    out = ListAsJson(coming) + "\n";
  } else {
    for (const EntryFacts& facts : coming) out += FactsAsLine(facts);
  }
  if (!WriteStdout(out)) return kExitStorage;
  return coming.empty() ? kExitNothingFound : kExitDone;
}
